// The song as the engine plays it: a synthesized test tone lands in its
// spectrum bin and follows seeks, a seek moves the audio device with the
// clock, and over the real programme the analyser's level stays in its
// working range and peaks on the kicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "AudioFile.h"
#include "effects/AudioAnalyser.h"
#include "engine/stagemill.h"
#include "tests/support/HeadlessGL.h"

namespace fs = std::filesystem;

namespace {

constexpr float kBinHz = 44100.0f / 1024.0f;

// Tone whose pitch tells the time: second k sounds the centre of bin 40 + 30 k.
int toneBin(double ms) { return 40 + 30 * int(ms / 1000.0); }

class SongSync : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("song_sync_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (started_) stmShutDown();
        fs::remove_all(dir_);
    }
    void writeSteppedTone(int seconds) {
        std::vector<float> l(size_t(seconds) * 44100), r;
        double phase = 0.0;
        for (size_t i = 0; i < l.size(); ++i) {
            phase += toneBin(double(i) / 44.1) * kBinHz / 44100.0;
            l[i] = 0.5f * float(std::sin(6.283185307 * phase));
        }
        r = l;
        songsynth::writeOgg((dir_ / "song.ogg").string(), l, r, 0.4f);
    }
    // Starts the engine with the files of dir_ as the archive and plays the song.
    void start(StmRunOptions options) {
        std::string dir = dir_.string();
        options.dataDir = dir.c_str();
        ASSERT_NO_FATAL_FAILURE(headless::openWindow(16, 16, options));
        started_ = true;
        ASSERT_TRUE(stmReadPak("data.pak"));
        stmInitTimer();
        stmPlaySong(1);
    }
    static int peakBin() {
        float s[512];
        stmGetSpectrum(s, 512);
        return int(std::max_element(s, s + 512) - s);
    }
    fs::path dir_;
    bool started_ = false;
};

} // namespace

TEST_F(SongSync, SynthesizedToneLandsInItsBinAndFollowsSeeks) {
    writeSteppedTone(6);
    StmRunOptions o;
    o.headless = true;
    o.fixedFps = 50;
    o.fixedFrom = 500.0f;
    start(o);
    stmUpdateTimer();
    EXPECT_EQ(peakBin(), toneBin(500));
    stmAdjustTime(3000.0f);
    EXPECT_FLOAT_EQ(stmGetTime(), 3500.0f);
    EXPECT_EQ(peakBin(), toneBin(3500));
    stmAdjustTime(-2000.0f);
    EXPECT_EQ(peakBin(), toneBin(1500));
    for (int i = 0; i < 50; ++i) stmUpdateTimer(); // one second of frames on
    EXPECT_EQ(peakBin(), toneBin(stmGetTime()));
}

TEST_F(SongSync, SeekingMovesTheAudioDeviceWithTheClock) {
    writeSteppedTone(8);
    start(StmRunOptions()); // an ordinary run: the clock is the audio position
    auto settle = [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        stmUpdateTimer();
    };
    settle();
    float before = stmGetTime();
    if (before <= 0.0f) GTEST_SKIP() << "no audio device to play through";
    stmAdjustTime(4000.0f);
    settle();
    // The clock now reads the device's position: it went on from the seek.
    float after = stmGetTime();
    EXPECT_GT(after, before + 4000.0f);
    EXPECT_LT(after, before + 4000.0f + 1000.0f);
    if (int(after) % 1000 > 100 && int(after) % 1000 < 900) {
        EXPECT_EQ(peakBin(), toneBin(after));
    }
    stmAdjustTime(-3000.0f);
    settle();
    float back = stmGetTime();
    EXPECT_GT(back, after - 3000.0f);
    EXPECT_LT(back, after - 3000.0f + 1000.0f);
}

// The shipped song with the analyser read once a frame at 60 frames per
// second, as an effect does. Prints the distribution per effect span.
TEST_F(SongSync, AnalyserLevelStaysInRangeAndPeaksOnKicks) {
    fs::copy_file(SONG_OGG, dir_ / "song.ogg");
    StmRunOptions o;
    o.headless = true;
    o.fixedFps = 60;
    start(o);
    SpectrumAnalyser analyser(8);
    std::vector<float> level, time;
    for (;;) {
        stmUpdateTimer();
        if (stmGetTime() > 225450.0f) break;
        time.push_back(stmGetTime());
        level.push_back(analyser.level());
    }
    const unsigned spans[] = {0, 16668, 57875, 89359, 118991, 163902, 178255, 193071, 225450};
    const char* names[] = {"Logo",           "Plates",       "Plates2",        "DanceCube/Doors",
                           "GrowingMotikka", "SlicedSphere", "ParticleFlower", "GrowPrimitives"};
    size_t inRange = 0;
    for (float v : level) inRange += v >= 0.0f && v <= 3.0f;
    std::printf("level() over the programme: %.1f%% of %zu frames in 0..3\n", 100.0 * inRange / level.size(),
                level.size());
    std::printf("%-16s %6s %6s %6s %6s %6s %7s %10s %8s\n", "span", "min", "p10", "median", "p90", "max", "in 0..3",
                "peak phase", "on/off");
    for (int k = 0; k < 8; ++k) {
        std::vector<float> v;
        std::vector<double> phases;         // where in its beat each beat's highest level falls
        double onKick = 0.0, offKick = 0.0; // mean level in the first quarter of beats / the rest
        int onCount = 0, offCount = 0;
        int beat = -1;
        float best = -1.0f;
        double bestPhase = 0.0;
        for (size_t i = 0; i < level.size(); ++i) {
            if (time[i] < spans[k] || time[i] >= spans[k + 1]) continue;
            v.push_back(level[i]);
            double b = (double(time[i]) * 1000.0 + 350.0) / 463320.0;
            if (b - std::floor(b) < 0.25) {
                onKick += level[i];
                ++onCount;
            } else {
                offKick += level[i];
                ++offCount;
            }
            if (int(b) != beat) {
                if (beat >= 0) phases.push_back(bestPhase);
                beat = int(b);
                best = -1.0f;
            }
            if (level[i] > best) {
                best = level[i];
                bestPhase = b - beat;
            }
        }
        std::sort(v.begin(), v.end());
        std::sort(phases.begin(), phases.end());
        auto at = [&](double q) { return v[size_t(q * double(v.size() - 1))]; };
        size_t in = size_t(std::count_if(v.begin(), v.end(), [](float x) { return x >= 0.0f && x <= 3.0f; }));
        double medianPhase = phases[phases.size() / 2];
        std::printf("%-16s %6.2f %6.2f %6.2f %6.2f %6.2f %6.1f%% %10.2f %8.2f\n", names[k], at(0), at(0.1), at(0.5),
                    at(0.9), at(1), 100.0 * in / v.size(), medianPhase, (onKick / onCount) / (offKick / offCount));
        EXPECT_GT(at(0.5), 0.1) << names[k] << ": the analyser hardly moves";
        EXPECT_LT(at(0.9), 3.2) << names[k] << ": the analyser is mostly out of range";
        // Sections with a kick on the beat peak early in the beat.
        if (k != 0 && k != 6) {
            EXPECT_LT(medianPhase, 0.45) << names[k] << ": the level does not peak on the kicks";
        }
    }
    EXPECT_GT(double(inRange) / level.size(), 0.9);
}
