#pragma once

#include "tools/assetgen/model.h"

#include <functional>
#include <string>
#include <vector>

// Collects the vertices and triangles of one surface in its rest pose and
// turns them into a ModelSurface with any number of deformed frames.
class MeshBuilder {
public:
    // Vertices of the same smoothing group at the same rest position share one
    // averaged normal; different groups meet at a crease.
    int vertex(const Vec3& position, Vec2 uv, int group);
    // Counter-clockwise as seen from the visible side.
    void triangle(int a, int b, int c);
    void quad(int a, int b, int c, int d);

    // A surface of revolution around the z axis: rings (radius, z) from the
    // first profile point to the last, segments around. Faces point away from
    // the axis when the profile runs upwards. uv(ring, segment fraction 0..1)
    // gives the texture coordinates; the seam is duplicated so that they can
    // wrap. Returns the index of the first vertex.
    int lathe(const std::vector<Vec2>& profile, int segments, int group,
              const std::function<Vec2(int ring, float around)>& uv);

    int vertexCount() const { return static_cast<int>(positions.size()); }
    int triangleCount() const { return static_cast<int>(triangles.size()); }
    const Vec3& position(int i) const { return positions[i]; }

    // Rest pose moved by deform(rest position, vertex index, frame) for every
    // frame; normals are recomputed from each deformed frame.
    using Deform = std::function<Vec3(const Vec3& rest, int vertex, int frame)>;
    ModelSurface build(const std::string& name, const std::string& texture, int frames,
                       const Deform& deform) const;
    ModelSurface build(const std::string& name, const std::string& texture) const;

private:
    std::vector<Vec3> positions;
    std::vector<Vec2> texCoords;
    std::vector<int> groups;
    std::vector<std::array<uint32_t, 3>> triangles;
};
