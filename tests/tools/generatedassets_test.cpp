#include "support/testpaths.h"
#include "tools/assetcheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace assetcheck;

std::string asset(const std::string& name) {
    return assetDir() + "/" + name;
}

const char* const kModels[] = {"models/sporlet/spr-slime",   "models/sporlet/spr-slime-low",
                               "models/sporlet/spr-spike",   "models/sporlet/spr-spike-low",
                               "models/table/table-outside", "models/skybox/skybox"};
const char* const kSounds[] = {"sounds/vrsnd2t.wav", "sounds/vrsnd1t.wav"};
const char* const kLooks[] = {"n", "mo", "d"};

std::string button(const char* piece, const char* look) {
    return std::string("textures/buttons/btn1") + piece + "_" + look + ".png";
}
// Numbered textures: fonts by style, caustic frames, selection markers.
std::string numbered(const std::string& stem, int n) {
    return "textures/" + stem + std::to_string(n) + ".png";
}

std::vector<std::string> expectedFiles() {
    std::vector<std::string> files = {
        "textures/table/table-01-c.png", "textures/table/table-fields.png", "textures/table/fog1.png",
        "textures/table/flare.png",      "textures/cursor/cursor1.png",     "textures/menu/spr2-logo.png",
    };
    files.insert(files.end(), std::begin(kSounds), std::end(kSounds));
    for (int n = 1; n <= 16; ++n) {
        files.push_back(numbered("caustic/caustic", n));
    }
    for (int n = 0; n <= 9; ++n) {
        files.push_back(numbered("table/selection000", n));
    }
    for (const char* name : {"fontbig", "fontsmall"}) {
        for (int style = 0; style < 3; ++style) {
            files.push_back(numbered(std::string("fonts/") + name, style));
        }
    }
    for (const char* piece : {"a", "b", "c"}) {
        for (const char* look : kLooks) {
            files.push_back(button(piece, look));
        }
    }
    for (const char* model : kModels) {
        for (const char* extension : {".md3", ".cfg", ".skin"}) {
            files.push_back(std::string(model) + extension);
        }
    }
    return files;
}

Png loadPng(const std::string& name) {
    Png png = readPng(asset(name));
    EXPECT_TRUE(png.ok) << png.error;
    return png;
}

Wav loadWav(const std::string& name) {
    Wav wav = readWav(readBytes(asset(name)));
    EXPECT_TRUE(wav.ok) << name << ": " << wav.error;
    return wav;
}

Md3 loadModel(const std::string& name) {
    Md3 md3 = readMd3(readBytes(asset(name + ".md3")));
    EXPECT_TRUE(md3.ok) << name << ": " << md3.error;
    return md3;
}

// ------------------------------------------------------------------ files

TEST(GeneratedAssets, EveryFileTheGameReadsExists) {
    for (const std::string& name : expectedFiles()) {
        EXPECT_TRUE(fs::is_regular_file(asset(name))) << name;
    }
}

TEST(GeneratedAssets, EveryPngIsEightBitRgbOrRgbaPowerOfTwoNotInterlaced) {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(assetDir())) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        ++count;
        Png png = readPng(entry.path().string());
        ASSERT_TRUE(png.ok) << png.error;
        EXPECT_TRUE(isPowerOfTwo(png.width) && isPowerOfTwo(png.height)) << entry.path();
    }
    EXPECT_GE(count, 47) << "at least the textures the game names";
}

// ------------------------------------------------------------------ fonts

struct Grid {
    const char* name;
    uint32_t size;
    float columns, rows;
};
const Grid kGrids[] = {{"fontbig", 512, 17, 10.25f}, {"fontsmall", 256, 23, 7.2f}};

// The texels the game samples for character c: rows counted from the top,
// the right edge pulled in by one texel.
void cellOf(const Grid& g, int c, float& x0, float& y0, float& x1, float& y1) {
    float w = g.size / g.columns, h = g.size / g.rows;
    int column = (c - 33) % static_cast<int>(g.columns);
    int row = static_cast<int>((c - 33) / g.columns + 1.0f);
    x0 = column * w;
    x1 = (column + 1) * w - 1;
    y0 = (row - 1) * h;
    y1 = row * h;
}

