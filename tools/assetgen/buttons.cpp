#include "tools/assetgen/buttons.h"

#include "tools/assetgen/assetset.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {
// Every piece is drawn 64 pixels high, the caps 64 pixels wide.
constexpr int kPiece = 64;
// The glass pill: its vertical extent and the radius of its round ends. The
// first and last two rows stay empty: the texture repeats vertically.
constexpr float kTop = 5, kBottom = 55;
constexpr float kRadius = (kBottom - kTop) / 2;
// The end starts 6 pixels in: the glow and shadow fade out before the
// outermost column, which the repeating texture blends with the opposite one.
constexpr float kEndCentre = 6 + kRadius;
constexpr int kEmptyRows = 2;

struct ButtonLook {
    const char* suffix;
    Color top, bottom; // body gradient
    Color rim;
    Color glow; // around the pill, alpha 0 for none
    float gloss;
    float shadowOffset;
};

const ButtonLook kLooks[] = {
    {"n", rgb(0x2a6e93, 0.9f), rgb(0x0a2540, 0.92f), rgb(0x8fd8ff), rgb(0x000000, 0.0f), 0.42f, 3},
    {"mo", rgb(0x3a8db5, 0.92f), rgb(0x0f3556, 0.94f), rgb(0xffd27a), rgb(0xffb347, 0.55f), 0.5f, 3},
    {"d", rgb(0x0b2a45, 0.95f), rgb(0x1f5f82, 0.95f), rgb(0xffa040), rgb(0xff8a20, 0.35f), 0.18f, 1},
};

// Signed distance to the pill outline for a pixel of the left cap; columns at
// or right of the end's centre all give the same values, which is what makes
// the caps join the middle piece without a seam.
float pillDistance(float x, float y, float inset = 0) {
    float dx = std::max(0.0f, kEndCentre - x);
    float dy = y - (kTop + kBottom) / 2;
    return std::hypot(dx, dy) - (kRadius - inset);
}

float coverage(float distance) {
    return clamp01(0.5f - distance);
}

Color shadeLeftCap(const ButtonLook& look, float x, float y) {
    Color pixel{0, 0, 0, 0};
    float shadow = coverage(pillDistance(x, y - look.shadowOffset) / 2.5f - 0.3f);
    pixel = over(pixel, rgb(0x000000, 0.45f * shadow));
    if (look.glow.a > 0) {
        float d = pillDistance(x, y);
        float glow = std::exp(-std::max(0.0f, d) / 1.6f) * (1 - smoothstep(2.5f, 4.5f, d));
        pixel = over(pixel, look.glow.withAlpha(look.glow.a * glow));
    }
    float d = pillDistance(x, y);
    float t = clamp01((y - kTop) / (kBottom - kTop));
    pixel = over(pixel, rgb(0x041019, 0.95f * coverage(d)));
    Color body = mix(look.top, look.bottom, t);
    pixel = over(pixel, body.withAlpha(body.a * coverage(d + 1.5f)));
    // A thin bright rim just inside the dark border.
    float rim = coverage(d + 1.5f) * (1 - coverage(d + 3.0f));
    pixel = over(pixel, look.rim.withAlpha(0.75f * rim * (0.55f + 0.45f * (1 - t))));
    // Gloss on the upper half, fading downwards.
    float glossCover = coverage(pillDistance(x, y, 4.5f)) * (1 - smoothstep(0.35f, 0.5f, t));
    pixel = over(pixel, rgb(0xffffff, look.gloss * glossCover * (1 - 0.8f * t / 0.5f)));
    // Light scattered up from the bottom of the glass.
    float bounce = coverage(pillDistance(x, y, 3.0f)) * smoothstep(0.7f, 0.95f, t);
    pixel = over(pixel, look.rim.withAlpha(0.18f * bounce));
    return pixel;
}

Canvas paintLeftCap(const ButtonLook& look) {
    Canvas image(kPiece, kPiece, rgb(0x041019, 0.0f));
    for (int y = kEmptyRows; y < kPiece - kEmptyRows; ++y) {
        for (int x = 0; x < kPiece; ++x) {
            Color c = shadeLeftCap(look, x + 0.5f, y + 0.5f);
            if (c.a > 0) {
                image.at(x, y) = c;
            }
        }
    }
    return image;
}
} // namespace

void makeButtonTextures(AssetSet& out) {
    for (const ButtonLook& look : kLooks) {
        Canvas left = paintLeftCap(look);
        Canvas middle(kPiece, kPiece), right(kPiece, kPiece);
        for (int y = 0; y < kPiece; ++y) {
            for (int x = 0; x < kPiece; ++x) {
                middle.at(x, y) = left.at(kPiece - 1, y);
                right.at(x, y) = left.at(kPiece - 1 - x, y);
            }
        }
        std::string suffix = std::string("_") + look.suffix + ".png";
        out.addTexture("textures/buttons/btn1a" + suffix, left, PixelFormat::Rgba);
        out.addTexture("textures/buttons/btn1b" + suffix, middle, PixelFormat::Rgba);
        out.addTexture("textures/buttons/btn1c" + suffix, right, PixelFormat::Rgba);
    }
}
