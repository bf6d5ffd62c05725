#include "tools/assetgen/icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Fractions of the icon's edge.
constexpr float kCornerRadius = 0.18f;
constexpr float kMargin = 0.04f;
constexpr int kFields = 3;
constexpr float kGridLine = 0.018f;
constexpr float kFigureRadius = 0.13f;
constexpr int kSpikePoints = 7;
constexpr float kSpikeInner = 0.45f;
constexpr float kPi = 3.14159265f;

// Coverage of a rounded square spanning [lo, hi] on both axes at a pixel centre.
float roundedSquare(float x, float y, float lo, float hi, float radius) {
    const float cx = std::clamp(x, lo + radius, hi - radius);
    const float cy = std::clamp(y, lo + radius, hi - radius);
    const float distance = std::hypot(x - cx, y - cy);
    return std::clamp(radius - distance + 0.5f, 0.0f, 1.0f);
}

void paintSpike(Canvas& image, float cx, float cy, float radius) {
    std::vector<float> star;
    for (int i = 0; i < 2 * kSpikePoints; ++i) {
        const float angle = kPi * i / kSpikePoints - kPi / 2;
        const float r = i % 2 == 0 ? radius : radius * kSpikeInner;
        star.push_back(cx + r * std::cos(angle));
        star.push_back(cy + r * std::sin(angle));
    }
    image.fillPolygon(star, rgb(0xd9542b));
}

void paintSlime(Canvas& image, float cx, float cy, float radius) {
    image.fillDisc(cx, cy, radius, rgb(0x3fbf4f));
    // A highlight towards the light, up and to the left.
    image.fillDisc(cx - radius * 0.35f, cy - radius * 0.35f, radius * 0.3f, rgb(0xd8ffd0, 0.8f));
}
} // namespace

Canvas paintIcon(int size) {
    const float edge = static_cast<float>(size);
    const float lo = kMargin * edge;
    const float hi = edge - lo;
    Canvas image(size, size, rgb(0x000000, 0.0f));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float coverage = roundedSquare(px, py, lo, hi, kCornerRadius * edge);
            // Deep water at the bottom, lighter towards the surface above.
            const float depth = (py - lo) / (hi - lo);
            const float ripple = 0.06f * std::sin(px / edge * 19.0f + py / edge * 7.0f);
            const Color water = mix(rgb(0x2f9fd0), rgb(0x0a2a55), std::clamp(depth + ripple, 0.0f, 1.0f));
            image.at(x, y) = water.withAlpha(coverage);
        }
    }
    const float field = (hi - lo) / kFields;
    for (int i = 1; i < kFields; ++i) {
        const float at = lo + i * field;
        image.strokeLine(at, lo, at, hi, kGridLine * edge, rgb(0xbfe8ff, 0.5f));
        image.strokeLine(lo, at, hi, at, kGridLine * edge, rgb(0xbfe8ff, 0.5f));
    }
    const float radius = kFigureRadius * edge;
    paintSlime(image, lo + 0.5f * field, lo + 1.5f * field, radius);
    paintSpike(image, lo + 1.5f * field, lo + 0.5f * field, radius * 1.2f);
    paintSlime(image, lo + 1.5f * field, lo + 1.5f * field, radius);
    paintSpike(image, lo + 2.5f * field, lo + 2.5f * field, radius * 1.2f);
    // Keep the figures inside the rounded outline.
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Color& pixel = image.at(x, y);
            pixel.a = std::min(pixel.a, roundedSquare(x + 0.5f, y + 0.5f, lo, hi, kCornerRadius * edge));
        }
    }
    return image;
}
