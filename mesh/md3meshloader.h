#pragma once

#include "mesh/meshloader.h"
#include "mesh/vectormath.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class AnimatedMesh;
class Material;

// Loads MD3 models with their ".cfg" animation list and ".skin" texture list
// into a group of one animated mesh per surface. Holds a 768 KiB normal
// table: create one loader and reuse it. Not re-entrant.
class MD3MeshLoader : public MeshLoader {
public:
    // Builds the material of a skin texture; the path is relative to the
    // asset directory. A null result leaves the surface without material.
    using MaterialFactory = std::function<std::unique_ptr<Material>(const std::string& texturePath)>;

    // One animation sequence of the ".cfg" file.
    struct AnimationRange {
        int32_t firstFrame = 0;
        int32_t frameCount = 0;
        int32_t loopingFrames = 0; // read, not used
        int32_t framesPerSecond = 0;
    };

    // Ranges longer than this are refused: every frame is stored decoded, so
    // a stray number in a ".cfg" file must not exhaust memory.
    static constexpr int32_t kMaxRangeFrames = 1024;
    // The ranges of one model together store at most this many decoded
    // vertices over all its surfaces (a frame of a surface without vertices
    // counts as one); later ranges are skipped. A 4 KB ".cfg" file of long
    // ranges took 2 GB before.
    static constexpr int64_t kMaxDecodedVertices = int64_t{1} << 20;
    // MD3 files larger than this are refused unread.
    static constexpr size_t kMaxFileSize = 64u << 20;

    // Skins get createSkinMaterial materials (needs the OpenGL context).
    MD3MeshLoader();
    explicit MD3MeshLoader(MaterialFactory materialFactory);
    ~MD3MeshLoader() override;

    // Null when the MD3, ".cfg" or ".skin" file cannot be read (logged).
    // Exceptions of the material factory (texture loading) pass through;
    // nothing of the partial model stays behind.
    std::unique_ptr<MeshGroup> load(const std::string& fileName) override;
    // Why the last load gave null, for the caller's message about the model:
    // "the MD3 file ..." or the side file at fault, named as the caller named
    // the model ("models/m/m.skin could not be opened"). Empty after a load
    // that succeeded; the DEBUG lines carry the full paths.
    const std::string& getFailure() const { return failure; }

    // Specular 0.1, ambient 0.2, diffuse 1, no emission, shininess 50,
    // blending off and the mipmapped texture of the image file at texturePath.
    // Throws what loading the image or the texture throws.
    static std::unique_ptr<Material> createSkinMaterial(const std::string& texturePath);

    // The decoded normal of the encoding bytes (i, j), before normalising.
    const vec3& getNormal(uint8_t i, uint8_t j) const { return normalTable[i * kNormalSteps + j]; }

private:
    class ByteReader;
    struct Surface;

    static constexpr size_t kNormalSteps = 256;

    // False, with a log line and the reason in failure, when the MD3 bytes
    // are not a whole model.
    static bool parseMd3(const std::vector<uint8_t>& bytes, const std::string& path,
                         std::vector<Surface>& surfaces, std::string& failure);
    static bool parseSections(const ByteReader& in, std::vector<Surface>& surfaces, std::string& reason);
    // False when the file cannot be opened.
    bool readAnimations(const std::string& path);
    bool readSkins(const std::string& path, const std::string& modelDirectory,
                   const std::vector<Surface>& surfaces);
    void limitRanges(const std::vector<Surface>& surfaces);
    std::unique_ptr<AnimatedMesh> buildMesh(const Surface& surface, size_t index);

    std::vector<vec3> normalTable;                // kNormalSteps x kNormalSteps, [i * kNormalSteps + j]
    std::vector<std::unique_ptr<Material>> skins; // one per surface of the model being loaded
    std::vector<AnimationRange> ranges;
    MaterialFactory materialFactory;
    std::string failure;
};
