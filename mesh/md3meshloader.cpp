#include "mesh/md3meshloader.h"

#include <GL/glew.h>

#include "base/log.h"
#include "base/tools.h"
#include "mesh/animatedmesh.h"
#include "mesh/meshgroup.h"
#include "resources/image.h"
#include "resources/material.h"
#include "resources/texture.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

struct MD3MeshLoader::Surface {
    struct Vertex {
        int16_t x = 0;
        int16_t y = 0;
        int16_t z = 0;
        uint8_t normalA = 0; // latitude byte, row of the normal table
        uint8_t normalB = 0; // longitude byte, column of the normal table
    };

    std::string name;
    int32_t frameCount = 0;
    int32_t vertexCount = 0;
    std::vector<int32_t> triangles; // three vertex indices per triangle
    std::vector<vec2> texCoords;
    std::vector<Vertex> vertices; // frame after frame, vertexCount each
};

namespace {

constexpr const char* kSource = "global";
constexpr const char* kMd3Error = "an error occured reading the MD3 file";
constexpr const char* kSideFilesError = "an error occured reading the animations and skin files";

// The normal table's angle step uses this value of pi.
constexpr float kTablePi = 3.1415f;
constexpr float kNormalTableDivisor = 255.0f;
constexpr float kVertexScale = 1.0f / 64.0f;

constexpr char kIdentifier[4] = {'I', 'D', 'P', '3'};
constexpr int32_t kVersion = 15;
constexpr int64_t kHeaderSize = 108;
constexpr int64_t kVersionOffset = 4;
constexpr int64_t kFrameCountOffset = 76;
constexpr int64_t kTagCountOffset = 80;
constexpr int64_t kSurfaceCountOffset = 84;
constexpr int64_t kFrameSize = 56;
constexpr int64_t kTagSize = 112;

constexpr int64_t kSurfaceHeaderSize = 108;
constexpr int64_t kSurfaceNameOffset = 4;
constexpr size_t kNameSize = 64;
constexpr int64_t kSurfaceFramesOffset = 72;
constexpr int64_t kShaderCountOffset = 76;
constexpr int64_t kVertexCountOffset = 80;
constexpr int64_t kTriangleCountOffset = 84;
constexpr int64_t kTrianglesOffset = 88;
constexpr int64_t kTexCoordsOffset = 96;
constexpr int64_t kVerticesOffset = 100;
constexpr int64_t kEndOffset = 104;
constexpr int64_t kShaderSize = 68;
constexpr int64_t kTriangleSize = 12;
constexpr int64_t kTexCoordSize = 8;
constexpr int64_t kVertexSize = 8;

constexpr size_t kReadChunk = 64 * 1024;

void debug(const std::string& message) {
    log(DEBUG, kSource, message);
}

// Reads the whole file; "" on success, otherwise what went wrong, worded to
// follow the file's name.
std::string readBytes(const std::string& path, size_t limit, std::vector<uint8_t>& out) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (file == nullptr) {
        return "could not be opened";
    }
    out.clear();
    uint8_t chunk[kReadChunk];
    for (;;) {
        const size_t read = std::fread(chunk, 1, sizeof(chunk), file.get());
        if (out.size() + read > limit) {
            return "is larger than " + std::to_string(limit) + " bytes";
        }
        out.insert(out.end(), chunk, chunk + read);
        if (read < sizeof(chunk)) {
            return std::ferror(file.get()) != 0 ? "could not be read" : "";
        }
    }
}

} // namespace

// Bounds-checked little-endian reads from the whole file in memory.
class MD3MeshLoader::ByteReader {
public:
    explicit ByteReader(const std::vector<uint8_t>& bytes) : bytes(bytes) {}

