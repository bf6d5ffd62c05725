#include "tools/assetgen/basin.h"

#include "scene/basinlayout.h"
#include "tools/assetgen/assetset.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kSize = 1024;
constexpr int kFieldsSize = 512;
constexpr int kBoardFields = 9;
constexpr float kBoardUnits = 64;
constexpr float kWallDepth = 5;
// Texture coordinates of the game's basin quads: the floor spans
// kFloorLow..kFloorHigh in u and v; the walls run out to kWallLow and
// kWallHigh at the water line.
constexpr float kFloorLow = kBasinBoardLow;
constexpr float kFloorHigh = kBasinBoardHigh;
constexpr float kWallLow = kBasinRimLow;
constexpr float kWallHigh = kBasinRimHigh;
// Wall mosaic tiles in world units: 48 along a wall and 4 rows up it, so the
// rows meet the corners and the water line on whole tiles.
constexpr float kMosaicWidth = kBoardUnits / 48;
constexpr float kMosaicHeight = 1.25f;

class BasinPainter {
public:
    BasinPainter() : random("basin"), noise(random) {}

    // Stone of the floor at board position (x, y) in world units.
    Color floor(float x, float y) const {
        float field = kBoardUnits / kBoardFields;
        int i = std::clamp(static_cast<int>(x / field), 0, kBoardFields - 1);
        int j = std::clamp(static_cast<int>(y / field), 0, kBoardFields - 1);
        float fx = x / field - i, fy = y / field - j;

        bool light = (i + j) % 2 == 0;
        // Far apart in brightness: under the water's fog, caustics and
        // reflection the checker must still read at a glance.
        Color base = light ? rgb(0xf6eedc) : rgb(0x34403f);
        // Each slab is cut from a different part of the stone.
        float u = x / kBoardUnits + (i * 0.37f + j * 0.11f), v = y / kBoardUnits + (j * 0.29f + i * 0.07f);
        float cloud = noise.fbm2(u, v, 8, 5);
        float vein = std::abs(noise.fbm2(u * 0.7f + 0.3f * cloud, v * 0.7f, 4, 4));
        Color stone = base.scaled(0.92f + 0.16f * cloud);
        stone = mix(stone, base.scaled(0.8f), 0.35f * (1 - smoothstep(0.0f, 0.02f, vein)));
        float grain = noise.fbm2(x / kBoardUnits, y / kBoardUnits, 128, 2);
        stone = stone.scaled(1 + 0.05f * grain);

        // Grout between slabs, and a bevel lit from the upper left (y grows
        // upwards on the board).
        float left = fx, right = 1 - fx, bottom = fy, top = 1 - fy;
        float edge = std::min(std::min(left, right), std::min(bottom, top));
        constexpr float kGrout = 0.035f, kBevel = 0.06f;
        if (edge < kGrout) {
            return rgb(0x161a19).scaled(0.9f + 0.2f * cloud);
        }
        float shade = (edge == left || edge == top) ? 1.12f : 0.82f;
        stone = stone.scaled(lerp(shade, 1.0f, clamp01((edge - kGrout) / kBevel)));
        return stone;
    }

    // Mosaic of the wall at position `along` (world units along the wall) and
    // height z (−5 at the floor, 0 at the water line).
    Color wall(float along, float z) const {
        float tx = along / kMosaicWidth, tz = (z + kWallDepth) / kMosaicHeight;
        int ix = static_cast<int>(std::floor(tx)), iz = static_cast<int>(std::floor(tz));
        float fx = tx - ix, fz = tz - iz;
        Random tile(static_cast<uint64_t>((ix + 1000) * 7919 + iz * 104729));
        Color blues[] = {rgb(0x1f6f8b), rgb(0x2a8fa8), rgb(0x17586f), rgb(0x3aa3b5), rgb(0x226f9a)};
        Color c = blues[tile.below(5)].scaled(tile.range(0.9f, 1.08f));
        // A darker band of tiles just under the water line.
        if (z > -kMosaicHeight) {
            c = rgb(0x0e3a57).scaled(tile.range(0.9f, 1.1f));
        }
        float glaze = noise.fbm2(along / kBoardUnits, z / kBoardUnits + 0.5f, 32, 3);
        c = c.scaled(1 + 0.08f * glaze);
        float edge = std::min(std::min(fx, 1 - fx), std::min(fz, 1 - fz));
        if (edge < 0.08f) {
            return rgb(0xb8c4c2).scaled(0.8f + 0.1f * glaze);
        }
        // Glazed tiles catch a highlight along their upper edge.
        c = c.scaled(1 + 0.25f * (1 - smoothstep(0.08f, 0.25f, 1 - fz)));
        // The foot of the wall lies in the shade of the floor corner.
        return c.scaled(0.65f + 0.35f * smoothstep(-kWallDepth, -kWallDepth + 2.0f, z));
    }

