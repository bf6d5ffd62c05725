#include "tools/assetgen/menuart.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/fontrasteriser.h"
#include "tools/assetgen/mask.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kCursorSize = 32;
// Where the game puts the mouse position inside the picture.
constexpr float kHotspotX = 4, kHotspotY = 7;
constexpr int kLogoWidth = 512, kLogoHeight = 128;
constexpr const char* kLogoText = "Sporrik";

Mask polygonMask(int w, int h, const std::vector<float>& xy) {
    Canvas canvas(w, h);
    canvas.fillPolygon(xy, Color{1, 1, 1, 1});
    Mask mask(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            mask.at(x, y) = canvas.at(x, y).a;
        }
    }
    return mask;
}

Canvas paintCursor() {
    // A classic arrow, 13 x 20 pixels, tip on the hotspot.
    const float arrow[] = {0, 0, 0, 19, 4.6f, 14.8f, 7.6f, 21.6f, 10.6f, 20.3f, 7.6f, 13.6f, 13.6f, 13.6f};
    std::vector<float> xy;
    for (size_t i = 0; i < std::size(arrow); i += 2) {
        xy.push_back(kHotspotX + arrow[i]);
        xy.push_back(kHotspotY + arrow[i + 1]);
    }
    Mask fill = polygonMask(kCursorSize, kCursorSize, xy);
    Mask outline = fill.dilated(1.2f);
    Mask shadow = outline.blurred(1.5f).shifted(2, 2);

    Canvas image(kCursorSize, kCursorSize, rgb(0x03121c, 0.0f));
    for (int y = 0; y < kCursorSize; ++y) {
        for (int x = 0; x < kCursorSize; ++x) {
            Color pixel = rgb(0x03121c, 0.0f);
            pixel = over(pixel, rgb(0x000000, 0.5f * shadow.at(x, y)));
            pixel = over(pixel, rgb(0x03121c, outline.at(x, y)));
            // White at the tip, turning to aqua towards the tail.
            float t = clamp01((y - kHotspotY) / 20.0f + (x - kHotspotX) / 40.0f);
            pixel = over(pixel, mix(rgb(0xffffff), rgb(0x6fd6f0), t).withAlpha(fill.at(x, y)));
            image.at(x, y) = pixel;
        }
    }
    return image;
}

Canvas paintLogo(const std::string& fontFile) {
    FontRasteriser font(fontFile);
    // Sized so that the word and its outline fill the picture with a margin.
    constexpr float kTargetWidth = 440, kMaxSize = 110;
    font.setSize(100);
    float size = std::min(kMaxSize, 100 * kTargetWidth / font.textWidth(kLogoText));
    font.setSize(size);
    float width = font.textWidth(kLogoText);
    Mask text(kLogoWidth, kLogoHeight);
    float baseline = kLogoHeight * 0.5f + size * 0.36f;
    font.drawText(text, kLogoText, (kLogoWidth - width) / 2, baseline);

    Mask outline = text.dilated(5.0f);
    Mask inner = text.dilated(2.0f);
    Mask shadow = outline.blurred(4.0f).shifted(3, 5);
    Mask glow = outline.dilated(2.0f).blurred(7.0f);
    int x0, y0, x1, y1;
    text.bounds(0.5f, x0, y0, x1, y1);
    float top = static_cast<float>(y0), bottom = static_cast<float>(y1);

    Canvas image(kLogoWidth, kLogoHeight, rgb(0x041a2e, 0.0f));
    for (int y = 0; y < kLogoHeight; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            Color pixel = rgb(0x041a2e, 0.0f);
            pixel = over(pixel, rgb(0x4fd2ff, 0.45f * glow.at(x, y)));
            pixel = over(pixel, rgb(0x000000, 0.55f * shadow.at(x, y)));
            pixel = over(pixel, rgb(0x041a2e, outline.at(x, y)));
            pixel = over(pixel, rgb(0x9be8ff, inner.at(x, y)));
            // Letters filled with water: a wavy surface line, pale glass above
            // it, deepening blue below.
            float t = clamp01((y + 0.5f - top) / (bottom - top));
            float wave = 0.42f + 0.05f * std::sin(x * 0.045f) + 0.02f * std::sin(x * 0.13f + 1.3f);
            Color above = mix(rgb(0xf4fdff), rgb(0xbfeeff), t / wave);
            Color below = mix(rgb(0x35c4f0), rgb(0x0a4f9a), clamp01((t - wave) / (1 - wave)));
            Color water = t < wave ? above : below;
            float line = std::exp(-std::pow((t - wave) * (bottom - top) / 1.6f, 2.0f));
            water = mix(water, rgb(0xffffff), 0.8f * line);
            pixel = over(pixel, water.withAlpha(text.at(x, y)));
            image.at(x, y) = pixel;
        }
    }
    // The picture repeats when drawn: keep its border empty.
    for (int y = 0; y < kLogoHeight; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            if (x < 2 || y < 2 || x >= kLogoWidth - 2 || y >= kLogoHeight - 2) {
                image.at(x, y).a = 0;
            }
        }
    }
    return image;
}
} // namespace

void makeMenuArt(AssetSet& out, const std::string& logoFont) {
    out.addTexture("textures/cursor/cursor1.png", paintCursor(), PixelFormat::Rgba);
    out.addTexture("textures/menu/spr2-logo.png", paintLogo(logoFont), PixelFormat::Rgba);
}
