// Frame-time table of benchmark mode.
#include "shell/Benchmark.h"

#include <algorithm>
#include <cmath>

namespace {

FrameTimeSummary summariseTimes(const std::string& name, std::vector<double> ms, const PassTimes& passes) {
    FrameTimeSummary s;
    s.name = name;
    double total = 0.0;
    for (double p : passes) total += p;
    for (size_t i = 0; i < passes.size() && total > 0.0; ++i) s.passShare[i] = passes[i] / total;
    s.frames = ms.size();
    if (ms.empty()) return s;
    s.first = ms.front();
    std::sort(ms.begin(), ms.end());
    s.median = ms[ms.size() / 2];
    size_t rank = size_t(std::ceil(0.9 * double(ms.size())));
    s.p90 = ms[std::max<size_t>(rank, 1) - 1];
    s.worst = ms.back();
    return s;
}

} // namespace

void FrameTimeTable::record(float songMs, double ms, const PassTimes& passes) {
    std::string name;
    for (const TimelineSpan& span : spans_) {
        if (songMs >= float(span.start) && songMs < float(span.end))
            name += (name.empty() ? "" : "+") + std::string(span.name);
    }
    if (name.empty()) name = "(none)";
    auto add = [&](SpanFrameTimes& group) {
        group.ms.push_back(ms);
        for (size_t i = 0; i < passes.size(); ++i) group.passes[i] += passes[i];
    };
    for (SpanFrameTimes& group : groups_) {
        if (group.name == name) {
            add(group);
            return;
        }
    }
    groups_.push_back(SpanFrameTimes{name, {}, {}});
    add(groups_.back());
}

std::vector<FrameTimeSummary> FrameTimeTable::summarise() const {
    std::vector<FrameTimeSummary> rows;
    for (const SpanFrameTimes& group : groups_) rows.push_back(summariseTimes(group.name, group.ms, group.passes));
    return rows;
}

void FrameTimeTable::print(std::FILE* out, double startUpSeconds, const char* setting) const {
    std::fprintf(out, "benchmark %s\n", setting);
    std::fprintf(out, "start-up to the first frame: %.3f s\n", startUpSeconds);
    std::fprintf(out, "%-28s %7s %10s %10s %10s", "effect", "frames", "median ms", "p90 ms", "worst ms");
    for (size_t i = 0; i < size_t(Pass::Count); ++i) std::fprintf(out, " %7s", passName(Pass(i)));
    std::fprintf(out, " %10s\n", "first ms");
    std::vector<double> all;
    PassTimes allPasses{};
    auto row = [&](const FrameTimeSummary& s) {
        std::fprintf(out, "%-28s %7zu %10.2f %10.2f %10.2f", s.name.c_str(), s.frames, s.median, s.p90, s.worst);
        for (double share : s.passShare) std::fprintf(out, " %6.1f%%", 100.0 * share);
        std::fprintf(out, " %10.2f\n", s.first);
    };
    for (const SpanFrameTimes& group : groups_) {
        row(summariseTimes(group.name, group.ms, group.passes));
        all.insert(all.end(), group.ms.begin(), group.ms.end());
        for (size_t i = 0; i < allPasses.size(); ++i) allPasses[i] += group.passes[i];
    }
    row(summariseTimes("all", all, allPasses));
    double sum = 0.0;
    for (double v : all) sum += v;
    if (sum > 0.0) std::fprintf(out, "rendering: %.1f frames per second\n", 1000.0 * double(all.size()) / sum);
}
