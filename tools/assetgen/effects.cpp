#include "tools/assetgen/effects.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/random.h"

#include <cmath>
#include <string>

namespace {
constexpr int kFogSize = 256;
constexpr int kFlareSize = 64;
constexpr int kSelectionSize = 128;
constexpr int kSelectionFrames = 10;

Canvas paintFog() {
    Random random("fog");
    Noise noise(random);
    Canvas image(kFogSize, kFogSize);
    for (int y = 0; y < kFogSize; ++y) {
        for (int x = 0; x < kFogSize; ++x) {
            float u = (x + 0.5f) / kFogSize, v = (y + 0.5f) / kFogSize;
            // Domain warping turns round blobs into drifting wisps.
            float wx = noise.fbm2(u + 0.31f, v, 3, 3), wy = noise.fbm2(u, v + 0.57f, 3, 3);
            float wu = u + 0.06f * wx, wv = v + 0.06f * wy;
            float cloud = noise.fbm2(wu - std::floor(wu), wv - std::floor(wv), 3, 4, 0.45f);
            float density = smoothstep(-0.45f, 0.55f, cloud);
            image.at(x, y) = mix(rgb(0x161c26), rgb(0xc4d2e2), density);
        }
    }
    return image;
}

Canvas paintFlare() {
    Canvas image(kFlareSize, kFlareSize);
    float half = kFlareSize * 0.5f;
    for (int y = 0; y < kFlareSize; ++y) {
        for (int x = 0; x < kFlareSize; ++x) {
            float r = std::hypot(x + 0.5f - half, y + 0.5f - half) / half;
            float core = 0.62f * std::exp(-r * r / 0.03f);
            float glow = 0.33f * std::exp(-r * r / 0.1f);
            float halo = 0.12f * std::exp(-r * r / 0.35f);
            // Black at the border so that the quad's edges never show.
            float fade = 1 - smoothstep(0.75f, 1.0f, r);
            Color c = rgb(0xffffff).scaled(core) + rgb(0xd8f0ff).scaled(glow) + rgb(0x9fd0ff).scaled(halo);
            image.at(x, y) = c.scaled(fade).withAlpha(1);
        }
    }
    return image;
}

// Frame f of the marker: a steady ring, three arcs that turn a third of a
// circle over the ten frames (so the loop closes) and four pulsing ticks.
Canvas paintSelection(int frame) {
    Canvas image(kSelectionSize, kSelectionSize);
    float half = kSelectionSize * 0.5f;
    float phase = static_cast<float>(frame) / kSelectionFrames;
    float turn = phase * kTwoPi / 3;
    float pulse = 0.5f + 0.5f * std::cos(phase * kTwoPi);
    for (int y = 0; y < kSelectionSize; ++y) {
        for (int x = 0; x < kSelectionSize; ++x) {
            float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
            float r = std::hypot(dx, dy);
            float angle = std::atan2(dy, dx);
            float pixel = 1.0f / half;

            float ring = clamp01(1 - std::abs(r - 0.6f) / (0.025f + pixel));
            float ringGlow = 0.35f * std::exp(-std::pow((r - 0.6f) / 0.08f, 2.0f));

            float arcAngle = std::fmod(angle - turn + 4 * kTwoPi, kTwoPi / 3) / (kTwoPi / 3);
            float arcMask = smoothstep(0.0f, 0.04f, arcAngle) * (1 - smoothstep(0.5f, 0.54f, arcAngle));
            float arc = arcMask * clamp01(1 - std::abs(r - 0.74f) / (0.035f + pixel));

            float tickAngle = std::fmod(angle + kTwoPi / 8 + 4 * kTwoPi, kTwoPi / 4) - kTwoPi / 8;
            float tick = clamp01(1 - std::abs(tickAngle) * r / (0.035f + pixel)) *
                         smoothstep(0.82f, 0.85f, r) * (1 - smoothstep(0.92f, 0.95f, r));
            float inner = 0.12f * (1 - smoothstep(0.0f, 0.58f, r));

            float v = ring + ringGlow + 0.9f * arc + (0.35f + 0.65f * pulse) * tick + inner;
            // Black border: the texture repeats and is drawn additively.
            v *= 1 - smoothstep(0.96f, 1.0f, std::max(std::abs(dx), std::abs(dy)));
            image.at(x, y) = Color{v, v, v, 1};
        }
    }
    return image;
}
} // namespace

void makeEffectTextures(AssetSet& out) {
    out.addTexture("textures/table/fog1.png", paintFog(), PixelFormat::Rgb);
    out.addTexture("textures/table/flare.png", paintFlare(), PixelFormat::Rgb);
    for (int f = 0; f < kSelectionFrames; ++f) {
        out.addTexture("textures/table/selection000" + std::to_string(f) + ".png", paintSelection(f),
                       PixelFormat::Rgb);
    }
}
