// Test data for the engine tests: zip archives written on the fly, PNG
// images and a generated Ogg Vorbis tone standing in for the song.
#pragma once

#include "engine/stagemill.h"
#include "tests/support/HeadlessGL.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A fresh empty directory under the system's temp folder.
std::string makeTempDir(const char* tag);
// Writes `members` (name -> bytes) as a zip file at `path`; members named in
// `stored` are stored uncompressed, so tests can damage their bytes.
void writeZip(const std::string& path, const std::map<std::string, Bytes>& members,
              const std::vector<std::string>& stored = {});
Bytes readFile(const std::string& path);
// Where a member of a zip lies: its central directory entry (CRC at +16,
// sizes at +20 and +24) and local header (CRC at +14, sizes at +18, +22),
// and the first byte of its data. Throws when the name is not there.
struct ZipEntry {
    size_t central, local, data;
};
ZipEntry findZipEntry(const Bytes& zip, const std::string& name);
void put32(Bytes& bytes, size_t at, uint32_t value);
// Rewrites the granule position (the length in frames it claims) of the
// last page of an Ogg stream and that page's checksum.
void setOggLength(Bytes& ogg, uint64_t frames);
void writeFile(const std::string& path, const Bytes& bytes);
Bytes textBytes(const std::string& text);
// PNG of w x h pixels with `channels` components per pixel, rows top first.
Bytes pngBytes(int w, int h, int channels, const std::vector<unsigned char>& pixels);
// A PNG whose header claims w x h while its data holds one grey pixel (the
// header's CRC left stale: stb_image checks none); for bounds that must be
// checked from the header, before any decoding.
Bytes pngHeaderOnly(int w, int h);
// A stereo 44.1 kHz Ogg Vorbis sine of `hz` at `amplitude` lasting `seconds`.
Bytes toneOgg(float hz, float amplitude, float seconds);

// A headless engine window per test; open() configures and starts it.
class HeadlessTest : public ::testing::Test {
protected:
    void open(int w, int h, StmRunOptions options = StmRunOptions(), float aspect = 0.0f) {
        ASSERT_NO_FATAL_FAILURE(headless::openWindow(w, h, options, "data.pak", aspect));
    }
    void TearDown() override {
        stmClearEffects();
        stmShutDown();
    }
};
