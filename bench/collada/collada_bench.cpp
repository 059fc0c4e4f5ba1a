// Loading and scene building of COLLADA files: the largest corpus file and a
// generated 100k-triangle document, against assimp's command-line loader on
// the same files in the same run. The loader is measured in process (load;
// load + buildScene with vertex-buffer upload in a headless context) and as
// a process (daecheck), so that assimp's process start is matched.
//
// usage: collada_bench [google-benchmark flags]; needs ZEPHRAN_SHARED_DIR or
// the corpus at ../shared/collada-corpus beside the source tree.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <string>

#include "collada/Collada.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "scene/Scene.h"

namespace {

struct Input {
    std::string label;
    std::string path;
    std::string text;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A <source> with its float array and an accessor that names the array,
// as COLLADA writers (and assimp) expect.
std::string source(const std::string& id, const std::string& values, int count, const char* params) {
    std::string out = "<source id=\"" + id + "\"><float_array id=\"" + id + "-array\" count=\"" +
                      std::to_string(count * static_cast<int>(std::strlen(params))) + "\">" + values +
                      "</float_array><technique_common><accessor source=\"#" + id + "-array\" count=\"" +
                      std::to_string(count) + "\" stride=\"" + std::to_string(std::strlen(params)) + "\">";
    for (const char* p = params; *p; ++p) out += std::string("<param name=\"") + *p + "\" type=\"float\"/>";
    return out + "</accessor></technique_common></source>";
}

// A grid of `quads` x `quads` squares, two triangles each, with positions,
// one normal and texture coordinates on three index offsets, under one node.
std::string generatedDocument(int quads) {
    int side = quads + 1;
    char number[64];
    std::string positions, uvs, indices;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            std::snprintf(number, sizeof number, "%.4f %.4f %.4f ", x * 0.1, y * 0.1, 0.01 * ((x * 7 + y * 3) % 11));
            positions += number;
            std::snprintf(number, sizeof number, "%.5f %.5f ", x / double(quads), y / double(quads));
            uvs += number;
        }
    for (int y = 0; y < quads; ++y)
        for (int x = 0; x < quads; ++x) {
            int a = y * side + x, b = a + 1, c = a + side, d = c + 1;
            std::snprintf(number, sizeof number, "%d 0 %d %d 0 %d %d 0 %d ", a, a, b, b, d, d);
            indices += number;
            std::snprintf(number, sizeof number, "%d 0 %d %d 0 %d %d 0 %d ", a, a, d, d, c, c);
            indices += number;
        }
    return "<?xml version=\"1.0\"?>\n<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" "
           "version=\"1.4.1\"><library_geometries><geometry id=\"grid\"><mesh>" +
           source("p", positions, side * side, "XYZ") + source("n", "0 0 1", 1, "XYZ") +
           source("uv", uvs, side * side, "ST") +
           "<vertices id=\"v\"><input semantic=\"POSITION\" source=\"#p\"/></vertices><triangles count=\"" +
           std::to_string(2 * quads * quads) +
           "\"><input semantic=\"VERTEX\" source=\"#v\" offset=\"0\"/><input semantic=\"NORMAL\" "
           "source=\"#n\" offset=\"1\"/><input semantic=\"TEXCOORD\" source=\"#uv\" offset=\"2\"/><p>" +
           indices +
           "</p></triangles></mesh></geometry></library_geometries><library_visual_scenes>"
           "<visual_scene id=\"vs\" name=\"grid\"><node id=\"g\"><translate>0 0 -5</translate>"
           "<instance_geometry url=\"#grid\"/></node></visual_scene></library_visual_scenes>"
           "<scene><instance_visual_scene url=\"#vs\"/></scene></COLLADA>\n";
}

// The loader logs every element it skips; the benchmark measures the
// loading, not the terminal, so the log goes to /dev/null while it runs.
void silenceLog() {
    if (!std::freopen("/dev/null", "w", stderr)) std::perror("freopen");
}

void loadOnly(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        Collada::Document* document = loadColladaText(input->label, input->text.c_str());
        benchmark::DoNotOptimize(document);
        delete document;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input->text.size()));
}

void loadAndBuild(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        Collada::Document* document = loadColladaText(input->label, input->text.c_str());
        Scene* scene = buildScene(document);
        glFinish(); // the upload is part of building
        benchmark::DoNotOptimize(scene);
        state.PauseTiming();
        releaseScene(scene);
        delete document;
        state.ResumeTiming();
    }
}

double childCpuSeconds() {
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Wall time of one command line per iteration, and the CPU time its
// processes used (child_cpu_ms), which a busy machine disturbs less.
void command(benchmark::State& state, std::string line) {
    double before = childCpuSeconds();
    for (auto _ : state) {
        int status = std::system(line.c_str());
        if (status != 0) {
            state.SkipWithError(("failed: " + line).c_str());
            break;
        }
    }
    double perRun = (childCpuSeconds() - before) / static_cast<double>(state.iterations() ? state.iterations() : 1);
    state.counters["child_cpu_ms"] = 1000.0 * perRun;
}

} // namespace

int main(int argc, char** argv) {
    const char* shared = std::getenv("ZEPHRAN_SHARED_DIR");
    std::string corpus = std::string(shared ? shared : ZEPHRAN_DEFAULT_SHARED_DIR) + "/collada-corpus/";
    static Input largest{"seymour_1MB", corpus + "cts_seymour_plane_triangles.dae", ""};
    largest.text = readFile(largest.path);
    if (largest.text.empty()) {
        std::fprintf(stderr, "collada_bench: cannot read %s\n", largest.path.c_str());
        return 1;
    }
    static Input generated{"generated_100k", ZEPHRAN_BENCH_OUTPUT_DIR "/generated_100k.dae", generatedDocument(224)};
    std::ofstream(generated.path, std::ios::binary) << generated.text;

    StmRunOptions options;
    options.headless = true;
    stmConfigure(options);
    if (!stmInitEx(64, 64, 32, false, false, false, false, 8, 1.0f, 1.0f, "", 60) || !loadGLExtensions()) {
        std::fprintf(stderr, "collada_bench: no headless OpenGL context\n");
        return 1;
    }
    for (const Input* input : {&largest, &generated}) {
        benchmark::RegisterBenchmark(("load/" + input->label).c_str(), loadOnly, input)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("load_build/" + input->label).c_str(), loadAndBuild, input)
            ->Unit(benchmark::kMillisecond);
        std::string quiet = " >/dev/null 2>&1";
        benchmark::RegisterBenchmark(("daecheck_process/" + input->label).c_str(), command,
                                     std::string(ZEPHRAN_DAECHECK) + " " + input->path + quiet)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("assimp_info/" + input->label).c_str(), command,
                                     "assimp info " + input->path + quiet)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("assimp_info_raw/" + input->label).c_str(), command,
                                     "assimp info " + input->path + " -r" + quiet)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    silenceLog();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stmShutDown();
    return 0;
}