TEST(Fonts, EveryGlyphHasInkAndNoInkLeavesItsCell) {
    for (const Grid& g : kGrids) {
        for (int style = 0; style < 3; ++style) {
            std::string name = numbered(std::string("fonts/") + g.name, style);
            SCOPED_TRACE(name);
            Png png = loadPng(name);
            ASSERT_EQ(png.width, g.size);
            ASSERT_EQ(png.height, g.size);
            std::vector<bool> allowed(png.width * png.height, false);
            for (int c = 33; c <= 126; ++c) {
                float x0, y0, x1, y1;
                cellOf(g, c, x0, y0, x1, y1);
                int ink = 0;
                for (uint32_t y = 0; y < png.height; ++y) {
                    for (uint32_t x = 0; x < png.width; ++x) {
                        if (x >= x0 && x + 1 <= x1 && y >= y0 && y + 1 <= y1) {
                            allowed[y * png.width + x] = true;
                            ink += png.alpha(x, y) > 128;
                        }
                    }
                }
                EXPECT_GT(ink, 0) << "character " << c;
            }
            int stray = 0;
            for (uint32_t y = 0; y < png.height; ++y) {
                for (uint32_t x = 0; x < png.width; ++x) {
                    stray += !allowed[y * png.width + x] && png.alpha(x, y) > 0;
                }
            }
            EXPECT_EQ(stray, 0);
        }
    }
}

TEST(Fonts, SpaceSamplesOnlyTransparentTexels) {
    // Character 32 is one below the first: the game samples u in [1 - cellU, 1)
    // and, wrapping, the bottom cell height of the picture.
    for (const Grid& g : kGrids) {
        Png png = loadPng(numbered(std::string("fonts/") + g.name, 0));
        float w = g.size / g.columns, h = g.size / g.rows;
        for (uint32_t y = static_cast<uint32_t>(g.size - h) - 1; y < png.height; ++y) {
            for (uint32_t x = static_cast<uint32_t>(g.size - w) - 1; x < png.width; ++x) {
                ASSERT_EQ(png.alpha(x, y), 0) << g.name << " at " << x << ", " << y;
            }
        }
    }
}

TEST(Fonts, TheThreeStylesLookDifferent) {
    for (const Grid& g : kGrids) {
        Png plain = loadPng(numbered(std::string("fonts/") + g.name, 0));
        for (int style = 1; style < 3; ++style) {
            Png other = loadPng(numbered(std::string("fonts/") + g.name, style));
            EXPECT_NE(plain.rgba, other.rgba) << g.name << " style " << style;
        }
    }
}

// ------------------------------------------------------------------ buttons, cursor, logo

TEST(Buttons, PiecesAre64SquareWithTransparentTopAndBottomRows) {
    for (const char* piece : {"a", "b", "c"}) {
        for (const char* look : kLooks) {
            std::string name = button(piece, look);
            Png png = loadPng(name);
            ASSERT_EQ(png.width, 64u) << name;
            ASSERT_EQ(png.height, 64u) << name;
            for (uint32_t x = 0; x < png.width; ++x) {
                EXPECT_EQ(png.alpha(x, 0), 0) << name;
                EXPECT_EQ(png.alpha(x, 63), 0) << name;
            }
        }
    }
}

TEST(Buttons, CapsJoinTheStretchedMiddleWithoutASeam) {
    for (const char* look : kLooks) {
        SCOPED_TRACE(look);
        Png left = loadPng(button("a", look)), middle = loadPng(button("b", look)),
            right = loadPng(button("c", look));
        for (uint32_t y = 0; y < 64; ++y) {
            // The middle is stretched: every column must be the same.
            for (uint32_t x = 1; x < 64; ++x) {
                ASSERT_EQ(std::memcmp(middle.pixel(x, y), middle.pixel(0, y), 4), 0) << x << ", " << y;
            }
            EXPECT_EQ(std::memcmp(left.pixel(63, y), middle.pixel(0, y), 4), 0) << "row " << y;
            EXPECT_EQ(std::memcmp(right.pixel(0, y), middle.pixel(63, y), 4), 0) << "row " << y;
        }
        EXPECT_GT(left.alpha(40, 32), 200);
        EXPECT_EQ(left.alpha(0, 32), 0);
        EXPECT_EQ(right.alpha(63, 32), 0);
    }
}

