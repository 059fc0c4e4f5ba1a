// The one headless GL harness of the tests: the engine's window on SDL's
// offscreen driver as every GL test opens it, the read-back of what was
// drawn, and PNG output for looking at it. The suites' fixtures (the render
// tests' context, the effect frames' engine, the engine's and the shell's
// per-test windows) build on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/stagemill.h"

namespace headless {

// RGBA bytes, rows bottom first, as glReadPixels gives them.
using Pixels = std::vector<uint8_t>;

// Configures `options` (headless, whatever they say) and opens a window of
// width x height on archive `pak` at picture aspect `aspect` (0: the
// window's). Fails through gtest assertions: call it inside
// ASSERT_NO_FATAL_FAILURE.
void openWindow(int width, int height, StmRunOptions options = StmRunOptions(), const char* pak = "data.pak",
                float aspect = 0.0f);

// The bound framebuffer's width x height pixels from (x, y), tightly packed.
Pixels readFramebuffer(int x, int y, int width, int height);

struct Rgba {
    int r, g, b, a;
};
// Pixel (x, y) of an image `width` pixels wide.
Rgba pixelAt(const Pixels& rgba, int width, int x, int y);

// Writes the image as a PNG under the test output folder ($ZEPHRAN_TEST_OUT,
// else render-test-output/) and returns its path.
std::string writePNG(const std::string& name, const Pixels& rgba, int width, int height);

} // namespace headless