    int64_t size() const { return static_cast<int64_t>(bytes.size()); }
    // Whether count records of recordSize bytes starting at position lie
    // inside the file; counts and positions from the file may be anything.
    bool holds(int64_t position, int64_t count, int64_t recordSize) const {
        return position >= 0 && position <= size() && count >= 0 && count <= (size() - position) / recordSize;
    }
    uint32_t uint32At(int64_t position) const {
        const uint8_t* p = bytes.data() + position;
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }
    int32_t int32At(int64_t position) const {
        const uint32_t raw = uint32At(position);
        int32_t value = 0;
        std::memcpy(&value, &raw, sizeof(value));
        return value;
    }
    int16_t int16At(int64_t position) const {
        const uint8_t* p = bytes.data() + position;
        const uint16_t raw = static_cast<uint16_t>(p[0] | p[1] << 8);
        int16_t value = 0;
        std::memcpy(&value, &raw, sizeof(value));
        return value;
    }
    float floatAt(int64_t position) const {
        const uint32_t raw = uint32At(position);
        float value = 0.0f;
        std::memcpy(&value, &raw, sizeof(value));
        return value;
    }
    uint8_t byteAt(int64_t position) const { return bytes[static_cast<size_t>(position)]; }
    // Up to the first zero byte, never beyond the field.
    std::string textAt(int64_t position, size_t fieldSize) const {
        const char* p = reinterpret_cast<const char*>(bytes.data() + position);
        return std::string(p, strnlen(p, fieldSize));
    }

private:
    const std::vector<uint8_t>& bytes;
};

// Every count and offset is checked against the file before it is used.
bool MD3MeshLoader::parseMd3(const std::vector<uint8_t>& bytes, const std::string& path,
                             std::vector<Surface>& surfaces, std::string& failure) {
    const ByteReader in(bytes);
    if (in.holds(0, 1, kHeaderSize) && (std::memcmp(bytes.data(), kIdentifier, sizeof(kIdentifier)) != 0 ||
                                        in.int32At(kVersionOffset) != kVersion)) {
        debug("invalid MD3 header version");
        failure = "has a wrong identifier or version";
        return false;
    }
    std::string reason;
    if (!parseSections(in, surfaces, reason)) {
        debug("MD3 file " + path + " is damaged: " + reason);
        failure = "is damaged: " + reason;
        return false;
    }
    return true;
}

bool MD3MeshLoader::parseSections(const ByteReader& in, std::vector<Surface>& surfaces, std::string& reason) {
    if (!in.holds(0, 1, kHeaderSize)) {
        reason = "the header is cut short";
        return false;
    }
    const int64_t frameCount = in.int32At(kFrameCountOffset);
    const int64_t tagCount = in.int32At(kTagCountOffset);
    const int64_t surfaceCount = in.int32At(kSurfaceCountOffset);
    if (surfaceCount < 0) {
        reason = "the surface count is negative";
        return false;
    }
    // Frames and tags are skipped; they only have to be there.
    int64_t position = kHeaderSize;
    if (!in.holds(position, frameCount, kFrameSize)) {
        reason = "the frames reach past the end of the file";
        return false;
    }
    position += frameCount * kFrameSize;
    if (tagCount < 0 || !in.holds(position, frameCount * tagCount, kTagSize)) {
        reason = "the tags reach past the end of the file";
        return false;
    }
    position += frameCount * tagCount * kTagSize;

    surfaces.clear();
    for (int64_t s = 0; s < surfaceCount; ++s) {
        const std::string which = "surface " + std::to_string(s) + ": ";
        const int64_t start = position;
        if (!in.holds(start, 1, kSurfaceHeaderSize)) {
            reason = which + "the header reaches past the end of the file";
            return false;
        }
        Surface surface;
        surface.name = in.textAt(start + kSurfaceNameOffset, kNameSize);
        surface.frameCount = in.int32At(start + kSurfaceFramesOffset);
        surface.vertexCount = in.int32At(start + kVertexCountOffset);
        const int64_t shaderCount = in.int32At(start + kShaderCountOffset);
        const int64_t triangleCount = in.int32At(start + kTriangleCountOffset);
        const int64_t trianglesAt = in.int32At(start + kTrianglesOffset);
        const int64_t texCoordsAt = in.int32At(start + kTexCoordsOffset);
        const int64_t verticesAt = in.int32At(start + kVerticesOffset);
        const int64_t end = in.int32At(start + kEndOffset);
        const int64_t frames = surface.frameCount;
        const int64_t vertices = surface.vertexCount;
        if (frames < 0 || vertices < 0) {
            reason = which + "negative frame or vertex count";
            return false;
        }
        if (!in.holds(start + kSurfaceHeaderSize, shaderCount, kShaderSize)) {
            reason = which + "the shaders reach past the end of the file";
            return false;
        }
        if (trianglesAt < 0 || !in.holds(start + trianglesAt, triangleCount, kTriangleSize)) {
            reason = which + "the triangles lie outside the file";
            return false;
        }
        if (texCoordsAt < 0 || !in.holds(start + texCoordsAt, vertices, kTexCoordSize)) {
            reason = which + "the texture coordinates lie outside the file";
            return false;
        }
        if (verticesAt < 0 || !in.holds(start + verticesAt, frames * vertices, kVertexSize)) {
            reason = which + "the vertices lie outside the file";
            return false;
        }
        // Each surface must move the position forward, or a count could loop
        // over the same bytes for ever.
        if (end < kSurfaceHeaderSize || !in.holds(start, 1, end)) {
            reason = which + "the end offset lies outside the file";
            return false;
        }

        surface.triangles.resize(static_cast<size_t>(triangleCount * 3));
        for (size_t i = 0; i < surface.triangles.size(); ++i) {
            surface.triangles[i] = in.int32At(start + trianglesAt + static_cast<int64_t>(i) * 4);
        }
        surface.texCoords.resize(static_cast<size_t>(vertices));
        for (int64_t v = 0; v < vertices; ++v) {
            const int64_t at = start + texCoordsAt + v * kTexCoordSize;
            surface.texCoords[static_cast<size_t>(v)] = vec2(in.floatAt(at), in.floatAt(at + 4));
        }
        surface.vertices.resize(static_cast<size_t>(frames * vertices));
        for (size_t v = 0; v < surface.vertices.size(); ++v) {
            const int64_t at = start + verticesAt + static_cast<int64_t>(v) * kVertexSize;
            auto& vertex = surface.vertices[v];
            vertex.x = in.int16At(at);
            vertex.y = in.int16At(at + 2);
            vertex.z = in.int16At(at + 4);
            vertex.normalA = in.byteAt(at + 6);
            vertex.normalB = in.byteAt(at + 7);
        }
        surfaces.push_back(std::move(surface));
        position = start + end;
    }
    return true;
}

