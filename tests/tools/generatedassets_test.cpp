#include "framestats.h"
#include "mesh/animatedmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "resources/image.h"
#include "resources/material.h"
#include "resources/pngdecoder.h"
#include "scene/basin.h"
#include "sound/wavreader.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/tempdir.h"
#include "support/testpaths.h"
#include "ui/font.h"
#include "ui/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <numeric>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

// The generated assets as the game reads them: pictures through its PNG
// decoder, models through its MD3 loader, sounds through its WAV reader, and
// the numbers both sides share (font grids, the basin's mapping) through the
// game's own code.
namespace {

std::string asset(const std::string& name) {
    return assetDir() + "/" + name;
}

std::string numbered(const std::string& stem, int n) {
    return "textures/" + stem + std::to_string(n) + ".png";
}

const char* const kModels[] = {"models/sporlet/spr-slime",   "models/sporlet/spr-slime-low",
                               "models/sporlet/spr-spike",   "models/sporlet/spr-spike-low",
                               "models/table/table-outside", "models/skybox/skybox"};

// A picture as the game's decoder gives it: RGBA, rows from the bottom up.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    int alpha(int x, int y) const { return at(x, y)[3]; }
    float luminance(int x, int y) const {
        return 0.299f * at(x, y)[0] + 0.587f * at(x, y)[1] + 0.114f * at(x, y)[2];
    }
};

Picture picture(const std::string& name) {
    PngPicture in;
    EXPECT_EQ(PngDecoder(asset(name)).decode(Image2D::kMaxSize, in), PngDecoder::Result::Decoded) << name;
    return {in.width, in.height, {in.pixels.get(), in.pixels.get() + 4 * in.width * in.height}};
}

// The game draws each character with the texels its text layout gives it,
// at every size the fonts are made in.
TEST(Fonts, EveryCharacterTheGameDrawsHasInk_AndNoInkLiesOutsideTheCellsItSamples) {
    std::string text('~' - ' ' + 1, ' ');
    std::iota(text.begin(), text.end(), ' ');
    // And the characters beyond ASCII the fonts hold, in UTF-8.
    text += "\u00B7\u2014\u2026";
    for (const auto& [type, name] :
         {std::make_pair(Font::kBig, "fontbig"), std::make_pair(Font::kSmall, "fontsmall")}) {
        for (const int percent : kFontPercents) {
            const Font::Metrics metrics = Font::Metrics::ofType(type, percent);
            const std::vector<Text::Glyph> glyphs = Text::layOut(metrics, text, 0, 0, 1024, 768).glyphs;
            ASSERT_EQ(glyphs.size(), Text::countCharacters(text) - 1) << "every character but the space";
            std::vector<Picture> styles;
            for (int style = 0; style < Font::kStyleCount; ++style) {
                const std::string file = fontFileName(name, style, percent);
                SCOPED_TRACE(file);
                const Picture png = picture(file);
                ASSERT_TRUE(png.width == metrics.textureWidth && png.height == metrics.textureHeight);
                std::vector<bool> sampled(png.rgba.size() / 4, false);
                for (size_t g = 0; g < glyphs.size(); ++g) {
                    // The texels wholly inside the glyph's texture rectangle.
                    const auto first = [](float at, int size) {
                        return static_cast<int>(std::ceil(at * size - 1e-3f));
                    };
                    const auto end = [](float at, int size) {
                        return static_cast<int>(std::floor(at * size + 1e-3f));
                    };
                    int ink = 0;
                    for (int y = first(glyphs[g].v0, png.height); y < end(glyphs[g].v1, png.height); ++y) {
                        for (int x = first(glyphs[g].u0, png.width); x < end(glyphs[g].u1, png.width); ++x) {
                            sampled[static_cast<size_t>(y) * png.width + x] = true;
                            ink += png.alpha(x, y) > 128;
                        }
                    }
                    EXPECT_GT(ink, 0) << "character " << g + 1 << " after the space";
                }
                int stray = 0;
                for (size_t k = 0; k < sampled.size(); ++k) {
                    stray += !sampled[k] && png.rgba[4 * k + 3] > 0;
                }
                EXPECT_EQ(stray, 0);
                for (const Picture& other : styles) {
                    EXPECT_NE(png.rgba, other.rgba) << "the styles look different";
                }
                styles.push_back(png);
            }
        }
    }
}

