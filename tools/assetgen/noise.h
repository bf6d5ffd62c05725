#pragma once

#include "tools/assetgen/vec.h"

#include <array>
#include <cstdint>

class Random;

// Gradient and cellular noise. The 2D variants tile: with an integer period p
// the value at x equals the value at x + p, so textures built from them wrap
// without seams.
class Noise {
public:
    explicit Noise(Random& random);

    // Perlin noise in about [-1, 1] on a lattice that repeats every period
    // cells (1 ≤ period ≤ 256).
    float perlin2(float x, float y, int periodX, int periodY) const;
    // Sum of octaves over a tile of unit size: x, y in [0, 1) cover one tile;
    // the first octave has baseCells lattice cells across it.
    float fbm2(float x, float y, int baseCells, int octaves, float gain = 0.5f) const;

    float perlin3(const Vec3& p) const;
    float fbm3(const Vec3& p, int octaves, float gain = 0.5f) const;

    // Distances to the nearest and second nearest feature point of a cellular
    // pattern with cells × cells cells over the unit tile, in cell units.
    struct Cells {
        float nearest = 0, second = 0;
        uint32_t id = 0;
    };
    Cells cellular2(float x, float y, int cells) const;

private:
    int hash2(int x, int y) const { return perm[(perm[x & 255] + y) & 255]; }
    int hash3(int x, int y, int z) const { return perm[(perm[(perm[x & 255] + y) & 255] + z) & 255]; }

    std::array<uint8_t, 256> perm{};
    std::array<Vec3, 256> gradients{};
    std::array<Vec2, 256> jitter{};
};
