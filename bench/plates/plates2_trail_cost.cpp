// CPU cost of Plates2's walkers per frame over its span at 60 frames per
// second: the 16 ms steps that fall into each frame, and the ribbon geometry
// built twice (shadow pass and colour pass) for all 65 walkers. No GL; set it
// against the effect's frame times from `zephran --benchmark` for its share.
// Times are the thread's CPU time, so a busy machine's preemption stays out.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "effects/Plates2.h"

namespace {

double cpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

} // namespace

int main() {
    const int frames = 1889; // 31.5 s at 60 frames per second
    const double frameMs = 1000.0 / 60.0;
    createWalkers();
    StripMesh mesh;
    std::vector<double> stepping, building;
    double banked = 0.0;
    size_t vertices = 0;
    for (int f = 0; f < frames; ++f) {
        const float position = f / float(frames);
        const double t0 = cpuMs();
        for (banked += frameMs; banked > 16.0; banked -= 16.0) stepWalkers(position);
        const double t1 = cpuMs();
        for (int pass = 0; pass < 2; ++pass) {
            mesh.clear();
            for (int i = kWalkerCount - 1; i >= 0; --i) buildWalkerTrail(g_walkers[i], i, 1.0f, mesh);
        }
        const double t2 = cpuMs();
        vertices = std::max(vertices, mesh.vertices.size());
        stepping.push_back(t1 - t0);
        building.push_back(t2 - t1);
    }
    std::sort(stepping.begin(), stepping.end());
    std::sort(building.begin(), building.end());
    std::printf("frames %d, at most %zu ribbon vertices per pass\n", frames, vertices);
    std::printf("ribbons, both passes: median %.3f ms, p90 %.3f ms, worst %.3f ms\n", building[frames / 2],
                building[frames * 9 / 10], building.back());
    std::printf("stepping: median %.3f ms, worst %.3f ms\n", stepping[frames / 2], stepping.back());
    return 0;
}
