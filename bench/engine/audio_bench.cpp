// The song's decode time and the spectrum's cost, with the loudness figure
// the effects depend on: the sum of bins 0..510 across the song (mean, max).
//
//   bench_engine [--benchmark_filter=...]   with ZEPHRAN_DATA=DIR (loose files,
//   e.g. a folder holding song.ogg) or ZEPHRAN_PAK=FILE (default data.pak)
#include "engine/stagemill.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

namespace {

bool openSong() {
    StmRunOptions options;
    options.headless = true;
    options.mute = true;
    options.fixedFps = 1;
    options.dataDir = std::getenv("ZEPHRAN_DATA");
    stmConfigure(options);
    const char* pak = std::getenv("ZEPHRAN_PAK");
    stmReadPak(pak ? pak : "data.pak");
    stmInitTimer();
    return stmExportSong("/dev/null"); // decodes the whole song
}

void BM_DecodeSong(benchmark::State& state) {
    for (auto _ : state) {
        if (!openSong()) {
            state.SkipWithError("no song.ogg");
            break;
        }
        stmShutDown();
    }
}
BENCHMARK(BM_DecodeSong)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Spectrum(benchmark::State& state) {
    if (!openSong()) {
        state.SkipWithError("no song.ogg");
        return;
    }
    float bins[512];
    double sum = 0.0, peak = 0.0;
    long probes = 0;
    float t = 0.0f;
    for (auto _ : state) {
        stmAdjustTime(t - stmGetTime());
        stmGetSpectrum(bins, 512);
        float s = 0.0f;
        for (int i = 0; i < 511; ++i) s += bins[i];
        sum += s;
        peak = std::max(peak, double(s));
        ++probes;
        t = t + 997.0f > 225000.0f ? 0.0f : t + 997.0f;
    }
    state.counters["bin_sum_mean"] = sum / double(probes);
    state.counters["bin_sum_max"] = peak;
    stmShutDown();
}
BENCHMARK(BM_Spectrum)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
