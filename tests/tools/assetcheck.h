#pragma once

// Independent readers for the generated asset files, written from the file
// formats rather than from the generator's code, so that the tests check the
// files and not the generator's own idea of them.

#include <png.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace assetcheck {

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::string readText(const std::string& path) {
    std::vector<uint8_t> bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// ------------------------------------------------------------------ PNG

struct Png {
    bool ok = false;
    std::string error;
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    // Pixels as RGBA, top row first.
    std::vector<uint8_t> rgba;

    const uint8_t* pixel(uint32_t x, uint32_t y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
    uint8_t alpha(uint32_t x, uint32_t y) const { return pixel(x, y)[3]; }
    float luminance(uint32_t x, uint32_t y) const {
        const uint8_t* p = pixel(x, y);
        return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
    }
};

namespace detail {
struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

// Owns the libpng read and info structures.
struct PngRead {
    PngRead() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
    }
    ~PngRead() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
    PngRead(const PngRead&) = delete;
    PngRead& operator=(const PngRead&) = delete;
    png_structp png = nullptr;
    png_infop info = nullptr;
};

// libpng leaves by longjmp on errors; nothing here needs unwinding.
inline bool readHeader(png_structp png, png_infop info, FILE* file, png_uint_32* w, png_uint_32* h,
                       int* depth, int* color, int* interlace) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_get_IHDR(png, info, w, h, depth, color, interlace, nullptr, nullptr);
    return true;
}

inline bool readRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}
} // namespace detail

inline Png readPng(const std::string& path) {
    Png out;
    std::unique_ptr<FILE, detail::FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        out.error = "cannot open " + path;
        return out;
    }
    unsigned char signature[8];
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        out.error = "not a PNG file: " + path;
        return out;
    }
    detail::PngRead reader;
    if (reader.png == nullptr || reader.info == nullptr) {
        out.error = "libpng could not start";
        return out;
    }
    png_set_sig_bytes(reader.png, 8);
    png_uint_32 w = 0, h = 0;
    if (!detail::readHeader(reader.png, reader.info, file.get(), &w, &h, &out.bitDepth, &out.colorType,
                            &out.interlace)) {
        out.error = "bad PNG header: " + path;
        return out;
    }
    out.width = w;
    out.height = h;
    if (out.bitDepth != 8 ||
        (out.colorType != PNG_COLOR_TYPE_RGB && out.colorType != PNG_COLOR_TYPE_RGB_ALPHA) ||
        out.interlace != PNG_INTERLACE_NONE) {
        out.error = "not 8-bit RGB or RGBA without interlacing: " + path;
        return out;
    }
    int channels = out.colorType == PNG_COLOR_TYPE_RGB ? 3 : 4;
    std::vector<uint8_t> raw(static_cast<size_t>(w) * h * channels);
    std::vector<png_bytep> rows(h);
    for (png_uint_32 y = 0; y < h; ++y) {
        rows[y] = raw.data() + static_cast<size_t>(y) * w * channels;
    }
    if (!detail::readRows(reader.png, reader.info, rows.data())) {
        out.error = "corrupt PNG data: " + path;
        return out;
    }
    out.rgba.resize(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        for (int c = 0; c < 3; ++c) {
            out.rgba[i * 4 + c] = raw[i * channels + c];
        }
        out.rgba[i * 4 + 3] = channels == 4 ? raw[i * 4 + 3] : 255;
    }
    out.ok = true;
    return out;
}

inline bool isPowerOfTwo(uint32_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

// ------------------------------------------------------------------ MD3

inline int32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
                                (static_cast<uint32_t>(b[at + 2]) << 16) |
                                (static_cast<uint32_t>(b[at + 3]) << 24));
}

inline int16_t le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int16_t>(b[at] | (b[at + 1] << 8));
}

struct Md3Surface {
    std::string name;
    int frames = 0;
    // Vertices of every frame: x, y, z in model units and the decoded normal.
    std::vector<std::vector<std::array<float, 6>>> vertices;
    // As the game's loader builds them from the file: (i0, i2, i1).
    std::vector<std::array<int32_t, 3>> triangles;
    std::vector<std::array<float, 2>> texCoords;
};

struct Md3 {
    bool ok = false;
    std::string error;
    int frames = 0;
    std::vector<Md3Surface> surfaces;
};

inline std::array<float, 3> loaderNormal(uint8_t b6, uint8_t b7) {
    float alpha = b6 * 2 * 3.1415f / 255, beta = b7 * 2 * 3.1415f / 255;
    return {std::cos(beta) * std::sin(alpha), std::sin(beta) * std::sin(alpha), std::cos(alpha)};
}

