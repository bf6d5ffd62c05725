#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

// Small MD3 models for loader tests, encoded byte by byte.
namespace Md3Files {

constexpr size_t kHeaderSize = 108;
constexpr size_t kFrameSize = 56;
constexpr size_t kTagSize = 112;
constexpr size_t kSurfaceHeaderSize = 108;
constexpr size_t kShaderSize = 68;
constexpr size_t kNameSize = 64;

struct Vertex {
    int16_t x = 0, y = 0, z = 0;
    uint8_t normalA = 0, normalB = 0;
};

struct Surface {
    std::string name;
    int32_t frameCount = 1;
    std::vector<std::array<int32_t, 3>> triangles;
    std::vector<std::array<float, 2>> texCoords; // one per vertex
    std::vector<Vertex> vertices;                // frame after frame
};

struct Model {
    int32_t frameCount = 1;
    int32_t tagCount = 0;
    std::vector<Surface> surfaces;
};

inline size_t surfaceSize(const Surface& s) {
    return kSurfaceHeaderSize + kShaderSize + s.triangles.size() * 12 + s.texCoords.size() * 8 +
           s.vertices.size() * 8;
}

// After the header, frames and tags.
inline size_t firstSurfaceOffset(const Model& model) {
    return kHeaderSize + model.frameCount * (kFrameSize + model.tagCount * kTagSize);
}

inline std::vector<uint8_t> encode(const Model& model) {
    std::vector<uint8_t> out;
    // Little-endian values; a text is zero-padded to its field and keeps no
    // terminating zero when it fills it.
    const auto integer = [&out](int64_t value, int size = 4) {
        for (int i = 0; i < size; ++i) {
            out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
        }
    };
    const auto text = [&out](std::string value, size_t size) {
        value.resize(size);
        out.insert(out.end(), value.begin(), value.end());
    };
    size_t end = firstSurfaceOffset(model);
    for (const Surface& s : model.surfaces) {
        end += surfaceSize(s);
    }
    text("IDP3", 4);
    integer(15);
    text("test model", kNameSize);
    for (const size_t value :
         {size_t{0}, size_t(model.frameCount), size_t(model.tagCount), model.surfaces.size(), size_t{0},
          kHeaderSize, kHeaderSize + model.frameCount * kFrameSize, firstSurfaceOffset(model), end}) {
        integer(static_cast<int64_t>(value));
    }
    out.resize(firstSurfaceOffset(model));
    for (const Surface& s : model.surfaces) {
        const size_t trianglesAt = kSurfaceHeaderSize + kShaderSize;
        const size_t texCoordsAt = trianglesAt + s.triangles.size() * 12;
        text("IDP3", 4);
        text(s.name, kNameSize);
        for (const size_t value :
             {size_t{0}, size_t(s.frameCount), size_t{1}, s.texCoords.size(), s.triangles.size(), trianglesAt,
              kSurfaceHeaderSize, texCoordsAt, texCoordsAt + s.texCoords.size() * 8, surfaceSize(s)}) {
            integer(static_cast<int64_t>(value));
        }
        text("shader", kNameSize);
        integer(0);
        for (const auto& t : s.triangles) {
            for (const int32_t corner : t) {
                integer(corner);
            }
        }
        for (const auto& [u, v] : s.texCoords) {
            for (const float coordinate : {u, v}) {
                uint32_t raw = 0;
                std::memcpy(&raw, &coordinate, sizeof(raw));
                integer(raw);
            }
        }
        for (const Vertex& v : s.vertices) {
            for (const int16_t coordinate : {v.x, v.y, v.z}) {
                integer(coordinate, 2);
            }
            out.insert(out.end(), {v.normalA, v.normalB});
        }
    }
    return out;
}

// A unit square of four vertices and two triangles; frame f shifts it by f in
// y, so that every decoded frame is told apart.
inline Surface quad(const std::string& name, int32_t frameCount) {
    constexpr int16_t kUnit = 64;
    Surface s;
    s.name = name;
    s.frameCount = frameCount;
    s.triangles = {{0, 1, 2}, {0, 2, 3}};
    s.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int16_t f = 0; f < frameCount; ++f) {
        for (const auto& [x, y] : s.texCoords) {
            s.vertices.push_back(
                {static_cast<int16_t>(x * kUnit), static_cast<int16_t>((y + f) * kUnit), 0, 0, 0});
        }
    }
    return s;
}

// Two quads "body" and "head" over three frames, with one tag.
inline Model sample() {
    return Model{3, 1, {quad("body", 3), quad("head", 3)}};
}

// Replaces the file by a new one: rewriting a file in place makes ext4 flush
// it to disk, which slows a test writing thousands of them to a crawl.
template <class Bytes>
void writeFile(const std::string& path, const Bytes& bytes) {
    std::remove(path.c_str());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace Md3Files
