#include "tools/assetgen/md3reader.h"

#include "tools/assetgen/md3writer.h"

#include <cstring>
#include <stdexcept>

namespace {
constexpr size_t kHeaderSize = 108;
constexpr size_t kFrameSize = 56;
constexpr size_t kTagSize = 112;
constexpr size_t kNameSize = 64;
constexpr float kScale = 1.0f / 64;

class ByteReader {
public:
    explicit ByteReader(const std::vector<uint8_t>& bytes) : bytes(bytes) {}

    void need(size_t at, size_t size) const {
        if (at > bytes.size() || size > bytes.size() - at) {
            throw std::runtime_error("MD3 data ends early");
        }
    }
    int32_t i32(size_t at) const {
        need(at, 4);
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) {
            v = (v << 8) | bytes[at + i];
        }
        return static_cast<int32_t>(v);
    }
    int16_t i16(size_t at) const {
        need(at, 2);
        return static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8));
    }
    uint8_t u8(size_t at) const {
        need(at, 1);
        return bytes[at];
    }
    float f32(size_t at) const {
        uint32_t u = static_cast<uint32_t>(i32(at));
        float f;
        std::memcpy(&f, &u, 4);
        return f;
    }
    std::string text(size_t at, size_t size) const {
        need(at, size);
        const char* start = reinterpret_cast<const char*>(bytes.data() + at);
        return std::string(start, strnlen(start, size));
    }

private:
    const std::vector<uint8_t>& bytes; // not owned: the caller's buffer
};
} // namespace

std::vector<Md3Reader::Surface> Md3Reader::read(const std::vector<uint8_t>& bytes) {
    ByteReader in(bytes);
    if (in.text(0, 4) != "IDP3" || in.i32(4) != 15) {
        throw std::runtime_error("invalid MD3 header");
    }
    int32_t frames = in.i32(76), tags = in.i32(80), surfaces = in.i32(84);
    if (frames < 1 || tags < 0 || surfaces < 0) {
        throw std::runtime_error("invalid MD3 counts");
    }
    size_t at = kHeaderSize + frames * kFrameSize + static_cast<size_t>(frames) * tags * kTagSize;
    std::vector<Surface> out;
    for (int s = 0; s < surfaces; ++s) {
        Surface surface;
        surface.name = in.text(at + 4, kNameSize);
        int32_t surfaceFrames = in.i32(at + 72), vertices = in.i32(at + 80), triangles = in.i32(at + 84);
        if (surfaceFrames != frames || vertices < 0 || triangles < 0) {
            throw std::runtime_error("invalid MD3 surface counts");
        }
        size_t triangleAt = at + in.i32(at + 88), texAt = at + in.i32(at + 96),
               vertexAt = at + in.i32(at + 100);
        for (int t = 0; t < triangles; ++t) {
            uint32_t i0 = static_cast<uint32_t>(in.i32(triangleAt + 12 * t));
            uint32_t i1 = static_cast<uint32_t>(in.i32(triangleAt + 12 * t + 4));
            uint32_t i2 = static_cast<uint32_t>(in.i32(triangleAt + 12 * t + 8));
            if (i0 >= static_cast<uint32_t>(vertices) || i1 >= static_cast<uint32_t>(vertices) ||
                i2 >= static_cast<uint32_t>(vertices)) {
                throw std::runtime_error("MD3 triangle index out of range");
            }
            surface.triangles.push_back({i0, i2, i1});
        }
        for (int v = 0; v < vertices; ++v) {
            surface.texCoords.push_back({in.f32(texAt + 8 * v), in.f32(texAt + 8 * v + 4)});
        }
        for (int f = 0; f < frames; ++f) {
            std::vector<Vec3> positions, normals;
            for (int v = 0; v < vertices; ++v) {
                size_t record = vertexAt + 8 * (static_cast<size_t>(f) * vertices + v);
                positions.push_back(Vec3(in.i16(record), in.i16(record + 2), in.i16(record + 4)) * kScale);
                normals.push_back(normalize(Md3Writer::decodeNormal(in.u8(record + 6), in.u8(record + 7))));
            }
            surface.positions.push_back(std::move(positions));
            surface.normals.push_back(std::move(normals));
        }
        out.push_back(std::move(surface));
        int32_t end = in.i32(at + 104);
        if (end <= 0) {
            throw std::runtime_error("invalid MD3 surface end");
        }
        at += end;
    }
    return out;
}
