#pragma once

#include "tools/assetgen/vec.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Reads MD3 bytes back the way the game's loader does (positions / 64, the
// loader's normal table, every triangle reversed), so that the contact sheet
// shows exactly what the game will draw.
class Md3Reader {
public:
    struct Surface {
        std::string name;
        std::vector<Vec2> texCoords;
        std::vector<std::array<uint32_t, 3>> triangles;    // as the loader builds them
        std::vector<std::vector<Vec3>> positions, normals; // [frame][vertex]
    };

    // Throws std::runtime_error when the bytes are not a well-formed MD3.
    static std::vector<Surface> read(const std::vector<uint8_t>& bytes);
};
