#include "tools/assetgen/md3writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {
constexpr int32_t kVersion = 15;
constexpr int kHeaderSize = 108;
constexpr int kFrameSize = 56;
constexpr int kSurfaceHeaderSize = 108;
constexpr int kShaderSize = 68;
constexpr int kNameSize = 64;
constexpr int kFrameNameSize = 16;
constexpr float kScale = 64.0f;
constexpr float kLoaderPi = 3.1415f;
constexpr float kAngleStep = 2 * kLoaderPi / 255;

class ByteWriter {
public:
    void i32(int32_t v) {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>((u >> (8 * i)) & 255));
        }
    }
    void i16(int16_t v) {
        uint16_t u = static_cast<uint16_t>(v);
        bytes.push_back(static_cast<uint8_t>(u & 255));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    void u8(uint8_t v) { bytes.push_back(v); }
    void tag(const char* t) { bytes.insert(bytes.end(), t, t + 4); }
    void f32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        i32(static_cast<int32_t>(u));
    }
    void text(const std::string& s, size_t size) {
        if (s.size() >= size) {
            throw std::runtime_error("MD3 name too long: " + s);
        }
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.insert(bytes.end(), size - s.size(), 0);
    }
    std::vector<uint8_t> bytes;
};

int16_t quantise(float v, const std::string& model) {
    float scaled = std::round(v * kScale);
    if (scaled < -32768.0f || scaled > 32767.0f) {
        throw std::runtime_error("vertex out of the MD3 range in " + model);
    }
    return static_cast<int16_t>(scaled);
}

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string directory(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}
} // namespace

Vec3 Md3Writer::decodeNormal(uint8_t b6, uint8_t b7) {
    float alpha = b6 * 2 * kLoaderPi / 255, beta = b7 * 2 * kLoaderPi / 255;
    return {std::cos(beta) * std::sin(alpha), std::sin(beta) * std::sin(alpha), std::cos(alpha)};
}

void Md3Writer::encodeNormal(const Vec3& n, uint8_t& b6, uint8_t& b7) {
    Vec3 unit = normalize(n);
    float alpha = std::acos(std::clamp(unit.z, -1.0f, 1.0f));
    float beta = std::atan2(unit.y, unit.x);
    if (beta < 0) {
        beta += kTwoPi;
    }
    int a = static_cast<int>(std::lround(alpha / kAngleStep));
    int b = static_cast<int>(std::lround(beta / kAngleStep));
    // The step is slightly off 2 pi / 255, so the rounded guess can miss the
    // best table entry by one; search the neighbours.
    float best = -2;
    for (int da = -1; da <= 1; ++da) {
        for (int db = -1; db <= 1; ++db) {
            int ca = std::clamp(a + da, 0, 255);
            int cb = ((b + db) % 256 + 256) % 256;
            float score = dot(decodeNormal(static_cast<uint8_t>(ca), static_cast<uint8_t>(cb)), unit);
            if (score > best) {
                best = score;
                b6 = static_cast<uint8_t>(ca);
                b7 = static_cast<uint8_t>(cb);
            }
        }
    }
}

