// WAV and Ogg Vorbis writers of the synthesizer.
#include "AudioFile.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "Dsp.h"

namespace songsynth {

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

File openForWriting(const std::string& path) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) throw std::runtime_error(path + ": cannot open for writing");
    return f;
}

void put(FILE* f, const void* data, size_t bytes, const std::string& path) {
    if (std::fwrite(data, 1, bytes, f) != bytes) throw std::runtime_error(path + ": write failed");
}

void putLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

} // namespace

void writeWav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
    size_t frames = std::min(left.size(), right.size());
    uint32_t dataBytes = uint32_t(frames * 4);
    std::string header = "RIFF";
    putLe(header, 36 + dataBytes, 4);
    header += "WAVEfmt ";
    putLe(header, 16, 4);
    putLe(header, 1, 2); // PCM
    putLe(header, 2, 2); // channels
    putLe(header, kSampleRate, 4);
    putLe(header, kSampleRate * 4, 4); // bytes per second
    putLe(header, 4, 2);               // bytes per frame
    putLe(header, 16, 2);              // bits
    header += "data";
    putLe(header, dataBytes, 4);

    File f = openForWriting(path);
    put(f.get(), header.data(), header.size(), path);
    Noise dither(0x1234567u);
    std::vector<int16_t> pcm;
    pcm.reserve(8192);
    for (size_t i = 0; i < frames; ++i) {
        for (float x : {left[i], right[i]}) {
            // Exact digital silence stays silent; everything else gets 1 LSB TPDF dither.
            float d = x == 0.0f ? 0.0f : (dither.next() + dither.next()) * 0.5f;
            long v = std::lround(double(x) * 32767.0 + d);
            pcm.push_back(int16_t(std::clamp(v, -32768L, 32767L)));
        }
        if (pcm.size() >= 8192 || i + 1 == frames) {
            put(f.get(), pcm.data(), pcm.size() * 2, path); // little-endian hosts only
            pcm.clear();
        }
    }
    if (std::fflush(f.get()) != 0) throw std::runtime_error(path + ": write failed");
}

std::vector<unsigned char> encodeOgg(const std::vector<float>& left, const std::vector<float>& right, float quality) {
    size_t frames = std::min(left.size(), right.size());
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, kSampleRate, quality) != 0) {
        vorbis_info_clear(&vi);
        throw std::runtime_error("the Vorbis encoder refused quality " + std::to_string(quality));
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Zephran Emberfall 2010");
    vorbis_comment_add_tag(&vc, "ENCODER", "songsynth");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x5A45); // fixed serial: identical renders give identical files
    ogg_page og;
    ogg_packet op;
    std::vector<unsigned char> out;

    auto flushPages = [&](bool force) {
        while (force ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) {
            out.insert(out.end(), og.header, og.header + og.header_len);
            out.insert(out.end(), og.body, og.body + og.body_len);
        }
    };

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&vd, &vc, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &headerComment);
    ogg_stream_packetin(&os, &headerCode);
    flushPages(true);

    const size_t chunk = 4096;
    size_t at = 0;
    for (bool finished = false; !finished;) {
        size_t n = std::min(chunk, frames - at);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, int(n));
            std::memcpy(buffer[0], left.data() + at, n * sizeof(float));
            std::memcpy(buffer[1], right.data() + at, n * sizeof(float));
            vorbis_analysis_wrote(&vd, int(n));
            at += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                flushPages(false);
            }
        }
        if (n == 0) finished = true;
    }
    flushPages(true);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

void writeOgg(const std::string& path, const std::vector<float>& left, const std::vector<float>& right, float quality) {
    File f = openForWriting(path);
    std::vector<unsigned char> ogg;
    try {
        ogg = encodeOgg(left, right, quality);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
    put(f.get(), ogg.data(), ogg.size(), path);
    if (std::fflush(f.get()) != 0) throw std::runtime_error(path + ": write failed");
}

} // namespace songsynth
