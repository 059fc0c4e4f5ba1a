// The song: spectrum at the song time, WAV export, the volume rules and the
// clocks (wall and fixed) with their seeking.
#include "TestData.h"

#include "engine/Internal.h"

#include <chrono>
#include <thread>

#include <filesystem>
#include <fstream>
#include <numeric>

namespace {

class AudioTest : public HeadlessTest {
protected:
    void SetUp() override {
        dir = makeTempDir("audio");
        writeZip(dir + "/data.pak", {{"song.ogg", toneOgg(1000.0f, 0.5f, 3.0f)}});
    }
    void TearDown() override {
        HeadlessTest::TearDown();
        std::filesystem::remove_all(dir);
    }
    // A fixed clock at `fps` starting at `from`, the tone as the song.
    void startSong(int fps, float from) {
        StmRunOptions options;
        options.fixedFps = fps;
        options.fixedFrom = from;
        open(16, 16, options);
        ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
        stmInitTimer();
        stmPlaySong(1);
    }
    std::string dir;
};

TEST_F(AudioTest, SpectrumPeaksAtTheToneAndRepeatsForTheSameTime) {
    startSong(10, 1000.0f);
    stmUpdateTimer();
    float a[512], b[512];
    stmGetSpectrum(a, 512);
    int peak = int(std::max_element(a, a + 512) - a);
    EXPECT_EQ(peak, 23); // 1000 Hz at 44100 / 1024 Hz per bin
    float sum = std::accumulate(a, a + 511, 0.0f);
    EXPECT_GT(sum, 0.1f);
    EXPECT_LT(sum, 3.0f);
    stmGetSpectrum(b, 512);
    EXPECT_TRUE(std::equal(a, a + 512, b));

    stmAdjustTime(10000.0f); // past the song: silence
    stmGetSpectrum(b, 512);
    EXPECT_EQ(std::accumulate(b, b + 512, 0.0f), 0.0f);
}

// Without a device, the decoder stays a few seconds ahead of the spectrum's
// requests instead of decoding the whole song; the export still gets it all.
TEST_F(AudioTest, WithoutADeviceDecodingFollowsTheSpectrum) {
    writeZip(dir + "/long.pak", {{"song.ogg", toneOgg(1000.0f, 0.5f, 30.0f)}});
    StmRunOptions options;
    options.fixedFps = 10;
    options.fixedFrom = 2000.0f;
    open(16, 16, options);
    ASSERT_TRUE(stmReadPak((dir + "/long.pak").c_str()));
    stmInitTimer();
    stmPlaySong(1);
    stmUpdateTimer();
    float s[512];
    stmGetSpectrum(s, 512);
    EXPECT_EQ(int(std::max_element(s, s + 512) - s), 23);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // time to run on, were it free to
    const long long rate = 44100;
    EXPECT_GE(stm_internal::songFramesDecoded(), 2 * rate);
    EXPECT_LT(stm_internal::songFramesDecoded(), 8 * rate);

    stmAdjustTime(15000.0f); // to 17 s
    stmGetSpectrum(s, 512);
    EXPECT_EQ(int(std::max_element(s, s + 512) - s), 23) << "the spectrum far ahead waits for its samples";
    EXPECT_GE(stm_internal::songFramesDecoded(), 17 * rate);
    EXPECT_LT(stm_internal::songFramesDecoded(), 23 * rate);

    const std::string wav = dir + "/long.wav";
    ASSERT_TRUE(stmExportSong(wav.c_str()));
    EXPECT_EQ(std::filesystem::file_size(wav), 44u + 30 * 44100 * 4);
}

TEST_F(AudioTest, NoSongGivesAZeroSpectrumAndASilentClock) {
    open(16, 16);
    stmInitTimer();
    stmPlaySong(1);
    float s[512];
    std::fill(s, s + 512, 7.0f);
    stmGetSpectrum(s, 512);
    EXPECT_EQ(std::accumulate(s, s + 512, 0.0f), 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    stmUpdateTimer();
    EXPECT_GE(stmGetTime(), 25.0f); // the wall clock runs
    EXPECT_FALSE(stmExportSong((dir + "/none.wav").c_str()));
}

TEST_F(AudioTest, ExportWritesTheWholeSongAsWav) {
    startSong(10, 0.0f);
    std::string wav = dir + "/song.wav";
    ASSERT_TRUE(stmExportSong(wav.c_str()));
    std::ifstream in(wav, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
    EXPECT_EQ(std::string(bytes.data() + 8, 4), "WAVE");
    EXPECT_EQ(bytes.size(), 44u + 3 * 44100 * 4);
}

TEST_F(AudioTest, VolumeZeroMutesHundredRestoresAndFadeValuesAreGains) {
    open(16, 16);
    stmSetVolume(0.0f);
    EXPECT_EQ(stmGetVolume(), 0.0f);
    stmSetVolume(100.0f);
    EXPECT_EQ(stmGetVolume(), 1.0f);
    stmSetVolume(0.25f);
    EXPECT_EQ(stmGetVolume(), 0.25f);
    stmSetVolume(1.0f);
    EXPECT_EQ(stmGetVolume(), 1.0f);
    stmSetVolume(50.0f);
    EXPECT_EQ(stmGetVolume(), 0.5f);
    stmSetVolume(-3.0f);
    EXPECT_EQ(stmGetVolume(), 0.0f);
    stmSetVolume(250.0f);
    EXPECT_EQ(stmGetVolume(), 1.0f);
}

TEST_F(AudioTest, FixedClockStepsExactlyAndSeeksNeverGoBelowZero) {
    startSong(25, 1000.0f);
    stmUpdateTimer();
    EXPECT_EQ(stmGetTime(), 1000.0f);
    stmUpdateTimer();
    EXPECT_EQ(stmGetTime(), 1040.0f);
    EXPECT_FLOAT_EQ(stmGetDeltaTime(), 0.04f);
    stmAdjustTime(-5000.0f);
    EXPECT_EQ(stmGetTime(), 0.0f);
    stmUpdateTimer();
    EXPECT_EQ(stmGetTime(), 40.0f);
    stmAdjustTime(1000.0f);
    EXPECT_EQ(stmGetTime(), 1040.0f); // visible at once, before the next frame
    for (int i = 0; i < 1000; ++i) stmUpdateTimer();
    EXPECT_EQ(stmGetTime(), 41040.0f); // no drift from adding steps up
}

} // namespace

namespace {

TEST_F(AudioTest, PlayingSongDrivesTheClockAndSeeksTheAudio) {
    open(16, 16);
    ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    stmInitTimer();
    stmPlaySong(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stmUpdateTimer();
    float t = stmGetTime();
    EXPECT_GT(t, 150.0f);
    EXPECT_LT(t, 600.0f);
    stmAdjustTime(-10000.0f);
    EXPECT_EQ(stmGetTime(), 0.0f);
    stmUpdateTimer();
    EXPECT_LT(stmGetTime(), 100.0f); // the audio position moved back too
    stmAdjustTime(2000.0f);
    stmUpdateTimer();
    EXPECT_GE(stmGetTime(), 2000.0f);
    EXPECT_LT(stmGetTime(), 2100.0f);
}

} // namespace

namespace {

TEST_F(AudioTest, PauseHoldsThePlayingSongAndResumesFromThePausedTime) {
    open(16, 16);
    ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    stmInitTimer();
    stmPlaySong(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stmUpdateTimer();
    stmPause(true);
    const float paused = stmGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    stmUpdateTimer();
    EXPECT_EQ(stmGetTime(), paused);
    EXPECT_EQ(stmGetDeltaTime(), 0.0f);
    stmAdjustTime(500.0f); // a frame step while paused moves the held clock
    EXPECT_EQ(stmGetTime(), paused + 500.0f);
    stmPause(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    stmUpdateTimer();
    // The music went on from the stepped time, not from where the device
    // would be had it kept playing through the pause.
    EXPECT_GT(stmGetTime(), paused + 500.0f);
    EXPECT_LT(stmGetTime(), paused + 500.0f + 400.0f);
}

} // namespace