std::vector<uint8_t> Md3Writer::encode(const Model& model) {
    int frames = model.frameCount();
    if (frames <= 0) {
        throw std::runtime_error("model without frames: " + model.path);
    }
    ByteWriter out;
    int surfacesOffset = kHeaderSize + frames * kFrameSize;

    std::vector<std::vector<uint8_t>> surfaces;
    for (const ModelSurface& s : model.surfaces) {
        if (static_cast<int>(s.frames.size()) != frames) {
            throw std::runtime_error("surface " + s.name + " has a different frame count in " + model.path);
        }
        int vertices = static_cast<int>(s.texCoords.size());
        int triangles = static_cast<int>(s.triangles.size());
        int trianglesOffset = kSurfaceHeaderSize + kShaderSize;
        int texCoordsOffset = trianglesOffset + 12 * triangles;
        int verticesOffset = texCoordsOffset + 8 * vertices;
        int endOffset = verticesOffset + 8 * vertices * frames;

        ByteWriter w;
        w.tag("IDP3");
        w.text(s.name, kNameSize);
        w.i32(0);
        w.i32(frames);
        w.i32(1);
        w.i32(vertices);
        w.i32(triangles);
        w.i32(trianglesOffset);
        w.i32(kSurfaceHeaderSize);
        w.i32(texCoordsOffset);
        w.i32(verticesOffset);
        w.i32(endOffset);
        w.text(s.texture, kNameSize);
        w.i32(0);
        for (const auto& t : s.triangles) {
            for (uint32_t index : t) {
                if (index >= static_cast<uint32_t>(vertices)) {
                    throw std::runtime_error("triangle index out of range in " + model.path);
                }
            }
            // The loader reverses every triangle, (i0, i1, i2) -> (i0, i2, i1);
            // store them reversed so that they come out counter-clockwise.
            w.i32(static_cast<int32_t>(t[0]));
            w.i32(static_cast<int32_t>(t[2]));
            w.i32(static_cast<int32_t>(t[1]));
        }
        for (const Vec2& uv : s.texCoords) {
            w.f32(uv.x);
            w.f32(uv.y);
        }
        for (const auto& frame : s.frames) {
            if (static_cast<int>(frame.size()) != vertices) {
                throw std::runtime_error("frame vertex count differs in " + model.path);
            }
            for (const ModelVertex& v : frame) {
                w.i16(quantise(v.position.x, model.path));
                w.i16(quantise(v.position.y, model.path));
                w.i16(quantise(v.position.z, model.path));
                uint8_t b6 = 0, b7 = 0;
                encodeNormal(v.normal, b6, b7);
                w.u8(b6);
                w.u8(b7);
            }
        }
        surfaces.push_back(std::move(w.bytes));
    }

    size_t total = surfacesOffset;
    for (const auto& s : surfaces) {
        total += s.size();
    }

    out.tag("IDP3");
    out.i32(kVersion);
    out.text(model.path + ".md3", kNameSize);
    out.i32(0);
    out.i32(frames);
    out.i32(0);
    out.i32(static_cast<int32_t>(model.surfaces.size()));
    out.i32(0);
    out.i32(kHeaderSize);
    out.i32(surfacesOffset);
    out.i32(surfacesOffset);
    out.i32(static_cast<int32_t>(total));

    for (int f = 0; f < frames; ++f) {
        Vec3 low(1e9f, 1e9f, 1e9f), high(-1e9f, -1e9f, -1e9f);
        for (const ModelSurface& s : model.surfaces) {
            for (const ModelVertex& v : s.frames[f]) {
                low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y),
                       std::min(low.z, v.position.z)};
                high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y),
                        std::max(high.z, v.position.z)};
            }
        }
        float radius = std::max(length(low), length(high));
        for (float v : {low.x, low.y, low.z, high.x, high.y, high.z, 0.0f, 0.0f, 0.0f, radius}) {
            out.f32(v);
        }
        out.text("frame" + std::to_string(f), kFrameNameSize);
    }
    for (const auto& s : surfaces) {
        out.bytes.insert(out.bytes.end(), s.begin(), s.end());
    }
    return out.bytes;
}

std::string Md3Writer::animationConfig(const Model& model) {
    int frames = model.frameCount();
    return "// " + baseName(model.path) + ": first frame, frame count, looping frames, frames per second\n" +
           "0 " + std::to_string(frames) + " " + std::to_string(frames) + " " +
           std::to_string(model.framesPerSecond) + "\n";
}

std::string Md3Writer::skin(const Model& model) {
    std::string text;
    for (const ModelSurface& s : model.surfaces) {
        text += s.name + "," + directory(model.path) + "/" + s.texture + "\n";
    }
    return text;
}
