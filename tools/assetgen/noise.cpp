#include "tools/assetgen/noise.h"

#include "tools/assetgen/random.h"

#include <algorithm>
#include <cmath>

namespace {
float fade(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

int wrap(int value, int period) {
    int r = value % period;
    return r < 0 ? r + period : r;
}
} // namespace

Noise::Noise(Random& random) {
    for (int i = 0; i < 256; ++i) {
        perm[i] = static_cast<uint8_t>(i);
    }
    for (int i = 255; i > 0; --i) {
        std::swap(perm[i], perm[random.below(i + 1)]);
    }
    for (auto& gradient : gradients) {
        // Uniform directions on the sphere; the 2D noise uses their x, y.
        float z = random.range(-1, 1);
        float angle = random.range(0, kTwoPi);
        float r = std::sqrt(1 - z * z);
        gradient = {r * std::cos(angle), r * std::sin(angle), z};
    }
    for (auto& point : jitter) {
        point = {random.uniform(), random.uniform()};
    }
}

float Noise::perlin2(float x, float y, int periodX, int periodY) const {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    auto corner = [&](int dx, int dy) {
        const Vec3& g = gradients[hash2(wrap(ix + dx, periodX), wrap(iy + dy, periodY))];
        // The 2D gradient is the projection of a 3D direction; scaling by 1.5
        // brings the typical range back to about [-1, 1].
        return 1.5f * (g.x * (tx - dx) + g.y * (ty - dy));
    };
    float u = fade(tx), v = fade(ty);
    return lerp(lerp(corner(0, 0), corner(1, 0), u), lerp(corner(0, 1), corner(1, 1), u), v);
}

float Noise::fbm2(float x, float y, int baseCells, int octaves, float gain) const {
    float sum = 0, amplitude = 1, norm = 0;
    int cells = baseCells;
    for (int o = 0; o < octaves && cells <= 256; ++o) {
        sum += amplitude * perlin2(x * cells, y * cells, cells, cells);
        norm += amplitude;
        amplitude *= gain;
        cells *= 2;
    }
    return sum / norm;
}

float Noise::perlin3(const Vec3& p) const {
    float fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
    float tx = p.x - fx, ty = p.y - fy, tz = p.z - fz;
    auto corner = [&](int dx, int dy, int dz) {
        const Vec3& g = gradients[hash3(ix + dx, iy + dy, iz + dz)];
        return g.x * (tx - dx) + g.y * (ty - dy) + g.z * (tz - dz);
    };
    float u = fade(tx), v = fade(ty), w = fade(tz);
    float low = lerp(lerp(corner(0, 0, 0), corner(1, 0, 0), u), lerp(corner(0, 1, 0), corner(1, 1, 0), u), v);
    float high =
        lerp(lerp(corner(0, 0, 1), corner(1, 0, 1), u), lerp(corner(0, 1, 1), corner(1, 1, 1), u), v);
    return 1.8f * lerp(low, high, w);
}

float Noise::fbm3(const Vec3& p, int octaves, float gain) const {
    float sum = 0, amplitude = 1, norm = 0, scale = 1;
    for (int o = 0; o < octaves; ++o) {
        // Each octave is shifted so that lattice points of octaves do not line up.
        Vec3 q = p * scale + Vec3(o * 17.3f, o * 31.7f, o * 7.1f);
        sum += amplitude * perlin3(q);
        norm += amplitude;
        amplitude *= gain;
        scale *= 2.03f;
    }
    return sum / norm;
}

Noise::Cells Noise::cellular2(float x, float y, int cells) const {
    float px = x * cells, py = y * cells;
    int cx = static_cast<int>(std::floor(px)), cy = static_cast<int>(std::floor(py));
    Cells result;
    result.nearest = result.second = 1e9f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int h = hash2(wrap(cx + dx, cells), wrap(cy + dy, cells));
            float fx = cx + dx + jitter[h].x - px;
            float fy = cy + dy + jitter[h].y - py;
            float d = std::sqrt(fx * fx + fy * fy);
            if (d < result.nearest) {
                result.second = result.nearest;
                result.nearest = d;
                result.id = static_cast<uint32_t>(h);
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}
