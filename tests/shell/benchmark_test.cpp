// Benchmark mode's frame-time table: frames filed under the spans drawn at
// their time, overlapping spans as one group, and the order statistics.
#include "shell/Benchmark.h"

#include <gtest/gtest.h>

namespace {

std::vector<TimelineSpan> spans() {
    return {
        {"first", 0, 0, 1000, nullptr},
        {"lower", 0, 1000, 2000, nullptr},
        {"upper", 10, 1000, 2000, nullptr},
    };
}

TEST(FrameTimeTable, FilesFramesUnderTheSpansDrawnAtTheirTime) {
    FrameTimeTable table(spans());
    table.record(0.0f, 1.0);
    table.record(999.9f, 2.0);
    table.record(1000.0f, 5.0); // a boundary belongs to the span it starts
    table.record(2500.0f, 9.0); // past every span
    std::vector<FrameTimeSummary> rows = table.summarise();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "first");
    EXPECT_EQ(rows[0].frames, 2u);
    EXPECT_EQ(rows[1].name, "lower+upper");
    EXPECT_EQ(rows[1].frames, 1u);
    EXPECT_EQ(rows[2].name, "(none)");
}

TEST(FrameTimeTable, MedianP90AndWorstOfUnsortedTimes) {
    FrameTimeTable table(spans());
    for (int v : {7, 3, 10, 1, 9, 2, 8, 4, 6, 5}) table.record(10.0f, double(v));
    FrameTimeSummary s = table.summarise().at(0);
    EXPECT_EQ(s.frames, 10u);
    EXPECT_DOUBLE_EQ(s.median, 6.0);
    EXPECT_DOUBLE_EQ(s.p90, 9.0);
    EXPECT_DOUBLE_EQ(s.worst, 10.0);
    EXPECT_DOUBLE_EQ(s.first, 7.0) << "the first frame drawn, not the first after sorting";

    FrameTimeTable one(spans());
    one.record(10.0f, 4.0);
    FrameTimeSummary single = one.summarise().at(0);
    EXPECT_DOUBLE_EQ(single.median, 4.0);
    EXPECT_DOUBLE_EQ(single.p90, 4.0);
}

} // namespace
