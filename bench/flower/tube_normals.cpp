// Times the flower tubes' start-up work without GL: building all 85 tubes
// (one-pass normals included), then for every tube the smooth normals by the
// one pass and by scanning every triangle for every vertex, and checks that
// both give the same bits.
//   tube_normals
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "effects/ParticleFlower.h"
#include "effects/Random.h"
#include "effects/TubeMesh.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point begin) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

} // namespace

int main() {
    auto begin = std::chrono::steady_clock::now();
    seedRandom(2323);
    for (int f = 0; f < kFlowerCount; ++f) buildFlower(g_flowers[f], f);
    const double build = secondsSince(begin);

    double onePass = 0.0, scan = 0.0;
    int differing = 0;
    for (Flower& flower : g_flowers) {
        for (TubeMesh* tube : flower.tubes) {
            begin = std::chrono::steady_clock::now();
            tube->accumulateNormals();
            onePass += secondsSince(begin);
            const std::vector<stm::Vector> fast = tube->normals;
            begin = std::chrono::steady_clock::now();
            tube->scanNormals();
            scan += secondsSince(begin);
            differing += std::memcmp(fast.data(), tube->normals.data(), fast.size() * sizeof(stm::Vector)) != 0;
        }
    }
    const int tubes = kFlowerCount * kFlowerTubes;
    std::printf("%d tubes of %d x %d vertices: build %.3f s\n", tubes, kFlowerTubeSegments, kFlowerTubeRings, build);
    std::printf("normals, one pass: %.4f s; full scan: %.3f s (%.0fx); tubes differing: %d\n", onePass, scan,
                scan / onePass, differing);
    return differing == 0 ? 0 : 1;
}
