// Score parser: what the text format means, and that every fault names its
// line and what was expected.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Score.h"

using namespace songsynth;

namespace {

std::string errorOf(const std::string& text) {
    try {
        parseScore(text, "t.score");
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(Score, ReadsPatternsChordsHoldsAndPlays) {
    Score s = parseScore(
        "length 1000  # ms\n"
        "inst bass saw gain=-6 cutoff=300\n"
        "    reso=0.5\n"
        "pattern p 1/4 a2 - . c#3+e3! x..o\n"
        "    g#1?\n"
        "play bass 1 9 p p+12\n"
        "ramp bass cutoff 1 5 200 800\n",
        "t.score");
    ASSERT_EQ(s.tracks.size(), 1u);
    EXPECT_FLOAT_EQ(s.tracks[0].params[P_GAIN], -6.0f);
    EXPECT_FLOAT_EQ(s.tracks[0].params[P_RESO], 0.5f); // continued on an indented line
    ASSERT_EQ(s.patterns.size(), 1u);
    const Pattern& p = s.patterns[0];
    EXPECT_DOUBLE_EQ(p.length, 2.25); // 9 steps of a quarter beat
    ASSERT_EQ(p.notes.size(), 5u);
    EXPECT_EQ(p.notes[0].pitches, std::vector<int>{45});
    EXPECT_DOUBLE_EQ(p.notes[0].length, 0.5); // held one more step
    EXPECT_EQ(p.notes[1].pitches, (std::vector<int>{49, 52}));
    EXPECT_FLOAT_EQ(p.notes[1].velocity, 1.0f);
    EXPECT_TRUE(p.notes[2].pitches.empty()); // drum hit
    EXPECT_DOUBLE_EQ(p.notes[2].beat, 1.0);
    EXPECT_FLOAT_EQ(p.notes[3].velocity, 0.45f);         // ghost
    EXPECT_EQ(p.notes[4].pitches, std::vector<int>{32}); // g#1 on the continuation line
    EXPECT_FLOAT_EQ(p.notes[4].velocity, 0.5f);
    ASSERT_EQ(s.plays.size(), 1u);
    EXPECT_EQ(s.plays[0].patterns[1].transpose, 12);
    ASSERT_EQ(s.ramps.size(), 1u);
    EXPECT_EQ(s.ramps[0].param, P_CUTOFF);
}

TEST(Score, FaultsNameTheLineAndWhatWasExpected) {
    const std::string head = "length 1000\ninst k kick\n";
    EXPECT_EQ(errorOf(head + "pattern p 1 x\nplay k 1 5 q\n"), "t.score:4: unknown pattern 'q'");
    EXPECT_EQ(errorOf(head + "play z 1 5 p\n"), "t.score:3: unknown track 'z'");
    EXPECT_NE(errorOf(head + "pattern p 1 x h2\n").find("t.score:3: bad step 'h2'"), std::string::npos);
    EXPECT_EQ(errorOf(head + "pattern p 1 . -\n"), "t.score:3: '-' holds nothing");
    EXPECT_EQ(errorOf(head + "inst b saw cutof=3\n"), "t.score:3: unknown parameter 'cutof'");
    EXPECT_EQ(errorOf(head + "inst b kick voices=3\n"), "t.score:3: a kick has no parameter 'voices'");
    EXPECT_EQ(errorOf(head + "inst a saw\nramp a arp 1 2 0 1\n"),
              "t.score:4: 'arp' shapes the notes before they play and cannot be ramped");
    EXPECT_EQ(errorOf(head + "ramp k lpf 1 2 0 100\n"), "t.score:3: frequencies must be positive");
    EXPECT_EQ(errorOf(head + "pattern p 1 x\nplay k 5 1 p\n"), "t.score:4: play ends before it starts");
    EXPECT_EQ(errorOf(head + "tempo 120\n"),
              "t.score:3: unknown keyword 'tempo' (expected length, master, inst, pattern, play or ramp)");
    EXPECT_EQ(errorOf("inst k kick\n"), "t.score: no length given");
    EXPECT_EQ(errorOf("  x\n"), "t.score:1: indented line continues nothing");
    EXPECT_EQ(errorOf(head + "pattern p 1/0 x\n"), "t.score:3: bad number '1/0'");
}

TEST(Score, MissingFileIsReported) {
    try {
        loadScore("/nonexistent/song.score");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "/nonexistent/song.score: cannot open the score");
    }
}
