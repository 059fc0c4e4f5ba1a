// The limiter, the echo and the arrangement's expansion into notes: the
// pieces whose faults would not be heard as a missing sound but as a wrong one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "BeatGrid.h"
#include "Effects.h"
#include "Renderer.h"
#include "Score.h"

using namespace songsynth;

TEST(Limiter, HoldsTheCeilingBetweenSamplesAndLeavesQuietPassagesAlone) {
    // Two seconds of a quiet 1 kHz tone with a loud 5 kHz burst at 0.45 s
    // (2 ms fades, 10 ms long).
    std::vector<float> l(88200), r;
    for (size_t i = 0; i < l.size(); ++i) {
        float u = std::min(1.0f, std::min(float(i) - 20000.0f, 20500.0f - float(i)) / 88.0f);
        float burst = u > 0.0f ? 0.5f - 0.5f * std::cos(3.14159265f * u) : 0.0f;
        l[i] =
            burst * 1.6f * std::sin(float(i) * 0.7124f + 0.4f) + (1.0f - burst) * 0.1f * std::sin(float(i) * 0.1425f);
    }
    r = l;
    std::vector<float> before = l;
    float reduction = limitProgramme(l, r, -3.0f);
    EXPECT_LT(reduction, -6.0f);
    const float ceiling = std::pow(10.0f, -3.0f / 20.0f);
    const double kPi = 3.14159265358979;
    for (size_t i = 16; i + 16 < l.size(); ++i) {
        ASSERT_LE(std::fabs(l[i]), ceiling + 1e-6f) << "frame " << i;
        // Half way between frames, reconstructed with a Hann-windowed sinc,
        // as a true-peak meter sees it.
        double mid = 0.0;
        for (int k = -15; k <= 16; ++k) {
            double x = k - 0.5;
            mid += l[i + size_t(k + 16) - 16] * std::sin(kPi * x) / (kPi * x) * (0.5 + 0.5 * std::cos(kPi * x / 16.5));
        }
        ASSERT_LE(std::fabs(mid), ceiling * 1.02) << "between frames " << i << " and " << i + 1;
    }
    // Well before the burst (beyond the lookahead) untouched; long after the
    // release, back to unity gain.
    for (size_t i = 0; i < 18000; ++i) ASSERT_EQ(l[i], before[i]) << "frame " << i;
    for (size_t i = 70000; i < l.size(); ++i) ASSERT_NEAR(l[i], before[i], 1e-4f) << "frame " << i;
}

TEST(Delay, EchoesAfterExactlyItsTimeOnAlternateSides) {
    PingPongDelay delay;
    const int d = 1000;
    std::vector<float> in(4096, 0.0f), outL(4096, 0.0f), outR(4096, 0.0f);
    in[10] = 1.0f;
    for (size_t at = 0; at < in.size(); at += 64)
        delay.process(in.data() + at, outL.data() + at, outR.data() + at, 64, d, 0.5f, 20000.0f);
    auto firstAbove = [](const std::vector<float>& x, float v) {
        return size_t(std::find_if(x.begin(), x.end(), [v](float s) { return std::fabs(s) > v; }) - x.begin());
    };
    EXPECT_EQ(firstAbove(outL, 0.5f), size_t(10 + d));      // first repeat, left
    EXPECT_EQ(firstAbove(outR, 0.05f), size_t(10 + 2 * d)); // second repeat, right, quieter
    EXPECT_LT(*std::max_element(outR.begin(), outR.end()), 0.5f);
}

TEST(Arrangement, ExpandsArpeggiosRepeatsTranspositionAndClipsAtTheEnd) {
    Score s = parseScore(
        "length 10000\n"
        "inst a saw arp=1/4 arpoct=2 arpgate=1\n"
        "inst b saw repeat=1/2 arpgate=0.5\n"
        "inst c saw\n"
        "pattern ch 4 a3+c4\n"
        "pattern two 1 e2 g2\n"
        "play a 1 2 ch+2\n"
        "play b 1 2 ch\n"
        "play c 1 3.5 two two-12\n",
        "t.score");
    auto notes = expandNotes(s);
    // One beat of sixteenths over the chord, rising through two octaves.
    ASSERT_EQ(notes[0].size(), 4u);
    const int rising[4] = {59, 62, 71, 74};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(notes[0][size_t(k)].pitch, rising[k]);
        EXPECT_EQ(notes[0][size_t(k)].start, beatToSample(1.0 + 0.25 * k));
    }
    // Both chord notes struck again every half beat, gated to half a step.
    ASSERT_EQ(notes[1].size(), 4u);
    EXPECT_EQ(notes[1][2].start, beatToSample(1.5));
    EXPECT_EQ(notes[1][2].length, beatToSample(1.75) - beatToSample(1.5));
    // Patterns in turn, the second an octave down, cut where the play ends.
    ASSERT_EQ(notes[2].size(), 3u);
    EXPECT_EQ(notes[2][0].pitch, 40);
    EXPECT_EQ(notes[2][2].pitch, 28);
    EXPECT_EQ(notes[2][2].start, beatToSample(3.0));
    EXPECT_EQ(notes[2][2].length, beatToSample(3.5) - beatToSample(3.0));
}

// The master's width scales the side signal alone: a hard-panned part gets
// wider while the mid (what a mono listener hears) stays, and a centred part
// such as the kick stays exactly mono.
TEST(MasterWidth, ScalesOnlyTheSideAndLeavesCentredPartsMono) {
    auto render = [](const char* width) {
        std::string text = std::string("length 1000\nmaster ceiling=0 ") + width +
                           "\ninst k kick gain=-20\ninst s saw gain=-20 pan=1 width=0\n"
                           "pattern p 1 a3\nplay k 1 2 p\nplay s 1 2 p\n";
        return renderProgramme(parseScore(text, "t.score"));
    };
    Programme narrow = render("width=1"), wide = render("width=2");
    double sideN = 0, sideW = 0, midErr = 0;
    for (size_t i = 0; i < narrow.left.size(); ++i) {
        midErr =
            std::max(midErr, double(std::fabs((narrow.left[i] + narrow.right[i]) - (wide.left[i] + wide.right[i]))));
        sideN += std::pow(narrow.left[i] - narrow.right[i], 2.0);
        sideW += std::pow(wide.left[i] - wide.right[i], 2.0);
    }
    EXPECT_GT(sideN, 1.0);
    EXPECT_LT(midErr, 1e-5);
    EXPECT_NEAR(sideW / sideN, 4.0, 1e-3); // twice the side amplitude

    Programme kick =
        renderProgramme(parseScore("length 1000\nmaster ceiling=0 width=3\ninst k kick\n"
                                   "pattern p 1 x\nplay k 1 2 p\n",
                                   "t.score"));
    for (size_t i = 0; i < kick.left.size(); ++i) ASSERT_EQ(kick.left[i], kick.right[i]) << "frame " << i;
}
