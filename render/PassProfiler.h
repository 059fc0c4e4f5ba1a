// Pass profiler of benchmark mode: splits each frame's GPU time between the
// kinds of pass an effect runs. The render targets and post-processing mark
// where a pass begins; the time up to the next mark is the pass's. Marks use
// GL timestamp queries where the driver has them and glFinish boundaries
// otherwise. Off (the default) a mark costs one branch and touches no GL.
#pragma once

#include <array>
#include <cstddef>

enum class Pass {
    Other,   // anything before the first mark of a frame
    Shadow,  // drawing into the 2048 shadow target
    Scene,   // the scene passes (multisampled scene and 1024 targets)
    Resolve, // multisample resolves
    Post,    // occlusion, blurs, combine, depth of field
    Window,  // drawing into the window: backgrounds, composites, overlays, fades
    Count
};

const char* passName(Pass pass);

typedef std::array<double, std::size_t(Pass::Count)> PassTimes; // ms per pass

// Switches profiling on (with a current GL context) or off.
void profilerEnable(bool on);
bool profilerEnabled();
// Starts a frame; its time until the first mark counts as Other.
void profileFrameBegin();
// The pass that begins now.
void profilePass(Pass pass);
// Ends the frame (waits for the GPU) and gives its time per pass.
PassTimes profileFrameEnd();

// Marks `pass` for a scope and the pass that was running again after it;
// plain marks made inside the scope (the targets a pass binds) count as its
// own, a scope opened inside it marks its own pass.
class PassScope {
public:
    explicit PassScope(Pass pass);
    ~PassScope();
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;

private:
    Pass previous_;
};
