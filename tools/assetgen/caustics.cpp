#include "tools/assetgen/caustics.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/random.h"
#include "tools/assetgen/vec.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {
constexpr int kSize = 256;
constexpr int kFrames = 16;
// Photons per texel along each axis.
constexpr int kPhotonsPerTexel = 4;
constexpr int kWaves = 11;
constexpr int kJitterSize = 64;

// A wave with an integer number of crests across the tile (so the surface
// tiles) and an integer number of periods per loop (so frame 16 + 1 = frame 1).
struct Wave {
    int nx, ny;
    int periodsPerLoop;
    float amplitude, phase;
};

std::vector<Wave> makeWaves(Random& random) {
    std::vector<Wave> waves;
    while (static_cast<int>(waves.size()) < kWaves) {
        int nx = random.below(11) - 5, ny = random.below(11) - 5;
        float n = std::hypot(float(nx), float(ny));
        if (n < 2.5f || n > 5.5f) {
            continue;
        }
        bool duplicate = false;
        for (const Wave& w : waves) {
            duplicate = duplicate || (w.nx == nx && w.ny == ny) || (w.nx == -nx && w.ny == -ny);
        }
        if (duplicate) {
            continue;
        }
        Wave w;
        w.nx = nx;
        w.ny = ny;
        // One period per loop: at the game's 10 frames a second a crest moves
        // a sixteenth of its length per frame, which reads as smooth motion.
        w.periodsPerLoop = 1;
        w.amplitude = random.range(0.7f, 1.0f) / std::pow(n, 1.6f);
        w.phase = random.range(0, kTwoPi);
        waves.push_back(w);
    }
    return waves;
}

// Photon density of one frame: every photon starts on a regular grid over
// the tile and lands displaced along the surface slope, as light refracted by
// a gently curved surface does; focusing folds make the bright network.
std::vector<float> density(const std::vector<Wave>& waves, const std::vector<Vec2>& jitter, float time,
                           float focus) {
    constexpr int kPhotons = kSize * kPhotonsPerTexel;
    std::vector<float> grid(kSize * kSize, 0.0f);
    // sin(a + b) = sin a cos b + cos a sin b: per-axis tables make each wave a
    // few multiplications per photon.
    struct Axis {
        std::vector<float> c, s;
    };
    std::vector<Axis> along(waves.size()), across(waves.size());
    for (size_t k = 0; k < waves.size(); ++k) {
        along[k].c.resize(kPhotons);
        along[k].s.resize(kPhotons);
        across[k].c.resize(kPhotons);
        across[k].s.resize(kPhotons);
        float temporal = waves[k].phase - kTwoPi * waves[k].periodsPerLoop * time;
        for (int i = 0; i < kPhotons; ++i) {
            float t = (i + 0.5f) / kPhotons;
            along[k].c[i] = std::cos(kTwoPi * waves[k].nx * t);
            along[k].s[i] = std::sin(kTwoPi * waves[k].nx * t);
            across[k].c[i] = std::cos(kTwoPi * waves[k].ny * t + temporal);
            across[k].s[i] = std::sin(kTwoPi * waves[k].ny * t + temporal);
        }
    }
    for (int j = 0; j < kPhotons; ++j) {
        for (int i = 0; i < kPhotons; ++i) {
            float gx = 0, gy = 0;
            for (size_t k = 0; k < waves.size(); ++k) {
                float c = along[k].c[i] * across[k].c[j] - along[k].s[i] * across[k].s[j];
                float slope = waves[k].amplitude * c;
                gx += slope * waves[k].nx;
                gy += slope * waves[k].ny;
            }
            // The same jitter in every frame keeps the pattern steady in time
            // while breaking up the moire of a regular photon grid.
            const Vec2& offset = jitter[(j % kJitterSize) * kJitterSize + i % kJitterSize];
            float x = ((i + 0.5f + offset.x) / kPhotons + focus * gx) * kSize - 0.5f;
            float y = ((j + 0.5f + offset.y) / kPhotons + focus * gy) * kSize - 0.5f;
            float fx = std::floor(x), fy = std::floor(y);
            float tx = x - fx, ty = y - fy;
            int x0 = static_cast<int>(fx) & (kSize - 1), y0 = static_cast<int>(fy) & (kSize - 1);
            int x1 = (x0 + 1) & (kSize - 1), y1 = (y0 + 1) & (kSize - 1);
            grid[y0 * kSize + x0] += (1 - tx) * (1 - ty);
            grid[y0 * kSize + x1] += tx * (1 - ty);
            grid[y1 * kSize + x0] += (1 - tx) * ty;
            grid[y1 * kSize + x1] += tx * ty;
        }
    }
    float norm = 1.0f / (kPhotonsPerTexel * kPhotonsPerTexel);
    for (float& v : grid) {
        v *= norm;
    }
    return grid;
}
} // namespace

void makeCaustics(AssetSet& out) {
    Random random("caustics");
    std::vector<Wave> waves = makeWaves(random);
    std::vector<Vec2> jitter(kJitterSize * kJitterSize);
    for (Vec2& j : jitter) {
        j = {random.range(-0.5f, 0.5f), random.range(-0.5f, 0.5f)};
    }
    // Distance from surface to floor in slope units: enough for the light to
    // cross its focus and fold into sharp lines.
    constexpr float kFocus = 0.034f;
    const Color kDark = rgb(0x0b1e2a), kLight = rgb(0xe8fbff);
    for (int f = 0; f < kFrames; ++f) {
        std::vector<float> d = density(waves, jitter, static_cast<float>(f) / kFrames, kFocus);
        Canvas image(kSize, kSize);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                // Soft-clipped brightness: dim where light spreads, saturating
                // white where it focuses.
                float rho = d[y * kSize + x];
                float v = 1.0f - std::exp(-0.45f * std::pow(rho, 2.2f));
                image.at(x, y) = mix(kDark, kLight, v);
            }
        }
        out.addTexture("textures/caustic/caustic" + std::to_string(f + 1) + ".png", image.blurred(0.6f, true),
                       PixelFormat::Rgb);
    }
}
