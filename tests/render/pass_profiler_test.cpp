// The pass profiler on a real (headless) driver: time lands in the pass
// whose target was bound, a post-processing pass keeps the binds it makes,
// and with profiling off nothing is measured.
#include "tests/render/GLTestSupport.h"

#include "render/PassProfiler.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"

namespace {

double at(const PassTimes& t, Pass p) { return t[size_t(p)]; }

TEST(PassProfiler, TimeGoesToThePassWhoseTargetIsBound) {
    RenderTargets& rt = g_renderTargets;
    rt.resolveForSampling(rt.texScreenColor); // nothing left for the blur to resolve
    profilerEnable(true);
    profileFrameBegin();
    rt.bindTextureFBO2048(rt.tex2048);
    for (int i = 0; i < 8; ++i) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    rt.unbind();
    blurQuarter(rt.texScreenColor, 2, 1.0f / rt.width, 1.0f / rt.height, true);
    PassTimes t = profileFrameEnd();
    profilerEnable(false);
    EXPECT_GT(at(t, Pass::Shadow), 0.0);
    EXPECT_GT(at(t, Pass::Post), 0.0);
    EXPECT_EQ(at(t, Pass::Scene), 0.0);
    EXPECT_EQ(at(t, Pass::Resolve), 0.0); // the blur's own binds and unbinds stay post

    profileFrameBegin();
    rt.bindTextureFBO2048(rt.tex2048);
    rt.unbind();
    t = profileFrameEnd();
    for (double ms : t) EXPECT_EQ(ms, 0.0); // off: no marks, no time
}

// A scene attachment resolved because a post pass samples it is timed as
// a resolve, and the post pass goes on being timed as post.
TEST(PassProfiler, AResolveOnSamplingIsTimedAsAResolve) {
    RenderTargets& rt = g_renderTargets;
    profilerEnable(true);
    profileFrameBegin();
    rt.beginSceneMRT();
    rt.endSceneMRT();
    const PassTimes scene = profileFrameEnd();
    EXPECT_EQ(at(scene, Pass::Resolve), 0.0) << "the scene pass ended with nothing sampled";
    profileFrameBegin();
    blurQuarter(rt.texScreenColor, 2, 1.0f / rt.width, 1.0f / rt.height, true);
    const PassTimes t = profileFrameEnd();
    profilerEnable(false);
    EXPECT_GT(at(t, Pass::Resolve), 0.0);
    EXPECT_GT(at(t, Pass::Post), 0.0);
}

} // namespace