TEST(Buttons, PiecesJoinTheStretchedMiddleWithoutASeam_TransparentAboveAndBelow) {
    for (const char* look : {"n", "mo", "d"}) {
        SCOPED_TRACE(look);
        const auto piece = [&](const char* name) {
            return picture(std::string("textures/buttons/btn1") + name + "_" + look + ".png");
        };
        const Picture left = piece("a"), middle = piece("b"), right = piece("c");
        for (const Picture* piece : {&left, &middle, &right}) {
            ASSERT_TRUE(piece->width == 64 && piece->height == 64);
            for (int x = 0; x < 64; ++x) {
                EXPECT_EQ(piece->alpha(x, 0) + piece->alpha(x, 63), 0);
            }
        }
        for (int y = 0; y < 64; ++y) {
            // The middle is stretched: every column must be the same.
            for (int x = 1; x < 64; ++x) {
                ASSERT_EQ(std::memcmp(middle.at(x, y), middle.at(0, y), 4), 0) << x << ", " << y;
            }
            EXPECT_EQ(std::memcmp(left.at(63, y), middle.at(0, y), 4), 0) << "row " << y;
            EXPECT_EQ(std::memcmp(right.at(0, y), middle.at(63, y), 4), 0) << "row " << y;
        }
        EXPECT_GT(left.alpha(40, 32), 200);
        EXPECT_EQ(left.alpha(0, 32) + right.alpha(63, 32), 0) << "the caps are round";
    }
}

TEST(Cursor, TipSitsOnTheHotspotFourRightSevenDown) {
    const Picture png = picture("textures/cursor/cursor1.png");
    ASSERT_TRUE(png.width == 32 && png.height == 32);
    EXPECT_GT(png.alpha(4, 31 - 7), 128);
    EXPECT_GT(png.luminance(4, 31 - 8), 200) << "the pointer body is light";
    for (int y = 32 - 5; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(png.alpha(x, y), 0) << "nothing above the tip: " << x << ", " << 31 - y;
        }
    }
}

// Mean luminance difference of w x h texels of a from (ax, ay) and of b from (bx, by).
float difference(const Picture& a, int ax, int ay, const Picture& b, int bx, int by, int w, int h) {
    float sum = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            sum += std::abs(a.luminance(ax + x, ay + y) - b.luminance(bx + x, by + y));
        }
    }
    return sum / static_cast<float>(w * h);
}

TEST(Caustics, SixteenFramesTileWithoutASeamAndLoopFromTheLastBackToTheFirst) {
    std::vector<Picture> frames;
    for (int n = 1; n <= 16; ++n) {
        frames.push_back(picture(numbered("caustic/caustic", n)));
        const Picture& png = frames.back();
        // A seam would stand out above every step between neighbouring
        // columns (or rows) inside the picture.
        float columns = 0, rows = 0;
        for (int i = 0; i + 1 < png.width; ++i) {
            columns = std::max(columns, difference(png, i, 0, png, i + 1, 0, 1, png.height));
            rows = std::max(rows, difference(png, 0, i, png, 0, i + 1, png.width, 1));
        }
        EXPECT_LE(difference(png, png.width - 1, 0, png, 0, 0, 1, png.height), columns) << "frame " << n;
        EXPECT_LE(difference(png, 0, png.height - 1, png, 0, 0, png.width, 1), rows) << "frame " << n;
    }
    // Each frame leads to the next, the last back to the first with a step
    // like the others.
    float steps = 0, back = 0;
    for (int n = 0; n < 16; ++n) {
        const float d =
            difference(frames[n], 0, 0, frames[(n + 1) % 16], 0, 0, frames[n].width, frames[n].height);
        EXPECT_GT(d, 1.0f) << "frame " << n + 1 << " and the next should differ: the light moves";
        (n < 15 ? steps : back) += d;
    }
    EXPECT_LT(back, 1.5f * steps / 15);
}

TEST(AdditiveTextures, FlareAndSelectionMarkersAreBlackAtTheBorder) {
    std::vector<std::string> names = {"textures/table/flare.png"};
    for (int n = 0; n <= 9; ++n) {
        names.push_back(numbered("table/selection000", n));
    }
    for (const std::string& name : names) {
        const Picture png = picture(name);
        float border = 0; // the brightest outermost texel
        for (int y = 0; y < png.height; ++y) {
            for (int x = 0; x < png.width; x += y == 0 || y == png.height - 1 ? 1 : png.width - 1) {
                border = std::max(border, png.luminance(x, y));
            }
        }
        EXPECT_LE(border, 2.0f) << name;
        EXPECT_GT(*std::max_element(png.rgba.begin(), png.rgba.end()), 200) << name;
    }
}

