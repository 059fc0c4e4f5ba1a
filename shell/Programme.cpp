// Start-up, frame loop and shutdown of zephran.
#include "shell/Programme.h"

#include "effects/BeatClock.h"
#include "effects/Globals.h"
#include "effects/AudioAnalyser.h"
#include "launcher/LauncherWindow.h"
#include "render/GLCheck.h"
#include "render/Cubemap.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "scene/SceneManager.h"
#include "shell/Benchmark.h"
#include "shell/FrameLoop.h"
#include "shell/LiveReload.h"
#include "shell/Replay.h"
#include "shell/Timeline.h"
#include "shell/Viewer.h"
#include "shell/WarmUp.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

namespace {

const char* const kTitle = "Zephran Emberfall 2010";
const char* const kIcon = "icon.png"; // optional archive member

// The twelve environment cube faces are sampled with clamped edges.
void setCubeFaceParameters() {
    static const char* const kFaces[] = {"px.png", "py.png", "pz.png", "nx.png", "ny.png", "nz.png"};
    const float clampToEdge = float(GL_CLAMP_TO_EDGE);
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
ReplayPlan replayPlan(const ShellOptions& o, int fps) {
    std::vector<TimelineSpan> spans = timelineSpans(programmeBeatClock());
    if (o.shot) return planShotReplay(spans, o.shotTime, fps);
    if (!o.capture.empty()) return planCaptureReplay(spans, o.from, fps);
    ReplayPlan plan;
    plan.clockFrom = plan.firstFrame = o.from;
    return plan;
}

double secondsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

StmRunOptions engineOptions(const ShellOptions& o, const ReplayPlan& plan) {
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
    run.glDebug = o.glCheck;
    run.captureTo = o.shot ? -1.0f : (o.to >= 0.0f ? std::min(o.to, kProgrammeEnd + 1.0f) : kProgrammeEnd + 1.0f);
    return run;
}

// Why the output or its range cannot be made, checked before anything
// renders; empty when they can. A --to past the end is clamped, and said.
std::string outputProblem(const ShellOptions& o) {
    char text[160];
    if (o.shot && o.shotTime > kProgrammeEnd) {
        std::snprintf(text, sizeof(text), "--shot %.0f is past the programme's end (%.0f ms)", double(o.shotTime),
                      double(kProgrammeEnd));
        return text;
    }
    if (o.from > kProgrammeEnd) {
        std::snprintf(text, sizeof(text), "--from %.0f is past the programme's end (%.0f ms)", double(o.from),
                      double(kProgrammeEnd));
        return text;
    }
    if (!o.dataDir.empty())
        if (const char* problem = stmDataDirProblem(o.dataDir.c_str())) return std::string("--data ") + problem;
    const std::string& out = o.shot ? o.shotFile : o.capture;
    if (!out.empty())
        if (const char* problem = stmOutputProblem(out.c_str(), o.shot ? STM_OUTPUT_SHOT : STM_OUTPUT_CAPTURE))
            return problem;
    if (!o.exportSong.empty())
        if (const char* problem = stmOutputProblem(o.exportSong.c_str(), STM_OUTPUT_SONG)) return problem;
    if (!o.capture.empty() && o.to > kProgrammeEnd)
        std::fprintf(stderr, "zephran: --to %.0f is past the programme's end; the capture stops there (%.0f ms)\n",
                     double(o.to), double(kProgrammeEnd));
    return std::string();
}

// True once a capture or shot has all its frames.
bool outputComplete(const ShellOptions& o, const StmRunOptions& run) {
    if (o.shot) return stmCapturedFrames() >= 1;
    if ((!o.capture.empty() || o.benchmark) && o.to >= 0.0f) return stmGetTime() + 1000.0f / run.fixedFps >= o.to;
    return false;
}

// A song that ends well before the programme leaves its end silent.
void warnShortSong() {
    float length = stmGetSongLength();
    if (length > 0.0f && length < kProgrammeEnd - 1000.0f)
        stmMsg("zephran: song.ogg lasts %.1f s, much shorter than the programme's %.1f s; the rest is silent\n",
               double(length) / 1000.0, double(kProgrammeEnd) / 1000.0);
}

// False when the program cannot start (the reason is shown).
// `launcher`: the accepted dialog, or null when the command line (or the
// engine's defaults) decide the display.
// `reloads`: with --watch, where a failure to watch the data directory is
// reported (null without).
bool startUp(const ShellOptions& o, const ReplayPlan& plan, Launcher* launcher, ReloadReport* reloads) {
    g_backgroundColor = stm::Vector(0.0f, 0.0f, 0.0f);
    bool started;
    if (launcher) {
        launcher->setOption1006();
        started = stmInitEx(launcher->getWidth(), launcher->getHeight(), launcher->getBitsPerPixel(),
                            launcher->getFullscreen(), launcher->getOption1006(), launcher->getAlwaysOnTop(),
                            launcher->getAlwaysOnTopCopy(), 8, launcher->getAspectRatio(),
                            launcher->getDesktopAspectRatio(), "data.pak", launcher->getRefreshRate());
    } else {
        const bool option1006 = true;
        started = stmInitEx(o.width, o.height, 32, o.fullscreen, option1006, o.onTop, o.onTop, 8, o.aspect, 0.0f,
                            "data.pak", o.refresh);
    }
    if (!started) throw "stmInitEx(): no window or OpenGL context";
    // Watched before it is read, so an edit saved while the programme loads
    // is rebuilt at the first frame rather than missed.
    if (reloads && !stmWatchData())
        reloads->add("watch", "cannot watch " + o.dataDir + ": edits there are not rebuilt", true);
    // A stop signal during start-up ends it between steps (each long one
    // also looks): stmStopSignal then gives the exit status.
    if (stmStopSignal()) return false;
    if (!stmReadPak("data.pak")) {
        std::string text = std::string("The data archive is unusable: ") + stmPakError() + ".";
        stmMessageBox(text.c_str(), kTitle, STM_MB_ICONERROR | STM_MB_TOPMOST);
        return false;
    }
    stmInitCubemaps();
    stmSetWindowTitle(kTitle);
    if (stmGetFile(kIcon, nullptr)) {
        stm::Texture* icon = stmGetTexture(kIcon);
        stmSetWindowIcon(icon->getImgData(), icon->getWidth(), icon->getHeight());
    }
    setCubeFaceParameters();
    stmUploadTextures();
    if (stmStopSignal()) return false;
    g_renderTargets.init(stmGetWindowWidth(), stmGetWindowHeight());
    g_shaderManager = ShaderManager::create();
    if (stmStopSignal()) return false;
    g_sceneManager = SceneManager::create();
    g_spectrum = new SpectrumAnalyser(8);
    g_beatClock = new BeatClock(programmeBeatClock());
    const std::vector<Effect*> effects = registerTimeline(*g_beatClock);
    stmMsg("zephran: %d effects on the timeline\n", int(effects.size()));
    stmInitEffects();
    if (stmStopSignal()) return false;
    const auto warmUpBegan = std::chrono::steady_clock::now();
    const int warmed = warmUpEffects(timelineSpans(*g_beatClock), effects);
    stmMsg("zephran: warm-up drew %d frames in %.0f ms\n", warmed, 1000.0 * secondsSince(warmUpBegan));
    stmInitTimer();
    stmPlaySong(1);
    warnShortSong();
    if (stmGetRunOptions().fixedFps <= 0 && o.from > 0.0f)
        stmAdjustTime(o.from); // the fixed clock starts there by itself
    glEnable(GL_MULTISAMPLE);
    if (o.shot || !o.capture.empty()) replayFrames(plan);
    return !stmStopSignal();
}

// Plays the range like a capture but writes nothing: each frame is timed
// from its clear to glFinish, split between its passes, and filed under the
// spans drawn at its time.
void runBenchmark(const ShellOptions& o, const StmRunOptions& run, FrameLoop& loop,
                  std::chrono::steady_clock::time_point began) {
    FrameTimeTable table(timelineSpans(*g_beatClock));
    double startUp = 0.0;
    bool first = true;
    profilerEnable(true);
    while (!loop.quit && !stmStopSignal()) {
        const auto frameBegan = std::chrono::steady_clock::now();
        profileFrameBegin();
        if (!loop.iterate()) continue;
        const PassTimes passes = profileFrameEnd();
        if (first) startUp = secondsSince(began);
        first = false;
        table.record(stmGetTime(), 1000.0 * secondsSince(frameBegan), passes);
        if (outputComplete(o, run)) loop.quit = true;
    }
    char setting[160];
    std::snprintf(setting, sizeof setting, "%dx%d, %d fps, %.0f..%.0f ms", stmGetWindowWidth(), stmGetWindowHeight(),
                  run.fixedFps, o.from, o.to >= 0.0f ? o.to : kProgrammeEnd);
    profilerEnable(false);
    table.print(stdout, startUp, setting);
}

void shutDown() {
    forgetStaticCubemaps();
    g_renderTargets.release();
    ShaderManager::release();
    stmSetGamma(0);
    stmShutDown();
}

} // namespace

bool viewerControls(const ShellOptions& o) { return !o.shot && o.capture.empty() && !o.benchmark; }

// Logged, and shown in a message box when there is a display, so a run that
// ends this way never just closes.
static void reportException(const char* message) {
    stmMsg("Exception: %s\n", message);
    stmMessageBox(message, kTitle, STM_MB_ICONERROR | STM_MB_TOPMOST);
}

bool runGuarded(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const char* message) {
        reportException(message);
    } catch (const std::exception& e) {
        reportException(e.what());
    }
    return false;
}