    // Shade cast on the floor by the walls near the edges of the basin.
    static float floorOcclusion(float x, float y) {
        float d = std::min(std::min(x, kBoardUnits - x), std::min(y, kBoardUnits - y));
        return 0.7f + 0.3f * smoothstep(0.0f, 3.0f, d);
    }

    // Coping stone outside the walls; the basin never shows it but mipmaps
    // blend into it at the water line.
    Color coping(float u, float v) const {
        float n = noise.fbm2(u, v, 16, 4);
        return rgb(0x8c8577).scaled(0.9f + 0.15f * n);
    }

private:
    Random random;
    Noise noise;
};

Canvas paintBasin() {
    BasinPainter painter;
    Canvas image(kSize, kSize);
    float floorSpan = kFloorHigh - kFloorLow;
    for (int py = 0; py < kSize; ++py) {
        for (int px = 0; px < kSize; ++px) {
            // Picture rows run from the top, texture v from the bottom.
            float u = (px + 0.5f) / kSize, v = 1 - (py + 0.5f) / kSize;
            bool inU = u >= kFloorLow && u <= kFloorHigh, inV = v >= kFloorLow && v <= kFloorHigh;
            float bx = (u - kFloorLow) / floorSpan * kBoardUnits,
                  by = (v - kFloorLow) / floorSpan * kBoardUnits;
            Color c;
            if (inU && inV) {
                c = painter.floor(bx, by).scaled(BasinPainter::floorOcclusion(bx, by));
            } else if (inU && v < kFloorLow && v >= kWallLow) {
                c = painter.wall(bx, -kWallDepth * (v - kWallLow) / (kFloorLow - kWallLow));
            } else if (inU && v > kFloorHigh && v <= kWallHigh) {
                c = painter.wall(bx, -kWallDepth * (kWallHigh - v) / (kWallHigh - kFloorHigh));
            } else if (inV && u > kFloorHigh && u <= kWallHigh) {
                c = painter.wall(by, -kWallDepth * (kWallHigh - u) / (kWallHigh - kFloorHigh));
            } else if (inV && u < kFloorLow && u >= kWallLow) {
                c = painter.wall(by, -kWallDepth * (u - kWallLow) / (kFloorLow - kWallLow));
            } else {
                c = painter.coping(u, v);
            }
            image.at(px, py) = c.withAlpha(1);
        }
    }
    return image;
}

Canvas paintFields() {
    Canvas image(kFieldsSize, kFieldsSize);
    float cell = static_cast<float>(kFieldsSize) / kBoardFields;
    for (int py = 0; py < kFieldsSize; ++py) {
        for (int px = 0; px < kFieldsSize; ++px) {
            float x = (px + 0.5f) / cell, y = (py + 0.5f) / cell;
            float fx = x - std::floor(x), fy = y - std::floor(y);
            float edge = std::min(std::min(fx, 1 - fx), std::min(fy, 1 - fy)) * cell;
            float line = 1 - smoothstep(1.0f, 2.5f, edge);
            float glow = 0.12f * (1 - smoothstep(2.5f, 10.0f, edge));
            image.at(px, py) = rgb(0xf4f0e0, clamp01(line + glow));
        }
    }
    return image;
}
} // namespace

void makeBasinTextures(AssetSet& out) {
    out.addTexture("textures/table/table-01-c.png", paintBasin(), PixelFormat::Rgb);
    out.addTexture("textures/table/table-fields.png", paintFields(), PixelFormat::Rgba);
}
