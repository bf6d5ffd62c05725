#pragma once

#include "tools/assetgen/model.h"

#include <cstdint>
#include <string>
#include <vector>

// Turns a Model into the three files the game's model loader reads: the MD3
// geometry, the .cfg animation list and the .skin texture list.
class Md3Writer {
public:
    // Vertex coordinates are stored as int16 in 1/64 units, so a model must
    // stay within about ±511 units; throws std::runtime_error otherwise.
    static std::vector<uint8_t> encode(const Model& model);
    // One range covering all frames, looping, at the model's frame rate.
    static std::string animationConfig(const Model& model);
    // "surface,directory/texture" lines, each ending with a line break.
    static std::string skin(const Model& model);

    // The loader's two encoding bytes for a unit normal, chosen to decode as
    // close to n as the loader's table allows.
    static void encodeNormal(const Vec3& n, uint8_t& b6, uint8_t& b7);
    // The loader's decoding, with its 3.1415 for pi.
    static Vec3 decodeNormal(uint8_t b6, uint8_t b7);
};
