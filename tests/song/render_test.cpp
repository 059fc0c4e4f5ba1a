// The rendered song: kicks on the beat grid to the sample, the programme's
// length, and the shipped song.ogg as the engine will decode it (format,
// length, silence at the end, headroom, every section sounding).
#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Renderer.h"
#include "Score.h"

using namespace songsynth;

namespace {

// Sample of beat n, straight from the grid's definition:
// beat n at (n * 463320 - 350) microseconds.
long beatSample(int n) { return std::lround((n * 463320.0 - 350.0) / 1e6 * 44100.0); }

constexpr long kFrames = 9944550; // 225.5 s

struct Decoded {
    std::vector<float> mono;
    long rate = 0;
    int channels = 0;
    float peak = 0.0f;
};

Decoded decode(const char* path) {
    Decoded d;
    OggVorbis_File vf;
    if (ov_fopen(path, &vf) != 0) {
        ADD_FAILURE() << path << ": cannot be opened as Ogg Vorbis";
        return d;
    }
    vorbis_info* vi = ov_info(&vf, -1);
    d.rate = vi->rate;
    d.channels = vi->channels;
    float** pcm;
    int section = 0;
    long got;
    while ((got = ov_read_float(&vf, &pcm, 4096, &section)) > 0)
        for (long i = 0; i < got; ++i) {
            float sum = 0.0f;
            for (int c = 0; c < d.channels; ++c) {
                d.peak = std::max(d.peak, std::fabs(pcm[c][i]));
                sum += pcm[c][i];
            }
            d.mono.push_back(sum / float(d.channels));
        }
    ov_clear(&vf);
    return d;
}

double rmsDb(const std::vector<float>& x, long from, long to) {
    double e = 0.0;
    for (long i = from; i < to; ++i) e += double(x[size_t(i)]) * x[size_t(i)];
    return 10.0 * std::log10(e / double(to - from) + 1e-30);
}

} // namespace

TEST(Render, KicksStartOnTheirBeatSampleAndTheProgrammeHasItsLength) {
    Score score = loadScore(SONG_SCORE);
    RenderOptions solo;
    solo.solo = {"kick"};
    Programme p = renderProgramme(score, solo);
    ASSERT_EQ(long(p.left.size()), kFrames);
    ASSERT_EQ(long(p.right.size()), kFrames);
    // GrowingMotikka has a kick on every beat, open again from beat 289 (a
    // lowpass softens its attack before) up to a rest on beat 353; late beats
    // catch any drift.
    for (int n = 289; n < 353; ++n) {
        long s = beatSample(n);
        float peak = 0.0f;
        for (long i = s; i < s + 2000; ++i) peak = std::max(peak, std::fabs(p.left[size_t(i)]));
        ASSERT_GT(peak, 0.1f) << "no kick at beat " << n;
        long onset = s - 400;
        while (std::fabs(p.left[size_t(onset)]) < 0.25f * peak) ++onset;
        EXPECT_GE(onset - s, 0) << "kick of beat " << n << " starts early";
        EXPECT_LE(onset - s, 44) << "kick of beat " << n << " starts late";
    }
}

TEST(ShippedSong, DecodesToTheProgrammeEndingInSilenceWithHeadroom) {
    Decoded d = decode(SONG_OGG);
    ASSERT_FALSE(d.mono.empty());
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(long(d.mono.size()), kFrames);
    EXPECT_LT(d.peak, 0.944f); // -0.5 dBFS, after the encoder's overshoot
    float tail = 0.0f;
    for (size_t i = size_t(std::lround(225.45 * 44100)); i < d.mono.size(); ++i)
        tail = std::max(tail, std::fabs(d.mono[i]));
    EXPECT_LT(tail, 1e-3f) << "the song still sounds at its end";

    // Every section sounds, the quiet ones below the peak ones.
    struct Span {
        const char* name;
        int from, to;
    };
    const Span spans[] = {{"Logo", 1, 36},
                          {"Plates", 37, 125},
                          {"Plates2", 129, 193},
                          {"DanceCube", 193, 257},
                          {"GrowingMotikka", 257, 354},
                          {"SlicedSphere", 354, 385},
                          {"ParticleFlower", 385, 417},
                          {"GrowPrimitives", 417, 465}};
    double level[8];
    for (int k = 0; k < 8; ++k) {
        level[k] = rmsDb(d.mono, beatSample(spans[k].from), beatSample(spans[k].to));
        EXPECT_GT(level[k], -30.0) << spans[k].name << " is nearly silent";
        EXPECT_LT(level[k], -8.0) << spans[k].name << " is too hot";
    }
    EXPECT_LT(level[0], level[3]) << "the intro should be quieter than the peak";
    EXPECT_LT(level[6], level[3]) << "the airy part should be quieter than the peak";
}

// Each effect boundary is heard on its own beat: the loudness of the mix
// changes most from the beat before to the boundary's beat (or, for a fill,
// one beat earlier), never further ahead, and by a clear step on the beat.
TEST(ShippedSong, EveryBoundaryChangesTheSoundOnItsOwnBeat) {
    Decoded d = decode(SONG_OGG);
    ASSERT_EQ(long(d.mono.size()), kFrames);
    auto beatDb = [&](int n) { return rmsDb(d.mono, beatSample(n), beatSample(n + 1)); };
    for (int boundary : {36, 125, 193, 257, 354, 385, 417}) {
        int loudest = 0;
        double largest = 0.0, onBeat = 0.0;
        for (int n = boundary - 3; n <= boundary + 3; ++n) {
            double step = std::fabs(beatDb(n) - beatDb(n - 1));
            if (n == boundary) onBeat = step;
            if (step > largest) {
                largest = step;
                loudest = n;
            }
        }
        EXPECT_TRUE(loudest == boundary || loudest == boundary - 1)
            << "beat " << boundary << ": the largest change comes at beat " << loudest;
        EXPECT_GT(onBeat, 1.5) << "beat " << boundary << ": hardly any change on the beat itself";
    }
}
