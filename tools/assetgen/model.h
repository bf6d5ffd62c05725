#pragma once

#include "tools/assetgen/vec.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct ModelVertex {
    Vec3 position;
    Vec3 normal;
};

// One textured part of a model with all its animation frames.
struct ModelSurface {
    std::string name;
    // File name of the skin texture, which lies in the model's directory.
    std::string texture;
    // One per vertex; t grows towards the top of the picture.
    std::vector<Vec2> texCoords;
    // Counter-clockwise as seen from the side on which the face is visible.
    std::vector<std::array<uint32_t, 3>> triangles;
    // frames[f][v]: every frame holds every vertex.
    std::vector<std::vector<ModelVertex>> frames;
};

struct Model {
    // Relative to the asset directory, without extension: "models/sporlet/spr-slime".
    std::string path;
    std::vector<ModelSurface> surfaces;
    int framesPerSecond = 1;

    int frameCount() const { return surfaces.empty() ? 0 : static_cast<int>(surfaces.front().frames.size()); }
    size_t triangleCount() const {
        size_t n = 0;
        for (const auto& s : surfaces) {
            n += s.triangles.size();
        }
        return n;
    }
};