TEST(Cursor, TipSitsOnTheHotspotFourRightSevenDown) {
    Png png = loadPng("textures/cursor/cursor1.png");
    ASSERT_EQ(png.width, 32u);
    ASSERT_EQ(png.height, 32u);
    EXPECT_GT(png.alpha(4, 7), 128);
    EXPECT_GT(png.luminance(4, 8), 200) << "the pointer body is light";
    for (uint32_t y = 0; y < 5; ++y) {
        for (uint32_t x = 0; x < 32; ++x) {
            EXPECT_EQ(png.alpha(x, y), 0) << "nothing above the tip: " << x << ", " << y;
        }
    }
}

TEST(Logo, Is512By128WithATransparentBorder) {
    Png png = loadPng("textures/menu/spr2-logo.png");
    ASSERT_EQ(png.width, 512u);
    ASSERT_EQ(png.height, 128u);
    int opaque = 0;
    for (uint32_t y = 0; y < png.height; ++y) {
        for (uint32_t x = 0; x < png.width; ++x) {
            bool border = x == 0 || y == 0 || x == png.width - 1 || y == png.height - 1;
            if (border) {
                EXPECT_EQ(png.alpha(x, y), 0);
            }
            opaque += png.alpha(x, y) == 255;
        }
    }
    EXPECT_GT(opaque, 512 * 128 / 5) << "the name fills the picture";
}

// ------------------------------------------------------------------ scene textures

// Mean luminance step between columns (or rows) a and b.
float lineDifference(const Png& png, uint32_t a, uint32_t b, bool columns) {
    uint32_t length = columns ? png.height : png.width;
    float sum = 0;
    for (uint32_t i = 0; i < length; ++i) {
        sum += columns ? std::abs(png.luminance(a, i) - png.luminance(b, i))
                       : std::abs(png.luminance(i, a) - png.luminance(i, b));
    }
    return sum / length;
}

float frameDifference(const Png& a, const Png& b) {
    float sum = 0;
    for (uint32_t y = 0; y < a.height; ++y) {
        for (uint32_t x = 0; x < a.width; ++x) {
            sum += std::abs(a.luminance(x, y) - b.luminance(x, y));
        }
    }
    return sum / (a.width * a.height);
}

TEST(Caustics, EveryFrameTilesWithoutASeam) {
    for (int n = 1; n <= 16; ++n) {
        Png png = loadPng(numbered("caustic/caustic", n));
        // A seam would stand out above every step between neighbouring
        // columns (or rows) inside the picture.
        float columns = 0, rows = 0;
        for (uint32_t i = 0; i + 1 < png.width; ++i) {
            columns = std::max(columns, lineDifference(png, i, i + 1, true));
            rows = std::max(rows, lineDifference(png, i, i + 1, false));
        }
        EXPECT_LE(lineDifference(png, png.width - 1, 0, true), columns) << "frame " << n;
        EXPECT_LE(lineDifference(png, png.height - 1, 0, false), rows) << "frame " << n;
    }
}

TEST(Caustics, SixteenFramesLoopFromTheLastBackToTheFirst) {
    std::vector<Png> frames;
    for (int n = 1; n <= 16; ++n) {
        frames.push_back(loadPng(numbered("caustic/caustic", n)));
    }
    float steps = 0;
    for (int n = 0; n + 1 < 16; ++n) {
        float d = frameDifference(frames[n], frames[n + 1]);
        EXPECT_GT(d, 1.0f) << "frames " << n + 1 << " and " << n + 2 << " should differ: the light moves";
        steps += d;
    }
    EXPECT_LT(frameDifference(frames[15], frames[0]), 1.5f * steps / 15);
}

