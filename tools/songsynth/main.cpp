// songsynth: renders the soundtrack score to Ogg Vorbis (the archive's song)
// and/or WAV (for listening and checks), and prints the master's figures.
//
//   songsynth SCORE [--ogg FILE] [--wav FILE] [--quality Q] [--solo TRACK,...]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>

#include "AudioFile.h"
#include "Renderer.h"
#include "Score.h"

using namespace songsynth;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: songsynth SCORE [--ogg FILE] [--wav FILE] [--quality Q] [--solo TRACK,...]\n"
                 "  renders the score; Q is the Vorbis quality -0.1..1 (default 0.4)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string scorePath = argv[1], oggPath, wavPath;
    float quality = 0.4f;
    RenderOptions options;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) return usage();
        std::string v = argv[++i];
        if (a == "--ogg")
            oggPath = v;
        else if (a == "--wav")
            wavPath = v;
        else if (a == "--quality")
            quality = std::strtof(v.c_str(), nullptr);
        else if (a == "--solo") {
            std::stringstream names(v);
            std::string name;
            while (std::getline(names, name, ',')) options.solo.push_back(name);
        } else
            return usage();
    }
    if (oggPath.empty() && wavPath.empty()) return usage();
    try {
        auto t0 = std::chrono::steady_clock::now();
        Score score = loadScore(scorePath);
        Programme song = renderProgramme(score, options);
        auto t1 = std::chrono::steady_clock::now();
        double peak = 0.0, sum = 0.0;
        for (size_t i = 0; i < song.left.size(); ++i) {
            peak = std::fmax(peak, std::fmax(std::fabs(song.left[i]), std::fabs(song.right[i])));
            sum += double(song.left[i]) * song.left[i] + double(song.right[i]) * song.right[i];
        }
        double rms = std::sqrt(sum / (2.0 * double(song.left.size() ? song.left.size() : 1)));
        std::printf(
            "songsynth: %s: %.3f s, %zu frames, rendered in %.1f s; peak %.2f dBFS, RMS %.2f dBFS, "
            "limiter down to %.1f dB\n",
            scorePath.c_str(), double(song.left.size()) / 44100.0, song.left.size(),
            std::chrono::duration<double>(t1 - t0).count(), 20.0 * std::log10(peak + 1e-12),
            20.0 * std::log10(rms + 1e-12), song.limiterDb);
        for (size_t t = 0; t < score.tracks.size(); ++t)
            std::printf("  %-8s %7.1f dB RMS while sounding\n", score.tracks[t].name.c_str(), song.trackRmsDb[t]);
        if (!wavPath.empty()) writeWav(wavPath, song.left, song.right);
        if (!oggPath.empty()) {
            writeOgg(oggPath, song.left, song.right, quality);
            auto t2 = std::chrono::steady_clock::now();
            std::printf("songsynth: wrote %s in %.1f s\n", oggPath.c_str(),
                        std::chrono::duration<double>(t2 - t1).count());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "songsynth: %s\n", e.what());
        return 1;
    }
    return 0;
}
