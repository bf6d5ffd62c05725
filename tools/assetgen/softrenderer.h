#pragma once

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/vec.h"

#include <array>
#include <cstdint>
#include <vector>

// A small z-buffered triangle rasteriser for the contact sheet: textured,
// optionally lit, with back faces culled as the game culls them
// (counter-clockwise = front).
class SoftRenderer {
public:
    SoftRenderer(int width, int height, const Color& background);

    void lookAt(const Vec3& eye, const Vec3& target, const Vec3& up);
    void perspective(float fovYDegrees);
    void orthographic(float halfHeight);
    // Direction towards the light, world space.
    void setLight(const Vec3& towardsLight) { light = normalize(towardsLight); }

    struct Vertex {
        Vec3 position; // world space
        Vec3 normal;
        Vec2 uv;
    };
    struct Material {
        const Canvas* texture = nullptr; // not owned; null draws white
        bool lit = true;
        bool cull = true;
        Color tint{1, 1, 1, 1};
        float gloss = 0; // strength of a white highlight
        // Second texture blended as result * (1 - overlayWeight) + overlay * overlayWeight
        // with its own coordinates (uv * overlayScale).
        const Canvas* overlay = nullptr; // not owned
        float overlayWeight = 0, overlayScale = 1;
    };
    void draw(const std::vector<Vertex>& vertices, const std::vector<std::array<uint32_t, 3>>& triangles,
              const Material& material);

    const Canvas& image() const { return color; }

private:
    struct Projected {
        float x, y, depth, invW;
        Vertex v;
    };
    Projected project(const Vertex& v) const;
    void raster(const Projected& a, const Projected& b, const Projected& c, const Material& material);
    Color shade(const Vertex& v, const Material& material) const;

    int w, h;
    Canvas color;
    std::vector<float> depth;
    Vec3 eye, right, up, forward;
    bool isPerspective = true;
    float focal = 1, halfHeight = 1;
    Vec3 light{0.4f, -0.5f, 0.75f};
    static constexpr float kNear = 0.05f;
};