int runProgramme(const ShellOptions& o) {
    std::string problem = outputProblem(o);
    if (!problem.empty()) {
        std::fprintf(stderr, "zephran: %s\n", problem.c_str());
        return 2;
    }
    const int fps = o.fps > 0 ? o.fps : 60;
    const ReplayPlan plan = replayPlan(o, fps);
    StmRunOptions run = engineOptions(o, plan);
    stmConfigure(run);
    if (!o.extract.empty()) {
        bool ok = stmReadPak("data.pak");
        if (!ok) stmMsg("zephran: the data archive is unusable: %s\n", stmPakError());
        ok = ok && stmExtractArchive(o.extract.c_str(), o.force);
        stmShutDown();
        return ok ? 0 : 1;
    }
    if (!o.exportSong.empty()) {
        bool ok = stmReadPak("data.pak");
        if (ok)
            warnShortSong();
        else
            stmMsg("zephran: the data archive is unusable: %s\n", stmPakError());
        ok = ok && stmExportSong(o.exportSong.c_str());
        stmShutDown();
        return ok ? 0 : 1;
    }
    bool started = false, declined = false;
    const auto began = std::chrono::steady_clock::now();
    GLCheck glCheck;
    if (o.glCheck) glCheck.install();
    bool ok = runGuarded([&] {
        std::unique_ptr<Launcher> launcher = launcherWanted(o) ? runLauncherWindow("data.pak") : nullptr;
        if (launcher && !launcher->isAccepted()) {
            declined = true; // Quit: no window, context or music was started; exit 0
            return;
        }
        ReloadReport reloads;
        started = startUp(o, plan, launcher.get(), o.watch ? &reloads : nullptr);
        FrameLoop loop;
        if (!started) return;
        if (o.glCheck) {
            stmMsg(stmGLDebugActive() ? "gl-check: collecting the driver's GL_KHR_debug messages\n"
                                      : "gl-check: the context offers no GL_KHR_debug; GL state only\n");
            glCheck.check("start-up", stmGetTime());
            loop.glCheck = &glCheck;
        }
        if (o.watch) loop.reloads = &reloads;
        std::unique_ptr<Viewer> viewer;
        if (viewerControls(o)) {
            viewer.reset(new Viewer(timelineSpans(*g_beatClock), *g_beatClock, o.loop));
            loop.viewer = viewer.get();
            if (o.watch) viewer->showReloads(&reloads);
        }
        if (o.benchmark) {
            runBenchmark(o, run, loop, began);
            return;
        }
        // A failed write or a stop signal ends the run at once.
        while (!loop.quit && !stmCaptureFailed() && !stmStopSignal())
            if (loop.iterate() && outputComplete(o, run)) loop.quit = true;
    });
    ok = stmFinishCapture() && ok && (started || declined);
    if (o.glCheck) {
        glCheck.uninstall();
        ok = glCheck.printSummary() && ok;
    }
    shutDown();
    if (int signal = stmStopSignal()) return 128 + signal;
    return ok ? 0 : 1;
}
