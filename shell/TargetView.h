// The render-target view of interactive runs (key V): instead of the
// picture, one of the render targets the last frame drew into, full screen,
// with its name, size and format in a label. Each press goes on to the next
// target that frame wrote, in the order of the post-processing chain, and
// after the last back to the picture. Colour targets show their colours
// (normals, stored as n * 0.5 + 0.5, read as colours), depth targets a grey
// ramp from white (nearest) to black (farthest drawn).
#pragma once

#include "render/RenderTargets.h"

#include <cstddef>
#include <string>
#include <vector>

struct ViewedTarget {
    const char* name;
    GLuint RenderTargets::*texture;
    bool depth;        // shown as a grey ramp of the (packed or plain) depth it holds
    const char* holds; // what its texels mean, for the label
};

extern const ViewedTarget kViewedTargets[];
extern const int kViewedTargetCount;

// The target after `current` (-1: the picture) among those marked in
// `written` (one flag per kViewedTargets entry); -1 after the last.
int nextViewedTarget(int current, const std::vector<bool>& written);

// The nearest and farthest depth held by `texels` RGBA texels (depth over
// rgb as packed by the shadow and scene passes, or plain); texels holding 0
// (nothing drawn) are left out. False when every texel is 0.
bool depthRange(const unsigned char* rgba, std::size_t texels, float& nearest, float& farthest);

class TargetView {
public:
    // After the frame's effects: notes which targets they drew into.
    void afterFrame();
    // V: the next target the last frame wrote, or back to the picture.
    void press();
    int current() const { return current_; }
    // The label of the target shown (empty when the picture is).
    const std::string& label() const { return label_; }
    // Draws the chosen target over the whole picture with its label;
    // nothing when the picture is chosen. Leaves GL state as it found it and
    // no program bound.
    void draw();

private:
    int current_ = -1;
    std::vector<bool> written_ = std::vector<bool>(std::size_t(kViewedTargetCount), false);
    std::string label_;
};
