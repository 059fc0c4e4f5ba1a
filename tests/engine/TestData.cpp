// Writers for the engine tests' archives, images and tone.
#include "TestData.h"

#include <stb/stb_image_write.h>
#include "AudioFile.h"
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

std::string makeTempDir(const char* tag) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (std::string("zephran-") + tag + "-XXXXXX")).string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    return tmpl;
}

void writeZip(const std::string& path, const std::map<std::string, Bytes>& members,
              const std::vector<std::string>& stored) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) throw std::runtime_error("zip_open failed for " + path);
    for (const auto& m : members) {
        zip_source_t* src = zip_source_buffer(z, m.second.data(), m.second.size(), 0);
        zip_int64_t index = src ? zip_file_add(z, m.first.c_str(), src, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) throw std::runtime_error("zip_file_add failed for " + m.first);
        if (std::find(stored.begin(), stored.end(), m.first) != stored.end())
            zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(z) != 0) throw std::runtime_error("zip_close failed for " + path);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace {
uint32_t get16(const Bytes& b, size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; }
} // namespace

ZipEntry findZipEntry(const Bytes& zip, const std::string& name) {
    for (size_t at = 0; at + 46 <= zip.size(); ++at) {
        if (zip[at] != 'P' || zip[at + 1] != 'K' || zip[at + 2] != 1 || zip[at + 3] != 2) continue;
        size_t nameLength = get16(zip, at + 28);
        if (at + 46 + nameLength > zip.size() ||
            std::string(zip.begin() + long(at) + 46, zip.begin() + long(at + 46 + nameLength)) != name)
            continue;
        size_t local = get16(zip, at + 42) | size_t(get16(zip, at + 44)) << 16;
        size_t data = local + 30 + get16(zip, local + 26) + get16(zip, local + 28);
        return ZipEntry{at, local, data};
    }
    throw std::runtime_error("no member " + name + " in the zip");
}

void put32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

void setOggLength(Bytes& ogg, uint64_t frames) {
    size_t last = std::string::npos;
    for (size_t at = 0; at + 27 <= ogg.size(); ++at)
        if (ogg[at] == 'O' && ogg[at + 1] == 'g' && ogg[at + 2] == 'g' && ogg[at + 3] == 'S') last = at;
    if (last == std::string::npos) throw std::runtime_error("no Ogg page");
    for (int i = 0; i < 8; ++i) ogg[last + 6 + size_t(i)] = uint8_t(frames >> (8 * i));
    size_t segments = ogg[last + 26], length = 27 + segments;
    for (size_t i = 0; i < segments; ++i) length += ogg[last + 27 + i];
    // The Ogg checksum: CRC-32, polynomial 0x04c11db7, no reflection, taken
    // with the checksum field zeroed.
    put32(ogg, last + 22, 0);
    uint32_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        crc ^= uint32_t(ogg[last + i]) << 24;
        for (int k = 0; k < 8; ++k) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    put32(ogg, last + 22, crc);
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes pngBytes(int w, int h, int channels, const std::vector<unsigned char>& pixels) {
    Bytes out;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            Bytes* o = static_cast<Bytes*>(context);
            const unsigned char* p = static_cast<const unsigned char*>(data);
            o->insert(o->end(), p, p + size);
        },
        &out, w, h, channels, pixels.data(), w * channels);
    return out;
}

Bytes toneOgg(float hz, float amplitude, float seconds) {
    const int rate = 44100;
    std::vector<float> tone(size_t(seconds * rate));
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = amplitude * std::sin(2.0f * float(M_PI) * hz * float(i) / rate);
    return songsynth::encodeOgg(tone, tone, 0.4f);
}

Bytes pngHeaderOnly(int w, int h) {
    Bytes png = pngBytes(1, 1, 1, {0});
    for (int k = 0; k < 4; ++k) { // IHDR's width and height, big-endian
        png[16 + size_t(k)] = static_cast<unsigned char>(uint32_t(w) >> (24 - 8 * k));
        png[20 + size_t(k)] = static_cast<unsigned char>(uint32_t(h) >> (24 - 8 * k));
    }
    return png;
}