namespace {

// The path without its extension: only a dot inside the last path component,
// and not its first character, starts one.
std::string withoutExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t componentStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= componentStart) {
        return path;
    }
    return path.substr(0, dot);
}

// Calls visit with every line of the text file at path, without its line
// end (CR and/or LF); false when the file cannot be opened.
template <class Visit>
bool forEachLine(const std::string& path, Visit visit) {
    debug("opening " + path);
    std::ifstream file(path);
    if (!file.is_open()) {
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.pop_back();
        }
        visit(line);
    }
    return true;
}

std::string trimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

enum class Number { none, outOfRange, ok };

// Reads the next decimal integer as "%d" would (leading blanks, an optional
// sign), refusing values beyond 32 bits.
Number nextInteger(const char*& cursor, int32_t& value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(cursor, &end, 10);
    if (end == cursor) {
        return Number::none;
    }
    cursor = end;
    if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) {
        return Number::outOfRange;
    }
    value = static_cast<int32_t>(parsed);
    return Number::ok;
}

} // namespace

MD3MeshLoader::MD3MeshLoader() : MD3MeshLoader(&MD3MeshLoader::createSkinMaterial) {}

MD3MeshLoader::MD3MeshLoader(MaterialFactory materialFactory)
    : normalTable(kNormalSteps * kNormalSteps), materialFactory(std::move(materialFactory)) {
    for (size_t i = 0; i < kNormalSteps; ++i) {
        const float alpha = static_cast<float>(i) * 2.0f * kTablePi / kNormalTableDivisor;
        for (size_t j = 0; j < kNormalSteps; ++j) {
            const float beta = static_cast<float>(j) * 2.0f * kTablePi / kNormalTableDivisor;
            normalTable[i * kNormalSteps + j] =
                vec3(std::cos(beta) * std::sin(alpha), std::sin(beta) * std::sin(alpha), std::cos(alpha));
        }
    }
}

MD3MeshLoader::~MD3MeshLoader() = default;

std::unique_ptr<Material> MD3MeshLoader::createSkinMaterial(const std::string& texturePath) {
    constexpr float kSpecular = 0.1f;
    constexpr float kAmbient = 0.2f;
    constexpr float kShininess = 50.0f;
    auto material = std::make_unique<Material>();
    material->setSpecular(kSpecular, kSpecular, kSpecular, 1.0f);
    material->setAmbient(kAmbient, kAmbient, kAmbient, 1.0f);
    material->setDiffuse(1.0f, 1.0f, 1.0f, 1.0f);
    material->setEmission(0.0f, 0.0f, 0.0f, 0.0f);
    material->setShininess(kShininess);
    material->disable(GL_BLEND);
    material->setTextureCount(1);
    Image2D image(texturePath);
    material->setTexture(0, ImageTexture2D(image, true, true));
    return material;
}

