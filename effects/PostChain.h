// The scene effects' post-processing chain: ambient occlusion from the scene
// targets, blurred at quarter size and multiplied into the scene colour
// (texScreenCombined), then a half-size blur of that and depth of field to
// the window. Runs after endSceneMRT; the effects differ only in the numbers.
#pragma once

struct PostChain {
    float ssaoRadius, ssaoFalloff, ssaoStrength, ssaoOffset;
    int quarterPasses;   // blur rounds of the occlusion at quarter size
    float quarterSpread; // tap offset of that blur in quarter-size texels
    int halfPasses;      // blur rounds of the combined picture at half size
    float halfSpread;    // tap offset of that blur in full-size texels
    float dofNear, dofFocus, dofFar;
};

// applySSAO; blurQuarter(texHalfSSAO); combine into texScreenCombined;
// blurHalf(texScreenCombined); applyDepthOfField into the window framebuffer.
// Texel offsets are spread / (width / 4) and spread / width with the render
// targets' sizes (integer divisions). Leaves the window framebuffer bound and
// the GL state applyDepthOfField leaves.
void runPostChain(const PostChain& chain);
