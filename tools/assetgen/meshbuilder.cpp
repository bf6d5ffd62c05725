#include "tools/assetgen/meshbuilder.h"

#include <cmath>
#include <map>
#include <tuple>

int MeshBuilder::vertex(const Vec3& position, Vec2 uv, int group) {
    positions.push_back(position);
    texCoords.push_back(uv);
    groups.push_back(group);
    return static_cast<int>(positions.size()) - 1;
}

void MeshBuilder::triangle(int a, int b, int c) {
    triangles.push_back({static_cast<uint32_t>(a), static_cast<uint32_t>(b), static_cast<uint32_t>(c)});
}

void MeshBuilder::quad(int a, int b, int c, int d) {
    triangle(a, b, c);
    triangle(a, c, d);
}

int MeshBuilder::lathe(const std::vector<Vec2>& profile, int segments, int group,
                       const std::function<Vec2(int ring, float around)>& uv) {
    int first = vertexCount();
    for (size_t ring = 0; ring < profile.size(); ++ring) {
        for (int s = 0; s <= segments; ++s) {
            float around = static_cast<float>(s) / segments;
            float angle = around * kTwoPi;
            Vec3 p(profile[ring].x * std::cos(angle), profile[ring].x * std::sin(angle), profile[ring].y);
            vertex(p, uv(static_cast<int>(ring), around), group);
        }
    }
    int stride = segments + 1;
    for (size_t ring = 0; ring + 1 < profile.size(); ++ring) {
        for (int s = 0; s < segments; ++s) {
            int a = first + static_cast<int>(ring) * stride + s;
            int d = a + stride;
            // A ring of radius 0 is a pole: one triangle instead of a quad.
            if (profile[ring].x <= 0) {
                triangle(a, d + 1, d);
            } else if (profile[ring + 1].x <= 0) {
                triangle(a, a + 1, d);
            } else {
                quad(a, a + 1, d + 1, d);
            }
        }
    }
    return first;
}

ModelSurface MeshBuilder::build(const std::string& name, const std::string& texture) const {
    return build(name, texture, 1, [](const Vec3& rest, int, int) { return rest; });
}

ModelSurface MeshBuilder::build(const std::string& name, const std::string& texture, int frames,
                                const Deform& deform) const {
    // Vertices that share a normal: same group, same rest position (to 1e-4).
    std::map<std::tuple<int, long, long, long>, int> keys;
    std::vector<int> keyOf(positions.size());
    auto grid = [](float v) {
        return std::lround(v * 1e4f);
    };
    for (size_t i = 0; i < positions.size(); ++i) {
        auto key =
            std::make_tuple(groups[i], grid(positions[i].x), grid(positions[i].y), grid(positions[i].z));
        auto found = keys.emplace(key, static_cast<int>(keys.size()));
        keyOf[i] = found.first->second;
    }

    ModelSurface surface;
    surface.name = name;
    surface.texture = texture;
    surface.texCoords = texCoords;
    surface.triangles = triangles;
    for (int f = 0; f < frames; ++f) {
        std::vector<ModelVertex> frame(positions.size());
        for (size_t i = 0; i < positions.size(); ++i) {
            frame[i].position = deform(positions[i], static_cast<int>(i), f);
        }
        std::vector<Vec3> sums(keys.size());
        for (const auto& t : triangles) {
            const Vec3& a = frame[t[0]].position;
            Vec3 n = cross(frame[t[1]].position - a, frame[t[2]].position - a);
            for (uint32_t index : t) {
                sums[keyOf[index]] += n;
            }
        }
        for (size_t i = 0; i < positions.size(); ++i) {
            Vec3 n = normalize(sums[keyOf[i]]);
            frame[i].normal = length(n) > 0 ? n : Vec3(0, 0, 1);
        }
        surface.frames.push_back(std::move(frame));
    }
    return surface;
}