std::unique_ptr<MeshGroup> MD3MeshLoader::load(const std::string& fileName) {
    // The per-load state goes whichever way load() is left, exceptions included.
    struct StateReset {
        MD3MeshLoader& loader;
        ~StateReset() {
            loader.skins.clear();
            loader.ranges.clear();
        }
    } reset{*this};

    failure.clear();
    const std::string base = withoutExtension(resolvePath(fileName));
    const std::string givenBase = withoutExtension(fileName);
    const std::string md3Path = base + ".md3";
    std::vector<uint8_t> bytes;
    std::vector<Surface> surfaces;
    const std::string readFailure = readBytes(md3Path, kMaxFileSize, bytes);
    std::string md3Failure;
    if (!readFailure.empty()) {
        debug("MD3 file " + md3Path + " " + readFailure + ".");
        md3Failure = readFailure;
    }
    if (!readFailure.empty() || !parseMd3(bytes, md3Path, surfaces, md3Failure)) {
        debug(kMd3Error);
        failure = "the MD3 file " + md3Failure;
        return nullptr;
    }
    bytes = std::vector<uint8_t>();

    skins.clear();
    skins.resize(surfaces.size());
    ranges.clear();
    const size_t slash = givenBase.rfind('/');
    const std::string modelDirectory =
        slash == std::string::npos ? std::string() : givenBase.substr(0, slash);
    const char* missing = nullptr;
    if (!readAnimations(base + ".cfg")) {
        missing = ".cfg";
    } else if (!readSkins(base + ".skin", modelDirectory, surfaces)) {
        missing = ".skin";
    }
    if (missing != nullptr) {
        debug(kSideFilesError);
        failure = givenBase + missing + " could not be opened";
        return nullptr;
    }
    limitRanges(surfaces);

    auto group = std::make_unique<MeshGroup>();
    debug("Model has " + std::to_string(surfaces.size()) + " meshes");
    for (size_t s = 0; s < surfaces.size(); ++s) {
        group->add(buildMesh(surfaces[s], s));
    }
    return group;
}

bool MD3MeshLoader::readAnimations(const std::string& path) {
    return forEachLine(path, [this](const std::string& line) {
        const char* cursor = line.c_str();
        AnimationRange range;
        int32_t* const fields[] = {&range.firstFrame, &range.frameCount, &range.loopingFrames,
                                   &range.framesPerSecond};
        Number last = Number::ok;
        size_t read = 0;
        while (read < std::size(fields) && (last = nextInteger(cursor, *fields[read])) == Number::ok) {
            ++read;
        }
        if (read == 0 && last == Number::none) {
            return;
        }
        if (last == Number::outOfRange) {
            debug("animation range skipped, a number is out of range: " + line);
        } else if (read < std::size(fields)) {
            debug("animation range skipped, it needs four numbers: " + line);
        } else if (range.framesPerSecond <= 0) {
            debug("animation range skipped, its frame rate is not positive: " + line);
        } else if (range.frameCount > kMaxRangeFrames) {
            debug("animation range skipped, it has more than " + toString(kMaxRangeFrames) +
                  " frames: " + line);
        } else {
            ranges.push_back(range);
        }
    });
}

void MD3MeshLoader::limitRanges(const std::vector<Surface>& surfaces) {
    int64_t frameVertices = 0;
    for (const Surface& surface : surfaces) {
        frameVertices += std::max<int32_t>(surface.vertexCount, 1);
    }
    int64_t decoded = 0;
    for (size_t r = 0; r < ranges.size(); ++r) {
        decoded += std::max<int32_t>(ranges[r].frameCount, 0) * frameVertices;
        if (decoded > kMaxDecodedVertices) {
            debug("animation ranges skipped from range " + std::to_string(r) +
                  " on, the model would store more than " + std::to_string(kMaxDecodedVertices) +
                  " decoded vertices");
            ranges.resize(r);
            return;
        }
    }
}

