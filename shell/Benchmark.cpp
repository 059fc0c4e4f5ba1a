// Frame-time table of benchmark mode.
#include "shell/Benchmark.h"

#include <algorithm>
#include <cmath>

namespace {

FrameTimeSummary summariseTimes(const std::string& name, std::vector<double> ms)
{
    FrameTimeSummary s;
    s.name = name;
    s.frames = ms.size();
    if (ms.empty())
        return s;
    std::sort(ms.begin(), ms.end());
    s.median = ms[ms.size() / 2];
    size_t rank = size_t(std::ceil(0.9 * double(ms.size())));
    s.p90 = ms[std::max<size_t>(rank, 1) - 1];
    s.worst = ms.back();
    return s;
}

} // namespace

void FrameTimeTable::record(float songMs, double ms)
{
    std::string name;
    for (const TimelineSpan& span : spans_) {
        if (songMs >= float(span.start) && songMs < float(span.end))
            name += (name.empty() ? "" : "+") + std::string(span.name);
    }
    if (name.empty())
        name = "(none)";
    for (SpanFrameTimes& group : groups_) {
        if (group.name == name) {
            group.ms.push_back(ms);
            return;
        }
    }
    groups_.push_back(SpanFrameTimes{name, {ms}});
}

std::vector<FrameTimeSummary> FrameTimeTable::summarise() const
{
    std::vector<FrameTimeSummary> rows;
    for (const SpanFrameTimes& group : groups_)
        rows.push_back(summariseTimes(group.name, group.ms));
    return rows;
}

void FrameTimeTable::print(std::FILE* out, double startUpSeconds, const char* setting) const
{
    std::fprintf(out, "benchmark %s\n", setting);
    std::fprintf(out, "start-up to the first frame: %.3f s\n", startUpSeconds);
    std::fprintf(out, "%-28s %7s %10s %10s %10s\n", "effect", "frames", "median ms", "p90 ms", "worst ms");
    std::vector<double> all;
    for (const SpanFrameTimes& group : groups_) {
        FrameTimeSummary s = summariseTimes(group.name, group.ms);
        std::fprintf(out, "%-28s %7zu %10.2f %10.2f %10.2f\n", s.name.c_str(), s.frames, s.median, s.p90, s.worst);
        all.insert(all.end(), group.ms.begin(), group.ms.end());
    }
    FrameTimeSummary total = summariseTimes("all", all);
    double sum = 0.0;
    for (double v : all)
        sum += v;
    std::fprintf(out, "%-28s %7zu %10.2f %10.2f %10.2f\n", "all", total.frames, total.median, total.p90, total.worst);
    if (sum > 0.0)
        std::fprintf(out, "rendering: %.1f frames per second\n", 1000.0 * double(all.size()) / sum);
}
