#include "framestats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace {
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kMedian = 0.5;
constexpr double kP90 = 0.9;
constexpr double kP99 = 0.99;
} // namespace

double FrameStats::percentile(const std::vector<double>& sortedMs, double fraction) {
    if (sortedMs.empty()) {
        return 0.0;
    }
    const double rank = std::ceil(fraction * static_cast<double>(sortedMs.size()));
    const size_t index = rank < 1.0 ? 0 : static_cast<size_t>(rank) - 1;
    return sortedMs[std::min(index, sortedMs.size() - 1)];
}

FrameStats FrameStats::of(std::vector<double> frameMs) {
    FrameStats stats;
    if (frameMs.empty()) {
        return stats;
    }
    std::sort(frameMs.begin(), frameMs.end());
    stats.medianMs = percentile(frameMs, kMedian);
    stats.p90Ms = percentile(frameMs, kP90);
    stats.p99Ms = percentile(frameMs, kP99);
    const double total = std::accumulate(frameMs.begin(), frameMs.end(), 0.0);
    stats.fps = total > 0.0 ? static_cast<double>(frameMs.size()) * kMillisecondsPerSecond / total : 0.0;
    return stats;
}

std::string FrameStats::json() const {
    char text[160];
    std::snprintf(text, sizeof text,
                  "{\"median_ms\": %.2f, \"p90_ms\": %.2f, \"p99_ms\": %.2f, \"fps\": %.1f}", medianMs, p90Ms,
                  p99Ms, fps);
    return text;
}
