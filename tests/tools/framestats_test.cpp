#include "framestats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(FrameStats, Percentiles_AreFramesThatHappenedWhateverTheOrder) {
    std::vector<double> times;
    for (int i = 100; i >= 1; --i) {
        times.push_back(i);
    }
    const FrameStats stats = FrameStats::of(times);
    EXPECT_EQ(stats.medianMs, 50.0);
    EXPECT_EQ(stats.p90Ms, 90.0);
    EXPECT_EQ(stats.p99Ms, 99.0);
    EXPECT_NEAR(stats.fps, 100 * 1000.0 / 5050.0, 1e-9);
    // Each figure is written under its own name.
    for (const char* entry : {"\"median_ms\": 50.00", "\"p90_ms\": 90.00", "\"p99_ms\": 99.00"}) {
        EXPECT_NE(stats.json().find(entry), std::string::npos) << stats.json();
    }
}

TEST(FrameStats, OneFrameAndNoFrames) {
    EXPECT_EQ(FrameStats::of({7.0}).p99Ms, 7.0);
    EXPECT_EQ(FrameStats::of({}).fps, 0.0);
    EXPECT_EQ(FrameStats::of({}).p99Ms, 0.0);
}