bool MD3MeshLoader::readSkins(const std::string& path, const std::string& modelDirectory,
                              const std::vector<Surface>& surfaces) {
    return forEachLine(path, [&](const std::string& line) {
        // The usual form is "surface,directory/texture.png"; without a
        // directory the text after the last comma names the texture.
        size_t separator = line.rfind('/');
        if (separator == std::string::npos) {
            separator = line.rfind(',');
        }
        const std::string textureName =
            trimBlanks(separator == std::string::npos ? line : line.substr(separator + 1));
        for (size_t s = 0; s < surfaces.size(); ++s) {
            if (!contains(line, surfaces[s].name)) {
                continue;
            }
            if (textureName.empty()) {
                debug("skin line names no texture: " + line);
                continue;
            }
            // Textures are taken from the model's own directory, whatever
            // directory the line names.
            const std::string texture =
                modelDirectory.empty() ? textureName : modelDirectory + "/" + textureName;
            debug("loading skin texture from " + texture);
            skins[s] = materialFactory(texture);
        }
    });
}

std::unique_ptr<AnimatedMesh> MD3MeshLoader::buildMesh(const Surface& surface, size_t index) {
    const int vertexCount = surface.vertexCount;
    const int triangleCount = static_cast<int>(surface.triangles.size() / 3);
    debug("Mesh: " + surface.name + " has " + std::to_string(ranges.size()) + " Animation sequences with " +
          toString(vertexCount) + " vertices and " + toString(triangleCount) + " faces.");
    auto mesh = std::make_unique<AnimatedMesh>();
    mesh->allocate(vertexCount, 1, 1, triangleCount);
    const size_t vertices = static_cast<size_t>(vertexCount);

    for (size_t r = 0; r < ranges.size(); ++r) {
        const AnimationRange& range = ranges[r];
        auto sequence = std::make_unique<AnimationSequence>();
        const double duration = 1.0 / range.framesPerSecond;
        debug("Sequence " + std::to_string(r) + " has " + toString(range.frameCount) + " frames");
        for (int32_t i = 0; i < range.frameCount; ++i) {
            if (vertexCount == 0) {
                debug("0 vertices in animation frame");
            }
            auto frame = std::make_unique<AnimationFrame>(vertexCount, 1);
            auto key = std::make_unique<AnimationKey>(static_cast<uint32_t>(i), duration);
            int64_t source = static_cast<int64_t>(range.firstFrame) + i;
            if (source < 0 || source >= surface.frameCount) {
                debug("animation frame out of bounds");
                source = std::clamp<int64_t>(source, 0, std::max(surface.frameCount - 1, 0));
            }
            // A surface without frames has no vertex data: its frames stay at
            // the origin with zero normals.
            const bool hasData = source < surface.frameCount;
            for (size_t v = 0; v < vertices; ++v) {
                if (hasData) {
                    const Surface::Vertex& record =
                        surface.vertices[static_cast<size_t>(source) * vertices + v];
                    frame->positions[v] =
                        vec3(record.x * kVertexScale, record.y * kVertexScale, record.z * kVertexScale);
                    const vec3& normal = getNormal(record.normalA, record.normalB);
                    frame->normals[v] = normal / normal.length();
                }
                frame->texCoords.at(v, 0) = surface.texCoords[v];
            }
            sequence->addKey(std::move(key));
            sequence->addFrame(std::move(frame));
        }
        mesh->addSequence(std::move(sequence));
    }

    // The MD3 winding is the reverse of ours. Triangles naming a vertex the
    // surface does not have are dropped: they would read past the arrays.
    DynamicMesh::Triangle* out = mesh->getTriangles(0);
    int kept = 0;
    for (int t = 0; t < triangleCount; ++t) {
        const int32_t* corners = &surface.triangles[static_cast<size_t>(t) * 3];
        const bool valid =
            std::all_of(corners, corners + 3, [&](int32_t c) { return c >= 0 && c < vertexCount; });
        if (!valid) {
            continue;
        }
        out[kept].v[0] = static_cast<uint32_t>(corners[0]);
        out[kept].v[1] = static_cast<uint32_t>(corners[2]);
        out[kept].v[2] = static_cast<uint32_t>(corners[1]);
        ++kept;
    }
    mesh->setFaceCount(0, kept);
    if (kept < triangleCount) {
        debug("Mesh: " + surface.name + ": " + toString(triangleCount - kept) +
              " faces with vertex indices out of range dropped");
    }

    if (skins[index] == nullptr) {
        debug("Material is set to NULL");
    } else {
        mesh->setMaterial(std::move(skins[index]));
    }
    return mesh;
}