TEST(AdditiveTextures, FlareAndSelectionMarkersAreBlackAtTheBorder) {
    std::vector<std::string> names = {"textures/table/flare.png"};
    for (int n = 0; n <= 9; ++n) {
        names.push_back(numbered("table/selection000", n));
    }
    for (const std::string& name : names) {
        Png png = loadPng(name);
        float brightest = 0, centre = 0;
        for (uint32_t y = 0; y < png.height; ++y) {
            for (uint32_t x = 0; x < png.width; ++x) {
                centre = std::max(centre, png.luminance(x, y));
                if (x == 0 || y == 0 || x == png.width - 1 || y == png.height - 1) {
                    brightest = std::max(brightest, png.luminance(x, y));
                }
            }
        }
        EXPECT_LE(brightest, 2.0f) << name;
        EXPECT_GT(centre, 200.0f) << name;
    }
}

TEST(Basin, FloorShowsTheNineByNineGridWhereTheBasinMapsIt) {
    Png png = loadPng("textures/table/table-01-c.png");
    const float low = 0.249382f, high = 0.747358f, field = (high - low) / 9;
    // Texture v counts from the bottom of the picture; lookups are kept on
    // texels whose centres lie on the floor.
    auto texel = [](float t, float size, float first, float last) {
        float lowest = std::ceil(first * size - 0.5f), highest = std::floor(last * size - 0.5f);
        return static_cast<uint32_t>(std::clamp(std::round(t * size - 0.5f), lowest, highest));
    };
    auto luminanceAt = [&](float u, float v) {
        uint32_t x = texel(u, static_cast<float>(png.width), low, high);
        uint32_t y = texel(1 - v, static_cast<float>(png.height), 1 - high, 1 - low);
        return png.luminance(x, y);
    };
    for (int row = 0; row < 9; ++row) {
        float v = low + (row + 0.5f) * field;
        for (int line = 0; line <= 9; ++line) {
            float u = low + line * field;
            float inside = luminanceAt(low + (std::min(line, 8) + 0.5f) * field, v);
            EXPECT_LT(luminanceAt(u, v), 0.6f * inside) << "grid line " << line << " in row " << row;
            // The same lines run across in the other direction.
            float across = luminanceAt(v, low + (std::min(line, 8) + 0.5f) * field);
            EXPECT_LT(luminanceAt(v, u), 0.6f * across) << "grid line " << line << " in column " << row;
        }
    }
}

// ------------------------------------------------------------------ models

TEST(Models, EveryModelParsesWithAnimationAndSkin) {
    for (const std::string name : kModels) {
        SCOPED_TRACE(name);
        Md3 md3 = loadModel(name);
        ASSERT_TRUE(md3.ok);

        // The loader reads every line that starts with an integer as a range.
        int ranges = 0;
        std::istringstream cfg(readText(asset(name + ".cfg")));
        for (std::string line; std::getline(cfg, line);) {
            int first = 0, count = 0, looping = 0, fps = 0;
            if (std::sscanf(line.c_str(), "%d", &first) != 1) {
                continue;
            }
            ASSERT_EQ(std::sscanf(line.c_str(), "%d %d %d %d", &first, &count, &looping, &fps), 4) << line;
            EXPECT_GT(fps, 0);
            EXPECT_GT(count, 0);
            EXPECT_LE(first + count, md3.frames);
            ++ranges;
        }
        EXPECT_GE(ranges, 1);

        std::string skin = readText(asset(name + ".skin"));
        ASSERT_FALSE(skin.empty());
        EXPECT_EQ(skin.back(), '\n') << "the loader drops each line's last character";
        std::string directory = name.substr(0, name.rfind('/'));
        std::vector<int> namedBy(md3.surfaces.size(), 0);
        std::istringstream skinLines(skin);
        for (std::string line; std::getline(skinLines, line);) {
            int matches = 0;
            for (size_t s = 0; s < md3.surfaces.size(); ++s) {
                if (line.find(md3.surfaces[s].name) != std::string::npos) {
                    ++matches;
                    ++namedBy[s];
                }
            }
            EXPECT_EQ(matches, 1) << "line names exactly one surface: " << line;
            size_t slash = line.rfind('/');
            ASSERT_NE(slash, std::string::npos) << line;
            std::string texture = asset(directory + "/" + line.substr(slash + 1));
            Png png = readPng(texture);
            EXPECT_TRUE(png.ok) << png.error;
        }
        for (size_t s = 0; s < md3.surfaces.size(); ++s) {
            EXPECT_EQ(namedBy[s], 1) << md3.surfaces[s].name;
        }
    }
}

