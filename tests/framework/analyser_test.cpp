// Spectrum analyser against a scripted spectrum: which bins count, the
// rolling mean and the decaying peak.
#include "effects/AudioAnalyser.h"

#include <gtest/gtest.h>

namespace {
float g_bin = 0.0f; // value of bins 0..510
float g_dt = 0.0f;
int g_calls = 0;

void fakeSpectrum(float* buffer, int count) {
    ++g_calls;
    for (int i = 0; i < count - 1; ++i) buffer[i] = g_bin;
    buffer[count - 1] = 1000.0f; // bin 511 is not summed
}
void silentSpectrum(float*, int) {}
float fakeDeltaTime() { return g_dt; }
} // namespace

TEST(SpectrumAnalyser, MeanOverTheHistory) {
    SpectrumAnalyser a(8, fakeSpectrum, fakeDeltaTime);
    g_bin = 0.5f; // sum 255.5
    EXPECT_EQ(a.sample(), 255.5f / 8.0f);
    g_bin = 1.0f; // sum 511
    EXPECT_EQ(a.sample(), (255.5f + 511.0f) / 8.0f);
    EXPECT_EQ(a.history[6], 255.5f);
    EXPECT_EQ(a.history[7], 511.0f);

    SpectrumAnalyser b(2, fakeSpectrum, fakeDeltaTime);
    g_bin = 0.5f;
    b.sample();
    g_bin = 1.0f;
    b.sample();
    g_bin = 0.0f;
    EXPECT_EQ(b.sample(), 511.0f / 2.0f); // the oldest sum dropped out

    SpectrumAnalyser silent(8, silentSpectrum, fakeDeltaTime);
    EXPECT_EQ(silent.sample(), 0.0f); // the buffer starts cleared
}

TEST(SpectrumAnalyser, LevelHoldsAPeakThatFalls) {
    SpectrumAnalyser a(1, fakeSpectrum, fakeDeltaTime);
    g_dt = 0.1f;  // falls 0.125 per frame
    g_bin = 1.0f; // 511
    EXPECT_EQ(a.level(), 511.0f);
    g_bin = 0.0f;
    EXPECT_FLOAT_EQ(a.level(), 511.0f - 0.125f);
    EXPECT_FLOAT_EQ(a.level(), 511.0f - 0.25f);
    g_bin = 2.0f; // a louder sample lifts the peak at once
    EXPECT_EQ(a.level(), 1022.0f);

    // level() and sample() each advance the history.
    SpectrumAnalyser b(8, fakeSpectrum, fakeDeltaTime);
    const int before = g_calls;
    b.level();
    b.sample();
    EXPECT_EQ(g_calls - before, 2);
    EXPECT_EQ(b.history[6], 2044.0f / 2.0f);
}
