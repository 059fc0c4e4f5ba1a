// Resolving the multisampled scene on demand changes no pixel: shots of every
// effect on the timeline, at several times each, are the same bytes as shots
// with every scene attachment resolved at the end of every scene pass.
#include "render/RenderTargets.h"
#include "shell/Programme.h"
#include "shell/Timeline.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The PNG bytes of a 160x90 shot at `ms`, taken by a child process (each run
// of the programme wants a fresh process) that resolves every pass or not.
std::vector<char> shotBytes(float ms, bool resolveEveryPass) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zephran-resolve-" + std::to_string(getpid()) + ".png")).string();
    std::remove(path.c_str());
    const pid_t child = fork();
    if (child == 0) {
        g_renderTargets.resolveEveryPass = resolveEveryPass;
        ShellOptions o;
        o.headless = true;
        o.width = 160;
        o.height = 90;
        o.fps = 5;
        o.shot = true;
        o.shotTime = ms;
        o.shotFile = path;
        _exit(runProgramme(o));
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "shot at " << ms << " ms";
    std::ifstream in(path, std::ios::binary);
    std::vector<char> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return png;
}

TEST(OnDemandResolve, EveryEffectGivesTheSameShotsAsResolvingEveryPass) {
    int compared = 0;
    for (const TimelineSpan& span : timelineSpans(programmeBeatClock())) {
        for (float at : {0.2f, 0.5f, 0.8f}) {
            // On the 5 fps grid, so the shot replays whole frames.
            const float ms = 200.0f * float(int((span.start + at * float(span.end - span.start)) / 200.0f));
            const std::vector<char> reference = shotBytes(ms, true);
            ASSERT_GT(reference.size(), 100u) << span.name << " at " << ms << " ms wrote no PNG";
            EXPECT_TRUE(shotBytes(ms, false) == reference) << span.name << " at " << ms << " ms";
            ++compared;
        }
    }
    EXPECT_GE(compared, 15) << "fewer effects on the timeline than expected";
}

} // namespace