// The floor shows the nine by nine fields where the game's basin maps it.
TEST(Basin, FloorShowsTheNineByNineGridWhereTheBasinMapsIt) {
    const Picture png = picture("textures/table/table-01-c.png");
    const BasinQuad& floor = Basin::quads()[0];
    float low = 1, high = 0;
    for (const BasinCorner& corner : floor.corners) {
        low = std::min({low, corner.table.x, corner.table.y});
        high = std::max({high, corner.table.x, corner.table.y});
    }
    const float field = (high - low) / 9;
    // Lookups are kept on texels whose centres lie on the floor.
    const auto texel = [&](float t, int size) {
        const float lowest = std::ceil(low * size - 0.5f), highest = std::floor(high * size - 0.5f);
        return static_cast<int>(std::clamp(std::round(t * size - 0.5f), lowest, highest));
    };
    const auto luminanceAt = [&](float u, float v) {
        return png.luminance(texel(u, png.width), texel(v, png.height));
    };
    for (int row = 0; row < 9; ++row) {
        const float v = low + (row + 0.5f) * field;
        for (int line = 0; line <= 9; ++line) {
            const float u = low + line * field, inside = low + (std::min(line, 8) + 0.5f) * field;
            EXPECT_LT(luminanceAt(u, v), 0.6f * luminanceAt(inside, v))
                << "grid line " << line << " in row " << row;
            EXPECT_LT(luminanceAt(v, u), 0.6f * luminanceAt(v, inside))
                << "grid line " << line << " in column " << row;
        }
    }
}

struct Face {
    vec3 corner[3];
    vec3 normals; // the sum of the corners' normals
    vec3 normal() const { return cross(corner[1] - corner[0], corner[2] - corner[0]); }
    vec3 centre() const { return (corner[0] + corner[1] + corner[2]) * (1.0f / 3); }
};

// The models as the game's loader builds them; skins are recorded, not loaded.
class Models : public ::testing::Test {
protected:
    Models()
        : loader([this](const std::string& path) {
              auto material = std::make_unique<Material>();
              skins[material.get()] = path;
              return material;
          }) {
        setAssetDirectory(assetDir());
    }
    ~Models() override { setAssetDirectory(""); }

    std::vector<const AnimatedMesh*> load(const std::string& name) {
        groups.push_back(loader.load(name + ".md3"));
        std::vector<const AnimatedMesh*> meshes;
        EXPECT_NE(groups.back(), nullptr) << name << ": " << loader.getFailure();
        for (int i = 0; groups.back() != nullptr && i < groups.back()->size(); ++i) {
            meshes.push_back(dynamic_cast<const AnimatedMesh*>(groups.back()->get(i)));
        }
        return meshes;
    }
    // The triangles of the first animation's first frame (or of all its
    // frames), wound as the loader winds them.
    std::vector<Face> faces(const std::string& name, bool everyFrame = false) {
        std::vector<Face> out;
        for (const AnimatedMesh* mesh : load(name)) {
            const AnimationSequence& sequence = *mesh->getSequence(0);
            for (size_t f = 0; f < (everyFrame ? sequence.getFrameCount() : 1); ++f) {
                for (int t = 0; t < mesh->getFaceCount(0); ++t) {
                    Face face{};
                    for (int k = 0; k < 3; ++k) {
                        const uint32_t v = mesh->getTriangles(0)[t].v[k];
                        face.corner[k] = sequence.getFrame(f)->positions[v];
                        face.normals += sequence.getFrame(f)->normals[v];
                    }
                    out.push_back(face);
                }
            }
        }
        return out;
    }
    static float agreeingShare(const std::vector<Face>& faces) {
        int agree = 0, total = 0;
        for (const Face& face : faces) {
            if (face.normal().lengthSquared() >= 1e-10f) {
                ++total;
                agree += dot(face.normal(), face.normals) > 0;
            }
        }
        return total == 0 ? 0 : static_cast<float>(agree) / total;
    }

    MD3MeshLoader loader;
    std::map<const Material*, std::string> skins; // keys not owned: the meshes' materials
    std::vector<std::unique_ptr<MeshGroup>> groups;
};

TEST_F(Models, EveryModelLoadsWithItsAnimationAndASkinOnEverySurface) {
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        LogCapture log;
        const std::vector<const AnimatedMesh*> meshes = load(name);
        EXPECT_FALSE(meshes.empty());
        for (const AnimatedMesh* mesh : meshes) {
            EXPECT_GE(mesh->getSequenceCount(), 1);
            ASSERT_NE(mesh->getMaterial(), nullptr);
            picture(skins.at(mesh->getMaterial()));
        }
        EXPECT_FALSE(log.has("out of bounds")) << "every animation frame lies in the file";
    }
}

