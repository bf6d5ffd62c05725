#include "tools/assetgen/canvas.h"

#include "tools/assetgen/vec.h"

#include <algorithm>
#include <cmath>

Color mix(const Color& a, const Color& b, float t) {
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t), lerp(a.a, b.a, t)};
}

Color over(const Color& below, const Color& above) {
    if (above.a <= 0) {
        return below;
    }
    float a = above.a + below.a * (1 - above.a);
    auto channel = [&](float s, float d) {
        return (s * above.a + d * below.a * (1 - above.a)) / a;
    };
    return {channel(above.r, below.r), channel(above.g, below.g), channel(above.b, below.b), a};
}

Color rgb(uint32_t hex, float alpha) {
    constexpr float kByte = 1.0f / 255.0f;
    return {((hex >> 16) & 255) * kByte, ((hex >> 8) & 255) * kByte, (hex & 255) * kByte, alpha};
}

Canvas::Canvas(int width, int height, Color fill)
    : w(width), h(height), pixels(static_cast<size_t>(width) * height, fill) {}

const Color& Canvas::atWrapped(int x, int y) const {
    x %= w;
    y %= h;
    return at(x < 0 ? x + w : x, y < 0 ? y + h : y);
}

const Color& Canvas::atClamped(int x, int y) const {
    return at(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1));
}

Color Canvas::sample(float px, float py, bool wrap) const {
    float fx = px - 0.5f, fy = py - 0.5f;
    float x0f = std::floor(fx), y0f = std::floor(fy);
    int x0 = static_cast<int>(x0f), y0 = static_cast<int>(y0f);
    float tx = fx - x0f, ty = fy - y0f;
    auto get = [&](int x, int y) {
        return wrap ? atWrapped(x, y) : atClamped(x, y);
    };
    return mix(mix(get(x0, y0), get(x0 + 1, y0), tx), mix(get(x0, y0 + 1), get(x0 + 1, y0 + 1), tx), ty);
}

void Canvas::blend(int x, int y, const Color& c) {
    if (x < 0 || y < 0 || x >= w || y >= h || c.a <= 0) {
        return;
    }
    Color& d = at(x, y);
    float a = c.a + d.a * (1 - c.a);
    if (a <= 0) {
        return;
    }
    auto channel = [&](float s, float t) {
        return (s * c.a + t * d.a * (1 - c.a)) / a;
    };
    d = {channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), a};
}

void Canvas::draw(const Canvas& src, int x, int y) {
    for (int sy = 0; sy < src.h; ++sy) {
        for (int sx = 0; sx < src.w; ++sx) {
            blend(x + sx, y + sy, src.at(sx, sy));
        }
    }
}

void Canvas::fillDisc(float cx, float cy, float radius, const Color& c) {
    int x0 = static_cast<int>(std::floor(cx - radius - 1)), x1 = static_cast<int>(std::ceil(cx + radius + 1));
    int y0 = static_cast<int>(std::floor(cy - radius - 1)), y1 = static_cast<int>(std::ceil(cy + radius + 1));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            float coverage = clamp01(radius - d + 0.5f);
            blend(x, y, c.withAlpha(c.a * coverage));
        }
    }
}

void Canvas::fillRect(int x, int y, int width, int height, const Color& c) {
    for (int py = y; py < y + height; ++py) {
        for (int px = x; px < x + width; ++px) {
            blend(px, py, c);
        }
    }
}

void Canvas::strokeLine(float x0, float y0, float x1, float y1, float width, const Color& c) {
    float half = width * 0.5f;
    int minX = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    int maxX = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    int minY = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    int maxY = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = clamp01((px * dx + py * dy) / len2);
            float d = std::hypot(px - t * dx, py - t * dy);
            blend(x, y, c.withAlpha(c.a * clamp01(half - d + 0.5f)));
        }
    }
}

