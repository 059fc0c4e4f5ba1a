// Start-up, frame loop and shutdown of zephran.
#include "shell/Programme.h"

#include "effects/BeatClock.h"
#include "effects/Globals.h"
#include "effects/AudioAnalyser.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "scene/SceneManager.h"
#include "shell/Benchmark.h"
#include "shell/FrameLoop.h"
#include "shell/Replay.h"
#include "shell/Timeline.h"
#include "shell/Viewer.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

namespace {

const char* const kTitle = "Zephran Emberfall 2010";
const char* const kIcon = "icon.png";   // optional archive member

// The twelve environment cube faces are sampled with clamped edges.
void setCubeFaceParameters()
{
    static const char* const kFaces[] = {"px.png", "py.png", "pz.png", "nx.png", "ny.png", "nz.png"};
    const float clampToEdge = 33071.0f;
    for (const char* face : kFaces)
        stmSetTextureParameter((std::string("dark_") + face).c_str(), GL_TEXTURE_WRAP_S, clampToEdge);
    for (const char* face : kFaces)
        stmSetTextureParameter((std::string("dark_") + face).c_str(), GL_TEXTURE_WRAP_T, clampToEdge);
    for (const char* face : kFaces) {
        stmSetTextureParameter(face, GL_TEXTURE_WRAP_S, clampToEdge);
        stmSetTextureParameter(face, GL_TEXTURE_WRAP_T, clampToEdge);
    }
}

// Shots and captures from a later time replay the frames that shape their
// first one (see Replay.h); other runs start as they are asked.
ReplayPlan replayPlan(const ShellOptions& o, int fps)
{
    std::vector<TimelineSpan> spans = timelineSpans(programmeBeatClock());
    if (o.shot)
        return planShotReplay(spans, o.shotTime, fps);
    if (!o.capture.empty())
        return planCaptureReplay(spans, o.from, fps);
    ReplayPlan plan;
    plan.clockFrom = plan.firstFrame = o.from;
    return plan;
}

StmRunOptions engineOptions(const ShellOptions& o, const ReplayPlan& plan)
{
    StmRunOptions run;
    run.headless = o.headless;
    run.mute = o.headless;
    run.dataDir = o.dataDir.empty() ? nullptr : o.dataDir.c_str();
    bool fixed = o.fps > 0 || o.shot || !o.capture.empty() || o.benchmark;
    run.fixedFps = fixed ? (o.fps > 0 ? o.fps : 60) : 0;
    run.fixedFrom = plan.clockFrom;
    if (o.shot)
        run.captureOut = o.shotFile.c_str();
    else if (!o.capture.empty())
        run.captureOut = o.capture.c_str();
    run.captureTo = o.shot ? -1.0f : (o.to >= 0.0f ? o.to : kProgrammeEnd + 1.0f);
    return run;
}

// True once a capture or shot has all its frames.
bool outputComplete(const ShellOptions& o, const StmRunOptions& run)
{
    if (o.shot)
        return stmCapturedFrames() >= 1;
    if ((!o.capture.empty() || o.benchmark) && o.to >= 0.0f)
        return stmGetTime() + 1000.0f / run.fixedFps >= o.to;
    return false;
}

void startUp(const ShellOptions& o, const ReplayPlan& plan)
{
    g_backgroundColor = stm::Vector(0.0f, 0.0f, 0.0f);
    // The launcher's choices come from the command line; option 1006 is set.
    const bool option1006 = true;
    if (!stmInitEx(o.width, o.height, 32, o.fullscreen, option1006, o.onTop, o.onTop, 8, o.aspect, 0.0f,
                   "data.pak", o.refresh))
        throw "stmInitEx(): no window or OpenGL context";
    stmReadPak("data.pak");
    stmInitCubemaps();
    stmSetWindowTitle(kTitle);
    if (stmGetFile(kIcon, nullptr)) {
        stm::Texture* icon = stmGetTexture(kIcon);
        stmSetWindowIcon(icon->getImgData(), icon->getWidth(), icon->getHeight());
    }
    setCubeFaceParameters();
    stmUploadTextures();
    g_renderTargets.init(stmGetWindowWidth(), stmGetWindowHeight());
    g_shaderManager = ShaderManager::create();
    g_sceneManager = SceneManager::create();
    g_spectrum = new SpectrumAnalyser(8);
    g_beatClock = new BeatClock(programmeBeatClock());
    int effects = registerTimeline(*g_beatClock);
    stmMsg("zephran: %d effects on the timeline\n", effects);
    stmInitEffects();
    stmInitTimer();
    stmPlaySong(1);
    if (stmGetRunOptions().fixedFps <= 0 && o.from > 0.0f)
        stmAdjustTime(o.from);       // the fixed clock starts there by itself
    glEnable(0x809D /* GL_MULTISAMPLE */);
    replayFrames(plan.frames);
}

double secondsSince(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Plays the range like a capture but writes nothing: each frame is timed
// from its clear to glFinish, split between its passes, and filed under the
// spans drawn at its time.
void runBenchmark(const ShellOptions& o, const StmRunOptions& run, FrameLoop& loop,
                  std::chrono::steady_clock::time_point began)
{
    FrameTimeTable table(timelineSpans(*g_beatClock));
    double startUp = 0.0;
    bool first = true;
    profilerEnable(true);
    while (!loop.quit) {
        const auto frameBegan = std::chrono::steady_clock::now();
        profileFrameBegin();
        if (!loop.iterate())
            continue;
        const PassTimes passes = profileFrameEnd();
        if (first)
            startUp = secondsSince(began);
        first = false;
        table.record(stmGetTime(), 1000.0 * secondsSince(frameBegan), passes);
        if (outputComplete(o, run))
            loop.quit = true;
    }
    char setting[160];
    std::snprintf(setting, sizeof setting, "%dx%d, %d fps, %.0f..%.0f ms", stmGetWindowWidth(), stmGetWindowHeight(),
                  run.fixedFps, o.from, o.to >= 0.0f ? o.to : kProgrammeEnd);
    profilerEnable(false);
    table.print(stdout, startUp, setting);
}

void shutDown()
{
    g_renderTargets.release();
    ShaderManager::release();
    stmSetGamma(0);
    stmShutDown();
}

} // namespace

bool viewerControls(const ShellOptions& o) { return !o.shot && o.capture.empty() && !o.benchmark; }

bool runGuarded(const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const char* message) {
        stmMsg("Exception: %s\n", message);
    } catch (const std::exception& e) {
        stmMsg("Exception: %s\n", e.what());
    }
    return false;
}

int runProgramme(const ShellOptions& o)
{
    const int fps = o.fps > 0 ? o.fps : 60;
    const ReplayPlan plan = replayPlan(o, fps);
    StmRunOptions run = engineOptions(o, plan);
    stmConfigure(run);
    if (!o.exportSong.empty()) {
        stmReadPak("data.pak");
        bool ok = stmExportSong(o.exportSong.c_str());
        stmShutDown();
        return ok ? 0 : 1;
    }
    const auto began = std::chrono::steady_clock::now();
    bool ok = runGuarded([&] {
        startUp(o, plan);
        FrameLoop loop;
        std::unique_ptr<Viewer> viewer;
        if (viewerControls(o)) {
            viewer.reset(new Viewer(timelineSpans(*g_beatClock), *g_beatClock, o.loop));
            loop.viewer = viewer.get();
        }
        if (o.benchmark) {
            runBenchmark(o, run, loop, began);
            return;
        }
        while (!loop.quit)
            if (loop.iterate() && outputComplete(o, run))
                loop.quit = true;
    });
    shutDown();
    return ok ? 0 : 1;
}