// Seen from the figure's middle, a front face looks away from it; an
// inside-out part would show its back and be culled.
TEST_F(Models, FiguresStandOnTheirOriginWithinHeightOneAndRadiusAboutHalf_FacingOutwards_LowOnesLighter) {
    size_t triangles[4] = {};
    for (int m = 0; m < 4; ++m) {
        SCOPED_TRACE(kModels[m]);
        float lowest = 1e9f, highest = -1e9f, widest = 0;
        for (const Face& face : faces(kModels[m], true)) {
            for (const vec3& v : face.corner) {
                lowest = std::min(lowest, v.z);
                highest = std::max(highest, v.z);
                widest = std::max(widest, std::hypot(v.x, v.y));
            }
        }
        EXPECT_TRUE(lowest >= -1.0f / 64 && lowest <= 0.1f) << lowest << ": stands on its base";
        EXPECT_TRUE(highest >= 0.85f && highest <= 1 + 1.0f / 64) << highest;
        EXPECT_TRUE(widest >= 0.45f && widest <= 0.62f) << widest;
        const std::vector<Face> first = faces(kModels[m]);
        triangles[m] = first.size();
        const long outwards = std::count_if(first.begin(), first.end(), [](const Face& face) {
            return dot(face.normal(), face.centre() - vec3{0, 0, 0.4f}) > 0;
        });
        EXPECT_GT(outwards, 0.9f * first.size());
        EXPECT_GT(agreeingShare(first), 0.95f);
    }
    for (int full = 0; full < 4; full += 2) {
        EXPECT_LE(triangles[full], 1000u) << kModels[full];
        EXPECT_LE(triangles[full + 1], 150u) << kModels[full + 1];
        EXPECT_LE(triangles[full + 1] * 3, triangles[full]);
    }
}

TEST_F(Models, TableLeavesTheBasinOpeningOpenAboveTheFloor_AndFacesOutOfTheTable) {
    // World = 64 * model + (32, 32, -12): the basin floor lies at world z -5.
    const float floorZ = 7.0f / 64, waterZ = 12.0f / 64, inner = 0.5f - 1e-3f;
    bool meetsWaterLine = false;
    const std::vector<Face> all = faces("models/table/table-outside");
    for (const Face& face : all) {
        for (const vec3& v : face.corner) {
            const bool overOpening = std::abs(v.x) < inner && std::abs(v.y) < inner;
            EXPECT_FALSE(overOpening && v.z > floorZ) << v.x << ", " << v.y << ", " << v.z;
            meetsWaterLine =
                meetsWaterLine || (std::abs(std::abs(v.x) - 0.5f) < 1e-3f && std::abs(v.z - waterZ) < 1e-3f);
        }
    }
    EXPECT_TRUE(meetsWaterLine) << "the rim starts at the basin's water line";
    EXPECT_GT(agreeingShare(all), 0.95f);
    // Every level face above the water must face up, or the deck would be culled.
    for (const Face& face : all) {
        const float z = face.corner[0].z;
        if (z > waterZ && face.corner[1].z == z && face.corner[2].z == z) {
            EXPECT_GT(face.normal().z, 0) << "at z " << z;
        }
    }
}

TEST_F(Models, SkyBoxFacesPointInwardsAtAboutAHundredUnits) {
    float extent = 0;
    for (const Face& face : faces("models/skybox/skybox")) {
        EXPECT_LT(dot(face.normal(), face.centre()), 0) << "must face the eye at the centre";
        extent = std::max(
            {extent, std::abs(face.corner[0].x), std::abs(face.corner[0].y), std::abs(face.corner[0].z)});
    }
    EXPECT_TRUE(extent >= 90.0f && extent <= 110.0f) << extent;
}