struct V3 {
    float x, y, z;
    V3 operator+(const V3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    V3 operator-(const V3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    V3 cross(const V3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    float dot(const V3& o) const { return x * o.x + y * o.y + z * o.z; }
};
// The first frame's position (first = 0) or normal (first = 3) of vertex v.
V3 vertex(const Md3Surface& s, int v, int first) {
    const auto& p = s.vertices[0][v];
    return {p[first], p[first + 1], p[first + 2]};
}
V3 position(const Md3Surface& s, int v) {
    return vertex(s, v, 0);
}
V3 centroid(const Md3Surface& s, const std::array<int32_t, 3>& t) {
    V3 sum = position(s, t[0]) + position(s, t[1]) + position(s, t[2]);
    return {sum.x / 3, sum.y / 3, sum.z / 3};
}
V3 faceNormal(const Md3Surface& s, const std::array<int32_t, 3>& t) {
    return (position(s, t[1]) - position(s, t[0])).cross(position(s, t[2]) - position(s, t[0]));
}

// Share of the non-degenerate triangles whose front (counter-clockwise after
// the loader's reversal) agrees with their vertex normals.
float agreeingShare(const Md3& md3) {
    int agree = 0, total = 0;
    for (const Md3Surface& s : md3.surfaces) {
        for (const auto& t : s.triangles) {
            V3 n = faceNormal(s, t);
            if (n.dot(n) < 1e-10f) {
                continue;
            }
            V3 average{0, 0, 0};
            for (int32_t i : t) {
                average = average + vertex(s, i, 3);
            }
            ++total;
            agree += n.dot(average) > 0;
        }
    }
    return total == 0 ? 0 : static_cast<float>(agree) / total;
}

size_t triangleCount(const Md3& md3) {
    size_t n = 0;
    for (const Md3Surface& s : md3.surfaces) {
        n += s.triangles.size();
    }
    return n;
}

TEST(Figures, StandOnTheirOriginWithinHeightOneAndRadiusAboutHalf) {
    const float tolerance = 1.0f / 64;
    for (int m = 0; m < 4; ++m) {
        SCOPED_TRACE(kModels[m]);
        Md3 md3 = loadModel(kModels[m]);
        ASSERT_TRUE(md3.ok);
        float lowest = 1e9f, highest = -1e9f, widest = 0;
        for (const Md3Surface& s : md3.surfaces) {
            for (const auto& frame : s.vertices) {
                for (const auto& v : frame) {
                    lowest = std::min(lowest, v[2]);
                    highest = std::max(highest, v[2]);
                    widest = std::max(widest, std::hypot(v[0], v[1]));
                }
            }
        }
        EXPECT_GE(lowest, -tolerance);
        EXPECT_LE(lowest, 0.1f) << "stands on its base";
        EXPECT_LE(highest, 1 + tolerance);
        EXPECT_GE(highest, 0.85f);
        EXPECT_LE(widest, 0.62f);
        EXPECT_GE(widest, 0.45f);
    }
}

TEST(Figures, LowDetailVariantsHaveAFractionOfTheTriangles) {
    for (int kind = 0; kind < 2; ++kind) {
        size_t full = triangleCount(loadModel(kModels[2 * kind]));
        size_t low = triangleCount(loadModel(kModels[2 * kind + 1]));
        EXPECT_LE(full, 1000u) << kModels[2 * kind];
        EXPECT_LE(low, 150u) << kModels[2 * kind + 1];
        EXPECT_LE(low * 3, full);
    }
}

TEST(Figures, FrontFacesPointOutwards) {
    for (int m = 0; m < 4; ++m) {
        Md3 md3 = loadModel(kModels[m]);
        ASSERT_TRUE(md3.ok);
        // Seen from the figure's middle, a front face (counter-clockwise after
        // the loader's reversal) looks away from it; an inside-out part would
        // show its back and be culled.
        const V3 middle{0, 0, 0.4f};
        int outwards = 0, total = 0;
        for (const Md3Surface& s : md3.surfaces) {
            for (const auto& t : s.triangles) {
                ++total;
                outwards += faceNormal(s, t).dot(centroid(s, t) - middle) > 0;
            }
        }
        EXPECT_GT(outwards, 0.9f * total) << kModels[m];
        EXPECT_GT(agreeingShare(md3), 0.95f) << kModels[m];
    }
}

TEST(Table, LeavesTheBasinOpeningOpenAboveTheFloor) {
    Md3 md3 = loadModel("models/table/table-outside");
    ASSERT_TRUE(md3.ok);
    // World = 64 * model + (32, 32, -12): the basin floor lies at world z -5.
    const float floorZ = 7.0f / 64, waterZ = 12.0f / 64, inner = 0.5f - 1e-3f;
    bool meetsWaterLine = false;
    for (const Md3Surface& s : md3.surfaces) {
        for (const auto& v : s.vertices[0]) {
            bool overOpening = std::abs(v[0]) < inner && std::abs(v[1]) < inner;
            EXPECT_FALSE(overOpening && v[2] > floorZ) << v[0] << ", " << v[1] << ", " << v[2];
            meetsWaterLine = meetsWaterLine ||
                             (std::abs(std::abs(v[0]) - 0.5f) < 1e-3f && std::abs(v[2] - waterZ) < 1e-3f);
        }
    }
    EXPECT_TRUE(meetsWaterLine) << "the rim starts at the basin's water line";
}

TEST(Table, FrontFacesPointOutOfTheTable) {
    Md3 md3 = loadModel("models/table/table-outside");
    ASSERT_TRUE(md3.ok);
    EXPECT_GT(agreeingShare(md3), 0.95f);
    // Every level face above the water must face up, or the deck would be culled.
    for (const Md3Surface& s : md3.surfaces) {
        for (const auto& t : s.triangles) {
            V3 a = position(s, t[0]), b = position(s, t[1]), c = position(s, t[2]);
            if (a.z == b.z && b.z == c.z && a.z > 12.0f / 64) {
                EXPECT_GT(faceNormal(s, t).z, 0) << s.name << " at z " << a.z;
            }
        }
    }
}

TEST(SkyBox, FacesPointInwardsAtAboutAHundredUnits) {
    Md3 md3 = loadModel("models/skybox/skybox");
    ASSERT_TRUE(md3.ok);
    float extent = 0;
    for (const Md3Surface& s : md3.surfaces) {
        for (const auto& t : s.triangles) {
            V3 a = position(s, t[0]);
            EXPECT_LT(faceNormal(s, t).dot(centroid(s, t)), 0)
                << s.name << " must face the eye at the centre";
            extent = std::max({extent, std::abs(a.x), std::abs(a.y), std::abs(a.z)});
        }
    }
    EXPECT_GE(extent, 90.0f);
    EXPECT_LE(extent, 110.0f);
}

// ------------------------------------------------------------------ sounds

TEST(Sounds, SamplesAre16BitPcmAt44100ShorterThanASecond) {
    for (const char* name : kSounds) {
        Wav wav = loadWav(name);
        ASSERT_TRUE(wav.ok);
        EXPECT_EQ(wav.format, 1) << name;
        EXPECT_EQ(wav.rate, 44100) << name;
        EXPECT_EQ(wav.bits, 16) << name;
        ASSERT_GE(wav.channels, 1);
        EXPECT_LT(wav.samples.size() / wav.channels, 44100u) << name;
    }
}

TEST(Sounds, NoSampleAtFullScaleAndSilentAtBothEnds) {
    for (const char* name : kSounds) {
        Wav wav = loadWav(name);
        ASSERT_TRUE(wav.ok);
        int loudest = 0;
        for (int16_t s : wav.samples) {
            loudest = std::max(loudest, std::abs(static_cast<int>(s)));
        }
        EXPECT_LT(loudest, 32767) << name << " clips";
        EXPECT_GT(loudest, 8000) << name << " is too quiet to hear";
        // A jump from or to silence clicks.
        EXPECT_LT(std::abs(wav.samples.front()), 100) << name;
        EXPECT_LT(std::abs(wav.samples.back()), 100) << name;
    }
}

} // namespace
