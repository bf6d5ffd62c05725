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
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
    uint8_t normalA = 0;
    uint8_t normalB = 0;
};

struct Surface {
    std::string name;
    int32_t frameCount = 1;
    int32_t shaderCount = 0;
    std::vector<std::array<int32_t, 3>> triangles;
    std::vector<std::array<float, 2>> texCoords; // one per vertex
    std::vector<Vertex> vertices;                // frame after frame
};

struct Model {
    int32_t frameCount = 1;
    int32_t tagCount = 0;
    std::vector<Surface> surfaces;
};

class Writer {
public:
    void int32(int32_t value) {
        uint32_t raw = 0;
        std::memcpy(&raw, &value, sizeof(raw));
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(raw >> (8 * i)));
        }
    }
    void int16(int16_t value) {
        uint16_t raw = 0;
        std::memcpy(&raw, &value, sizeof(raw));
        bytes.push_back(static_cast<uint8_t>(raw));
        bytes.push_back(static_cast<uint8_t>(raw >> 8));
    }
    void float32(float value) {
        int32_t raw = 0;
        std::memcpy(&raw, &value, sizeof(raw));
        int32(raw);
    }
    void byte(uint8_t value) { bytes.push_back(value); }
    // Zero-padded to size; a text of size characters keeps no terminating zero.
    void text(const std::string& value, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            bytes.push_back(i < value.size() ? static_cast<uint8_t>(value[i]) : 0);
        }
    }
    void zeros(size_t count) { bytes.insert(bytes.end(), count, 0); }

    std::vector<uint8_t> bytes;
};

inline size_t surfaceSize(const Surface& s) {
    return kSurfaceHeaderSize + s.shaderCount * kShaderSize + s.triangles.size() * 12 +
           s.texCoords.size() * 8 + s.vertices.size() * 8;
}

// Offset of the first surface header: after the header, frames and tags.
inline size_t firstSurfaceOffset(const Model& model) {
    return kHeaderSize + model.frameCount * kFrameSize + model.frameCount * model.tagCount * kTagSize;
}

inline std::vector<uint8_t> encode(const Model& model) {
    Writer out;
    size_t surfacesSize = 0;
    for (const Surface& s : model.surfaces) {
        surfacesSize += surfaceSize(s);
    }
    const size_t surfacesAt = firstSurfaceOffset(model);
    out.text("IDP3", 4);
    out.int32(15);
    out.text("test model", kNameSize);
    out.int32(0);
    out.int32(model.frameCount);
    out.int32(model.tagCount);
    out.int32(static_cast<int32_t>(model.surfaces.size()));
    out.int32(0);
    out.int32(static_cast<int32_t>(kHeaderSize));
    out.int32(static_cast<int32_t>(kHeaderSize + model.frameCount * kFrameSize));
    out.int32(static_cast<int32_t>(surfacesAt));
    out.int32(static_cast<int32_t>(surfacesAt + surfacesSize));
    out.zeros(model.frameCount * kFrameSize + model.frameCount * model.tagCount * kTagSize);
    for (const Surface& s : model.surfaces) {
        const int32_t vertexCount = static_cast<int32_t>(s.texCoords.size());
        const size_t trianglesAt = kSurfaceHeaderSize + s.shaderCount * kShaderSize;
        const size_t texCoordsAt = trianglesAt + s.triangles.size() * 12;
        const size_t verticesAt = texCoordsAt + s.texCoords.size() * 8;
        out.text("IDP3", 4);
        out.text(s.name, kNameSize);
        out.int32(0);
        out.int32(s.frameCount);
        out.int32(s.shaderCount);
        out.int32(vertexCount);
        out.int32(static_cast<int32_t>(s.triangles.size()));
        out.int32(static_cast<int32_t>(trianglesAt));
        out.int32(static_cast<int32_t>(kSurfaceHeaderSize));
        out.int32(static_cast<int32_t>(texCoordsAt));
        out.int32(static_cast<int32_t>(verticesAt));
        out.int32(static_cast<int32_t>(surfaceSize(s)));
        for (int32_t i = 0; i < s.shaderCount; ++i) {
            out.text("shader", kNameSize);
            out.int32(i);
        }
        for (const auto& t : s.triangles) {
            out.int32(t[0]);
            out.int32(t[1]);
            out.int32(t[2]);
        }
        for (const auto& st : s.texCoords) {
            out.float32(st[0]);
            out.float32(st[1]);
        }
        for (const Vertex& v : s.vertices) {
            out.int16(v.x);
            out.int16(v.y);
            out.int16(v.z);
            out.byte(v.normalA);
            out.byte(v.normalB);
        }
    }
    return out.bytes;
}

// A unit square of four vertices and two triangles; frame f shifts it by f in
// y, so that every decoded frame is told apart.
inline Surface quad(const std::string& name, int32_t frameCount) {
    Surface s;
    s.name = name;
    s.frameCount = frameCount;
    s.shaderCount = 1;
    s.triangles = {{0, 1, 2}, {0, 2, 3}};
    s.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int32_t f = 0; f < frameCount; ++f) {
        constexpr int16_t kUnit = 64;
        constexpr int16_t corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (const auto& corner : corners) {
            s.vertices.push_back({static_cast<int16_t>(corner[0] * kUnit),
                                  static_cast<int16_t>((corner[1] + f) * kUnit), 0, 0, 0});
        }
    }
    return s;
}

// Two quads "body" and "head" over three frames, with one tag.
inline Model sample() {
    Model model;
    model.frameCount = 3;
    model.tagCount = 1;
    model.surfaces = {quad("body", 3), quad("head", 3)};
    return model;
}

// Both replace the file by a new one: rewriting a file in place makes ext4
// flush it to disk, which slows a test writing thousands of them to a crawl.
inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::remove(path.c_str());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::string& path, const std::string& text) {
    std::remove(path.c_str());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

} // namespace Md3Files
