#pragma once

#include <string>
#include <vector>

// Summary of a run of frame times in milliseconds.
struct FrameStats {
    double medianMs = 0.0;
    double p90Ms = 0.0;
    double p99Ms = 0.0;
    double fps = 0.0;

    // Nearest-rank percentiles, so a figure is always a frame that happened;
    // fps from the total time. All zero for no frames.
    static FrameStats of(std::vector<double> frameMs);
    static double percentile(const std::vector<double>& sortedMs, double fraction);
    // {"median_ms": ..., "p90_ms": ..., "p99_ms": ..., "fps": ...}
    std::string json() const;
};