TEST(Sounds, ShortSixteenBitPcmAt44100_LoudWithoutClipping_SilentAtBothEnds) {
    for (const char* name : {"sounds/vrsnd2t.wav", "sounds/vrsnd1t.wav"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = PngFiles::readBytes(asset(name));
        const int64_t riffSize = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | int64_t{bytes[7]} << 24;
        EXPECT_EQ(riffSize, static_cast<int64_t>(bytes.size()) - 8);
        WavReader reader;
        ASSERT_EQ(reader.open(asset(name)), WavReader::Status::Ok);
        EXPECT_EQ(reader.getRate(), 44100);
        EXPECT_TRUE(reader.getBitsPerSample() == 16 && !reader.isFloat());
        EXPECT_LT(reader.getFrameCount(), 44100);
        std::vector<int16_t> samples(static_cast<size_t>(reader.getFrameCount() * reader.getChannels()));
        ASSERT_EQ(reader.read(samples.data(), reader.getFrameCount()),
                  static_cast<size_t>(reader.getFrameCount()));
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        const int loudest = std::max(-int{*low}, int{*high});
        EXPECT_LT(loudest, 32767) << "clips";
        EXPECT_GT(loudest, 8000) << "too quiet to hear";
        // A jump from or to silence clicks.
        EXPECT_LT(std::abs(samples.front()), 100);
        EXPECT_LT(std::abs(samples.back()), 100);
    }
}

struct GeneratorRun {
    int exitCode = -1;
    std::string errors;
};

// Runs the generator with the arguments (already quoted as needed).
GeneratorRun generate(const std::string& arguments, const TempDir& scratch) {
    const std::string errors = scratch.file("stderr.txt");
    const std::string command =
        std::string("'") + SPORRIK_ASSETGEN + "' " + arguments + " >/dev/null 2>'" + errors + "'";
    const int status = std::system(command.c_str());
    const std::vector<uint8_t> text = PngFiles::readBytes(errors);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(text.begin(), text.end())};
}

std::map<std::string, std::vector<uint8_t>> filesUnder(const std::string& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[std::filesystem::relative(entry.path(), root).string()] = PngFiles::readBytes(entry.path());
        }
    }
    return files;
}

TEST(AssetGenerator, TwoRunsWriteIdenticalBytesWhateverTheThreadCount_AndTheContactSheetOnRequest) {
    TempDir scratch;
    const std::string sheet = scratch.file("sheet.png");
    const GeneratorRun a =
        generate("--threads 1 --contact-sheet '" + sheet + "' '" + scratch.file("one") + "'", scratch);
    ASSERT_EQ(a.exitCode, 0) << a.errors;
    const GeneratorRun b = generate("--threads 2 '" + scratch.file("two") + "'", scratch);
    ASSERT_EQ(b.exitCode, 0) << b.errors;

    const auto one = filesUnder(scratch.file("one")), two = filesUnder(scratch.file("two"));
    EXPECT_GE(one.size(), 77u);
    EXPECT_EQ(one.size(), two.size());
    for (const auto& [name, bytes] : one) {
        EXPECT_TRUE(two.count(name) != 0 && two.at(name) == bytes) << name << " differs between runs";
    }
    PngFiles::Reference picture;
    ASSERT_TRUE(PngFiles::readReference(sheet, picture));
    EXPECT_GT(picture.width * picture.height, 1024 * 1024);
}

// The output path is checked first: a missing font is found only while
// generating, seconds later. Either failure names its cause.
TEST(AssetGenerator, UnusableOutputPathOrMissingFont_FailsNamingIt) {
    TempDir scratch;
    const std::string blocker = scratch.file("file");
    PngFiles::writeBytes(blocker, {'x'});
    const std::pair<std::string, const char*> cases[] = {
        {blocker, "font"}, {blocker + "/assets", "font"}, {scratch.file("assets"), nullptr}};
    for (const auto& [output, notNamed] : cases) {
        const GeneratorRun run = generate("--mono-font /nonexistent/font.ttf '" + output + "'", scratch);
        EXPECT_EQ(run.exitCode, 1);
        const std::string named = notNamed != nullptr ? output : "/nonexistent/font.ttf";
        EXPECT_NE(run.errors.find(named), std::string::npos) << run.errors;
        if (notNamed != nullptr) {
            EXPECT_EQ(run.errors.find(notNamed), std::string::npos) << run.errors;
        }
    }
}

} // namespace

TEST(FrameStats, Percentiles_AreFramesThatHappenedWhateverTheOrder) {
    std::vector<double> times(100);
    std::iota(times.rbegin(), times.rend(), 1.0); // 100 ms down to 1 ms
    const FrameStats stats = FrameStats::of(times);
    EXPECT_EQ(stats.medianMs, 50.0);
    EXPECT_EQ(stats.p90Ms, 90.0);
    EXPECT_EQ(stats.p99Ms, 99.0);
    EXPECT_NEAR(stats.fps, 100 * 1000.0 / 5050.0, 1e-9);
}
