#include "scene/coveredrows.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kCorners = 8;
// A row on the outline's edge may or may not be rasterised; it is left out.
constexpr int kEdgeRows = 1;

struct Point {
    double x, y;
};

// The span [low, high] of heights where the outline of points (their convex
// hull) meets the vertical line at x; empty (low > high) when it misses it.
// Every point of a hull on that line lies on a segment between two of the
// points, so the segments' crossings bound the span.
void spanAt(const Point* points, int count, double x, double& low, double& high) {
    low = std::numeric_limits<double>::infinity();
    high = -low;
    for (int i = 0; i < count; ++i) {
        for (int j = i; j < count; ++j) {
            const Point& a = points[i];
            const Point& b = points[j];
            if ((a.x - x) * (b.x - x) > 0.0) {
                continue;
            }
            const double t = a.x == b.x ? 0.0 : (x - a.x) / (b.x - a.x);
            const double y0 = a.y + (b.y - a.y) * t;
            const double y1 = a.x == b.x ? b.y : y0;
            low = std::min({low, y0, y1});
            high = std::max({high, y0, y1});
        }
    }
}

} // namespace

std::optional<CoveredRows::Range> CoveredRows::of(const Matrix4x4<double>& m, const Box& box, int width,
                                                  int height, double nearW) {
    Point points[kCorners];
    for (int c = 0; c < kCorners; ++c) {
        const double x = (c & 1) != 0 ? box.high[0] : box.low[0];
        const double y = (c & 2) != 0 ? box.high[1] : box.low[1];
        const double z = (c & 4) != 0 ? box.high[2] : box.low[2];
        if (!projectToPixels(m, x, y, z, nearW, width, height, points[c].x, points[c].y)) {
            return std::nullopt;
        }
    }
    // A convex outline that holds both ends of a row holds the whole row.
    double leftLow = 0.0, leftHigh = 0.0, rightLow = 0.0, rightHigh = 0.0;
    spanAt(points, kCorners, 0.0, leftLow, leftHigh);
    spanAt(points, kCorners, static_cast<double>(width), rightLow, rightHigh);
    if (!std::isfinite(leftLow) || !std::isfinite(rightLow)) {
        return std::nullopt;
    }
    // Kept near the window, so that the rows below fit in an int.
    const double low = std::clamp(std::max(leftLow, rightLow), -1.0, height + 1.0);
    const double high = std::clamp(std::min(leftHigh, rightHigh), -1.0, height + 1.0);
    // Rows whose pixel centres (row + 0.5) lie inside, less the edge rows;
    // an outline reaching past the window has no edge row there.
    const int first = low <= 0.0 ? 0 : static_cast<int>(std::ceil(low - 0.5)) + kEdgeRows;
    const int last = high >= height ? height : static_cast<int>(std::floor(high - 0.5)) + 1 - kEdgeRows;
    if (first >= last) {
        return std::nullopt;
    }
    return Range{first, last};
}
