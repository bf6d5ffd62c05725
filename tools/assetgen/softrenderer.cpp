#include "tools/assetgen/softrenderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

SoftRenderer::SoftRenderer(int width, int height, const Color& background)
    : w(width), h(height), color(width, height, background),
      depth(static_cast<size_t>(width) * height, std::numeric_limits<float>::max()) {
    lookAt({0, -1, 0}, {0, 0, 0}, {0, 0, 1});
}

void SoftRenderer::lookAt(const Vec3& from, const Vec3& target, const Vec3& upHint) {
    eye = from;
    forward = normalize(target - from);
    right = normalize(cross(forward, upHint));
    up = cross(right, forward);
}

void SoftRenderer::perspective(float fovYDegrees) {
    isPerspective = true;
    focal = 1.0f / std::tan(fovYDegrees * kPi / 360.0f);
}

void SoftRenderer::orthographic(float half) {
    isPerspective = false;
    halfHeight = half;
}

SoftRenderer::Projected SoftRenderer::project(const Vertex& v) const {
    Vec3 d = v.position - eye;
    float x = dot(d, right), y = dot(d, up), z = dot(d, forward);
    Projected p;
    p.v = v;
    p.depth = z;
    if (isPerspective) {
        p.invW = 1.0f / z;
        p.x = w * 0.5f + x * p.invW * focal * h * 0.5f;
        p.y = h * 0.5f - y * p.invW * focal * h * 0.5f;
    } else {
        p.invW = 1;
        p.x = w * 0.5f + x / halfHeight * h * 0.5f;
        p.y = h * 0.5f - y / halfHeight * h * 0.5f;
    }
    return p;
}

void SoftRenderer::draw(const std::vector<Vertex>& vertices,
                        const std::vector<std::array<uint32_t, 3>>& triangles, const Material& material) {
    for (const auto& t : triangles) {
        Vertex corners[3] = {vertices[t[0]], vertices[t[1]], vertices[t[2]]};
        // Clip against the near plane (in front of the eye) before projecting.
        std::vector<Vertex> polygon;
        for (int i = 0; i < 3; ++i) {
            const Vertex& a = corners[i];
            const Vertex& b = corners[(i + 1) % 3];
            float da = dot(a.position - eye, forward) - kNear, db = dot(b.position - eye, forward) - kNear;
            if (!isPerspective) {
                da = db = 1;
            }
            if (da >= 0) {
                polygon.push_back(a);
            }
            if ((da >= 0) != (db >= 0)) {
                float s = da / (da - db);
                Vertex m;
                m.position = a.position + (b.position - a.position) * s;
                m.normal = a.normal + (b.normal - a.normal) * s;
                m.uv = {lerp(a.uv.x, b.uv.x, s), lerp(a.uv.y, b.uv.y, s)};
                polygon.push_back(m);
            }
        }
        for (size_t i = 1; i + 1 < polygon.size(); ++i) {
            raster(project(polygon[0]), project(polygon[i]), project(polygon[i + 1]), material);
        }
    }
}

Color SoftRenderer::shade(const Vertex& v, const Material& material) const {
    Color base{1, 1, 1, 1};
    if (material.texture != nullptr) {
        const Canvas& t = *material.texture;
        base = t.sample(v.uv.x * t.width(), (1 - v.uv.y) * t.height(), true);
    }
    if (material.overlay != nullptr) {
        const Canvas& o = *material.overlay;
        Color c = o.sample(v.uv.x * material.overlayScale * o.width(),
                           (1 - v.uv.y * material.overlayScale) * o.height(), true);
        base = mix(base, c, material.overlayWeight);
    }
    base = Color{base.r * material.tint.r, base.g * material.tint.g, base.b * material.tint.b, 1};
    if (!material.lit) {
        return base;
    }
    Vec3 n = normalize(v.normal);
    float diffuse = std::max(0.0f, dot(n, light));
    Vec3 view = normalize(eye - v.position);
    Vec3 halfway = normalize(light + view);
    float specular = material.gloss * std::pow(std::max(0.0f, dot(n, halfway)), 40.0f);
    float lighting = 0.38f + 0.72f * diffuse;
    return Color{base.r * lighting + specular, base.g * lighting + specular, base.b * lighting + specular, 1};
}

void SoftRenderer::raster(const Projected& a, const Projected& b, const Projected& c,
                          const Material& material) {
    float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    // Screen y runs down, so a counter-clockwise (front) face has negative area.
    if (area == 0 || (material.cull && area > 0)) {
        return;
    }
    int minX = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    int maxX = std::min(w - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    int minY = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    int maxY = std::min(h - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float wa = ((b.x - px) * (c.y - py) - (c.x - px) * (b.y - py)) / area;
            float wb = ((c.x - px) * (a.y - py) - (a.x - px) * (c.y - py)) / area;
            float wc = 1 - wa - wb;
            // A little slack closes the cracks that rounding leaves between
            // triangles sharing an edge.
            constexpr float kSlack = -1e-4f;
            if (wa < kSlack || wb < kSlack || wc < kSlack) {
                continue;
            }
            float z = wa * a.depth + wb * b.depth + wc * c.depth;
            if (isPerspective) {
                z = 1.0f / (wa * a.invW + wb * b.invW + wc * c.invW);
            }
            float& stored = depth[static_cast<size_t>(y) * w + x];
            if (z >= stored) {
                continue;
            }
            stored = z;
            // Perspective-correct weights.
            float pa = wa * a.invW, pb = wb * b.invW, pc = wc * c.invW;
            float sum = pa + pb + pc;
            pa /= sum;
            pb /= sum;
            pc /= sum;
            Vertex v;
            v.position = a.v.position * pa + b.v.position * pb + c.v.position * pc;
            v.normal = a.v.normal * pa + b.v.normal * pb + c.v.normal * pc;
            v.uv = {a.v.uv.x * pa + b.v.uv.x * pb + c.v.uv.x * pc,
                    a.v.uv.y * pa + b.v.uv.y * pb + c.v.uv.y * pc};
            color.at(x, y) = shade(v, material);
        }
    }
}
