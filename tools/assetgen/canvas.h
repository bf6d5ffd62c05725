#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A straight (not premultiplied) RGBA colour with float channels in [0, 1].
struct Color {
    float r = 0, g = 0, b = 0, a = 1;

    Color operator+(const Color& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    Color operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
    // Scales the colour channels only.
    Color scaled(float s) const { return {r * s, g * s, b * s, a}; }
    Color withAlpha(float alpha) const { return {r, g, b, alpha}; }
};

Color mix(const Color& a, const Color& b, float t);
// above composited over below, both with straight alpha.
Color over(const Color& below, const Color& above);
// Colour from 0xRRGGBB.
Color rgb(uint32_t hex, float alpha = 1.0f);

// Whether a picture is stored with an alpha channel.
enum class PixelFormat { Rgb, Rgba };

// A tiny float RGBA image with the drawing helpers the asset families share.
// Row 0 is the top row of the picture, as in the PNG file.
class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Color fill = {0, 0, 0, 0});

    int width() const { return w; }
    int height() const { return h; }

    Color& at(int x, int y) { return pixels[static_cast<size_t>(y) * w + x]; }
    const Color& at(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }
    const Color& atWrapped(int x, int y) const;
    const Color& atClamped(int x, int y) const;

    // Bilinear sample at a position in pixel units (pixel centres at +0.5).
    Color sample(float px, float py, bool wrap) const;

    // Composites c over the pixel (straight alpha on both sides).
    void blend(int x, int y, const Color& c);
    // Composites src over this canvas with its top-left corner at (x, y).
    void draw(const Canvas& src, int x, int y);

    // Antialiased shapes; coordinates in pixel units, centres at +0.5.
    void fillDisc(float cx, float cy, float radius, const Color& c);
    void fillRect(int x, int y, int width, int height, const Color& c);
    void strokeLine(float x0, float y0, float x1, float y1, float width, const Color& c);
    // Fills a simple polygon, coverage estimated with 4 x 4 samples a pixel.
    void fillPolygon(const std::vector<float>& xy, const Color& c);

    // Separable blur of about the given radius (three box passes).
    Canvas blurred(float radius, bool wrap) const;
    // Area-averaged (downscale) or bilinear (upscale) resize.
    Canvas resized(int width, int height) const;

    // 8-bit channels, rows top first; with Rgb the alpha is dropped.
    std::vector<uint8_t> bytes(PixelFormat format) const;

private:
    int w = 0, h = 0;
    std::vector<Color> pixels;
};
