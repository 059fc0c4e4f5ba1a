// The GL state check of --gl-check. Between draws the programme promises a
// resting GL state: both matrix stacks at depth 1, no program bound, the
// window framebuffer bound, texture unit 0 active, no GL error pending. The
// check reads that state after every effect's draw and after every frame,
// takes the driver's debug messages as they come, and logs each distinct
// fault once with the effect (timeline name) and song time that caused it.
#pragma once

#include <set>
#include <string>
#include <vector>

// Faults by where they happened and what they were; pure bookkeeping.
class GLFaultLog {
public:
    // Files one fault; true, after logging it, the first time this fault is
    // seen at this place.
    bool report(const std::string& where, float songMs, const std::string& what);
    size_t faults() const { return seen_.size(); }

private:
    std::set<std::pair<std::string, std::string>> seen_;
};

// What differs from the resting state, one text per fault (empty when all
// is as promised). `restore` puts the resting state back, so one fault is
// not blamed again on the draws after it.
std::vector<std::string> glStateFaults(bool restore);

// The whole-run check: install() routes the engine's observer and message
// hooks to it; check() runs after each draw; the summary is printed at exit.
class GLCheck {
public:
    void install();
    void uninstall();
    // Reads the state (and the messages gathered since the last check) and
    // files each fault under `where`.
    void check(const char* where, float songMs);
    void frameDone() { ++frames_; }
    size_t frames() const { return frames_; }
    size_t faults() const { return log_.faults(); }
    // "gl-check: F frames, K faults" on stderr; true when K is 0.
    bool printSummary() const;

private:
    GLFaultLog log_;
    size_t frames_ = 0;
};
