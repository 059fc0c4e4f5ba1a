// Benchmark mode: frame times of a fixed-clock headless run, gathered per
// timeline span and printed as a table. Only this mode waits for the GPU
// after each frame, so other runs keep their pipelining.
#pragma once

#include "render/PassProfiler.h"
#include "shell/Timeline.h"

#include <cstdio>
#include <string>
#include <vector>

struct SpanFrameTimes {
    std::string name;       // span names joined with '+' where spans overlap
    std::vector<double> ms; // one entry per frame, in drawing order
    PassTimes passes{};     // summed over the frames
};

struct FrameTimeSummary {
    std::string name;
    size_t frames = 0;
    double median = 0.0, p90 = 0.0, worst = 0.0; // ms
    double first = 0.0;                          // ms, the group's first frame drawn
    PassTimes passShare{};                       // fractions of the summed pass time
};

class FrameTimeTable {
public:
    explicit FrameTimeTable(std::vector<TimelineSpan> spans) : spans_(std::move(spans)) {}

    // Files one frame drawn at song time `songMs` that took `ms`, `passes`
    // of it in each kind of pass, under the spans that contain that time
    // (start inclusive, end exclusive); frames outside every span go under
    // "(none)".
    void record(float songMs, double ms, const PassTimes& passes = PassTimes{});

    // One row per group of spans that drew frames, in the order first seen.
    // The median is the upper middle value; p90 the value below which 90 %
    // of the frames lie (nearest rank).
    std::vector<FrameTimeSummary> summarise() const;

    // The table, a total row and the start-up time, for people; the first
    // frame's time is the last column.
    void print(std::FILE* out, double startUpSeconds, const char* setting) const;

private:
    std::vector<TimelineSpan> spans_;
    std::vector<SpanFrameTimes> groups_;
};
