// libFuzzer target over image decoding as the engine does it for archive
// textures: the header's size checked against a largest side and a budget
// before decoding, then the decode and the conversion to RGBA. The bounds
// are small here so that oversized headers are met often and the images
// that pass them decode fast under the sanitizers. The decoder is
// compiled in (stb_image_instrumented.cpp) and stands in for the system's
// library, which the fuzzer could not see into.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/stagemill.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int maxSide = 256;
    const size_t budget = size_t(256) << 10;
    int width = 0, height = 0;
    std::string failure;
    if (stmDecodeImage(data, size, maxSide, budget, width, height, failure) &&
        (width > maxSide || height > maxSide || size_t(width) * size_t(height) * 4 > budget))
        __builtin_trap(); // a decoded image outside the bounds
    return 0;
}
