// CPU cost of Plates2's walkers per frame over its span at 60 frames per
// second: the 16 ms steps that fall into each frame, and the ribbon geometry
// built twice (shadow pass and colour pass) for all 65 walkers. No GL; set it
// against the effect's frame times from `zephran --benchmark` for its share.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "effects/Plates2.h"

int main() {
    const int frames = 1889;   // 31.5 s at 60 frames per second
    const double frameMs = 1000.0 / 60.0;
    createWalkers();
    StripMesh mesh;
    std::vector<double> stepping, building;
    double banked = 0.0;
    size_t vertices = 0;
    for (int f = 0; f < frames; ++f) {
        const float position = f / float(frames);
        const auto t0 = std::chrono::steady_clock::now();
        for (banked += frameMs; banked > 16.0; banked -= 16.0) stepWalkers(position);
        const auto t1 = std::chrono::steady_clock::now();
        for (int pass = 0; pass < 2; ++pass) {
            mesh.clear();
            for (int i = kWalkerCount - 1; i >= 0; --i) buildWalkerTrail(g_walkers[i], i, 1.0f, mesh);
        }
        const auto t2 = std::chrono::steady_clock::now();
        vertices = std::max(vertices, mesh.vertices.size());
        stepping.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        building.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    std::sort(stepping.begin(), stepping.end());
    std::sort(building.begin(), building.end());
    std::printf("frames %d, at most %zu ribbon vertices per pass\n", frames, vertices);
    std::printf("ribbons, both passes: median %.3f ms, p90 %.3f ms, worst %.3f ms\n", building[frames / 2],
                building[frames * 9 / 10], building.back());
    std::printf("stepping: median %.3f ms, worst %.3f ms\n", stepping[frames / 2], stepping.back());
    return 0;
}
