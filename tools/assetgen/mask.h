#pragma once

#include <cstddef>
#include <vector>

// A single-channel coverage image (0 = empty, 1 = full) used to build text,
// outlines and shadows before they are coloured. Row 0 is the top row.
class Mask {
public:
    Mask() = default;
    Mask(int width, int height) : w(width), h(height), values(static_cast<size_t>(width) * height, 0.0f) {}

    int width() const { return w; }
    int height() const { return h; }
    float& at(int x, int y) { return values[static_cast<size_t>(y) * w + x]; }
    float at(int x, int y) const { return values[static_cast<size_t>(y) * w + x]; }
    // 0 outside the mask.
    float get(int x, int y) const { return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : at(x, y); }

    // Grows the shape by radius pixels (antialiased at the new edge).
    Mask dilated(float radius) const;
    // Three box passes, zero beyond the edges.
    Mask blurred(float radius) const;
    Mask shifted(int dx, int dy) const;

    // Bounding box of the values above threshold; false when there are none.
    bool bounds(float threshold, int& x0, int& y0, int& x1, int& y1) const;

private:
    int w = 0, h = 0;
    std::vector<float> values;
};