void Canvas::fillPolygon(const std::vector<float>& xy, const Color& c) {
    constexpr int kSamples = 4;
    size_t n = xy.size() / 2;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (size_t i = 0; i < n; ++i) {
        minX = std::min(minX, xy[2 * i]);
        maxX = std::max(maxX, xy[2 * i]);
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    auto inside = [&](float px, float py) {
        bool in = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) {
                in = !in;
            }
        }
        return in;
    };
    for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y) {
        for (int x = static_cast<int>(std::floor(minX)); x <= static_cast<int>(std::ceil(maxX)); ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    hits += inside(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples);
                }
            }
            blend(x, y, c.withAlpha(c.a * hits / float(kSamples * kSamples)));
        }
    }
}

namespace {
// One box pass along rows (horizontal) or columns; colours are weighted by
// alpha so that transparent neighbours do not darken the edges.
void boxPass(const Canvas& src, Canvas& dst, int radius, bool horizontal, bool wrap) {
    int w = src.width(), h = src.height();
    int lines = horizontal ? h : w, length = horizontal ? w : h;
    float norm = 1.0f / (2 * radius + 1);
    for (int line = 0; line < lines; ++line) {
        auto get = [&](int i) {
            if (wrap) {
                i = ((i % length) + length) % length;
            } else {
                i = std::clamp(i, 0, length - 1);
            }
            const Color& c = horizontal ? src.at(i, line) : src.at(line, i);
            return Color{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
        };
        Color sum{0, 0, 0, 0};
        for (int i = -radius; i <= radius; ++i) {
            sum = sum + get(i);
        }
        for (int i = 0; i < length; ++i) {
            Color& out = horizontal ? dst.at(i, line) : dst.at(line, i);
            out = sum.a > 1e-6f ? Color{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a * norm}
                                : Color{0, 0, 0, 0};
            Color drop = get(i - radius), add = get(i + radius + 1);
            sum = {sum.r - drop.r + add.r, sum.g - drop.g + add.g, sum.b - drop.b + add.b,
                   sum.a - drop.a + add.a};
        }
    }
}
} // namespace

Canvas Canvas::blurred(float radius, bool wrap) const {
    // Three box passes approximate a Gaussian; each box gets a third of the
    // variance.
    int box = std::max(0, static_cast<int>(std::lround(radius / std::sqrt(3.0f))));
    Canvas a = *this, b(w, h);
    for (int pass = 0; pass < 3 && box > 0; ++pass) {
        boxPass(a, b, box, true, wrap);
        boxPass(b, a, box, false, wrap);
    }
    return a;
}

Canvas Canvas::resized(int width, int height) const {
    Canvas out(width, height);
    float sx = static_cast<float>(w) / width, sy = static_cast<float>(h) / height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (sx <= 1 && sy <= 1) {
                out.at(x, y) = sample((x + 0.5f) * sx, (y + 0.5f) * sy, false);
                continue;
            }
            int x0 = static_cast<int>(x * sx), x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sx));
            int y0 = static_cast<int>(y * sy), y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sy));
            Color sum{0, 0, 0, 0};
            for (int py = y0; py < y1 && py < h; ++py) {
                for (int px = x0; px < x1 && px < w; ++px) {
                    const Color& c = at(px, py);
                    sum = sum + Color{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
                }
            }
            float count = static_cast<float>((x1 - x0) * (y1 - y0));
            out.at(x, y) = sum.a > 1e-6f ? Color{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / count}
                                         : Color{0, 0, 0, 0};
        }
    }
    return out;
}

std::vector<uint8_t> Canvas::bytes(PixelFormat format) const {
    int channels = format == PixelFormat::Rgba ? 4 : 3;
    std::vector<uint8_t> out(pixels.size() * channels);
    auto byte = [](float v) {
        return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f));
    };
    size_t i = 0;
    for (const Color& c : pixels) {
        out[i++] = byte(c.r);
        out[i++] = byte(c.g);
        out[i++] = byte(c.b);
        if (channels == 4) {
            out[i++] = byte(c.a);
        }
    }
    return out;
}