inline Md3 readMd3(const std::vector<uint8_t>& b) {
    constexpr size_t kHeader = 108, kFrame = 56, kTag = 112, kSurfaceHeader = 108, kShader = 68;
    Md3 out;
    auto fail = [&out](const std::string& why) {
        out.error = why;
        return out;
    };
    if (b.size() < kHeader || std::memcmp(b.data(), "IDP3", 4) != 0 || le32(b, 4) != 15) {
        return fail("header is not IDP3 version 15");
    }
    int32_t frames = le32(b, 76), tags = le32(b, 80), surfaces = le32(b, 84);
    int32_t ofsFrames = le32(b, 92), ofsTags = le32(b, 96), ofsSurfaces = le32(b, 100), ofsEnd = le32(b, 104);
    if (frames < 1 || tags < 0 || surfaces < 1) {
        return fail("bad counts");
    }
    if (ofsEnd != static_cast<int32_t>(b.size())) {
        return fail("end offset is not the file size");
    }
    // The loader ignores the offsets and reads frames, tags and surfaces one
    // after the other, so they must also lie exactly there.
    if (ofsFrames != static_cast<int32_t>(kHeader) ||
        ofsTags != ofsFrames + frames * static_cast<int32_t>(kFrame) ||
        ofsSurfaces != ofsTags + frames * tags * static_cast<int32_t>(kTag)) {
        return fail("frame, tag or surface offset out of place");
    }
    out.frames = frames;
    size_t at = static_cast<size_t>(ofsSurfaces);
    for (int s = 0; s < surfaces; ++s) {
        if (at + kSurfaceHeader > b.size()) {
            return fail("surface header beyond the end");
        }
        Md3Surface surface;
        surface.name = std::string(reinterpret_cast<const char*>(&b[at + 4]),
                                   strnlen(reinterpret_cast<const char*>(&b[at + 4]), 64));
        int32_t sFrames = le32(b, at + 72), shaders = le32(b, at + 76), verts = le32(b, at + 80),
                tris = le32(b, at + 84);
        int32_t ofsTris = le32(b, at + 88), ofsShaders = le32(b, at + 92), ofsSt = le32(b, at + 96),
                ofsXyz = le32(b, at + 100), ofsSurfaceEnd = le32(b, at + 104);
        if (sFrames != frames || shaders < 0 || verts < 1 || tris < 1) {
            return fail("bad surface counts in " + surface.name);
        }
        auto inside = [&](int64_t offset, int64_t size) {
            return offset >= static_cast<int64_t>(kSurfaceHeader) && offset + size <= ofsSurfaceEnd &&
                   at + ofsSurfaceEnd <= b.size();
        };
        if (ofsShaders != static_cast<int32_t>(kSurfaceHeader) ||
            !inside(ofsShaders, int64_t(shaders) * kShader) || !inside(ofsTris, int64_t(tris) * 12) ||
            !inside(ofsSt, int64_t(verts) * 8) || !inside(ofsXyz, int64_t(verts) * frames * 8)) {
            return fail("surface offset out of range in " + surface.name);
        }
        surface.frames = frames;
        for (int t = 0; t < tris; ++t) {
            int32_t i0 = le32(b, at + ofsTris + 12 * t), i1 = le32(b, at + ofsTris + 12 * t + 4),
                    i2 = le32(b, at + ofsTris + 12 * t + 8);
            for (int32_t i : {i0, i1, i2}) {
                if (i < 0 || i >= verts) {
                    return fail("triangle index out of range in " + surface.name);
                }
            }
            surface.triangles.push_back({i0, i2, i1});
        }
        for (int v = 0; v < verts; ++v) {
            float st[2];
            std::memcpy(st, &b[at + ofsSt + 8 * v], 8);
            surface.texCoords.push_back({st[0], st[1]});
        }
        for (int f = 0; f < frames; ++f) {
            std::vector<std::array<float, 6>> frame;
            for (int v = 0; v < verts; ++v) {
                size_t r = at + ofsXyz + 8 * (static_cast<size_t>(f) * verts + v);
                std::array<float, 3> n = loaderNormal(b[r + 6], b[r + 7]);
                frame.push_back(
                    {le16(b, r) / 64.0f, le16(b, r + 2) / 64.0f, le16(b, r + 4) / 64.0f, n[0], n[1], n[2]});
            }
            surface.vertices.push_back(std::move(frame));
        }
        out.surfaces.push_back(std::move(surface));
        at += ofsSurfaceEnd;
    }
    if (at != b.size()) {
        return fail("surfaces do not end at the end of the file");
    }
    out.ok = true;
    return out;
}

// ------------------------------------------------------------------ WAV

struct Wav {
    bool ok = false;
    std::string error;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

inline Wav readWav(const std::vector<uint8_t>& b) {
    Wav out;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) {
        out.error = "not RIFF WAVE";
        return out;
    }
    if (static_cast<size_t>(le32(b, 4)) + 8 != b.size()) {
        out.error = "RIFF size does not match the file";
        return out;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string id(reinterpret_cast<const char*>(&b[at]), 4);
        size_t size = static_cast<uint32_t>(le32(b, at + 4));
        if (at + 8 + size > b.size()) {
            out.error = "chunk " + id + " beyond the end";
            return out;
        }
        if (id == "fmt " && size >= 16) {
            out.format = le16(b, at + 8);
            out.channels = le16(b, at + 10);
            out.rate = le32(b, at + 12);
            out.bits = le16(b, at + 22);
            haveFormat = true;
        } else if (id == "data" && haveFormat && out.bits == 16) {
            for (size_t i = 0; i + 1 < size; i += 2) {
                out.samples.push_back(le16(b, at + 8 + i));
            }
        }
        at += 8 + size + (size & 1);
    }
    out.ok = haveFormat && !out.samples.empty();
    if (!out.ok) {
        out.error = "no format or no 16-bit data";
    }
    return out;
}

} // namespace assetcheck
