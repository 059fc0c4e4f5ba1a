// Writes a rendered stereo programme as 16-bit PCM WAV or as Ogg Vorbis.
#pragma once

#include <string>
#include <vector>

namespace songsynth {

// Both throw std::runtime_error naming the file when it cannot be written.
// Samples are floats in -1..1 at 44.1 kHz; the WAV gets TPDF dither.
void writeWav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right);

// Variable bit rate Vorbis; quality -0.1..1 as libvorbisenc takes it. The
// stream's serial and tags are fixed, so the same samples give the same bytes.
std::vector<unsigned char> encodeOgg(const std::vector<float>& left, const std::vector<float>& right, float quality);
void writeOgg(const std::string& path, const std::vector<float>& left, const std::vector<float>& right, float quality);

} // namespace songsynth
