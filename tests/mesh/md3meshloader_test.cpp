#include "mesh/animatedmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "resources/material.h"
#include "support/assettest.h"
#include "support/md3files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

using Md3Files::Model;

constexpr const char* kModel = "models/m/m.md3";

// Loads models from a temporary asset root; skins become plain materials,
// recorded with their texture paths, so no OpenGL is needed.
class Md3LoaderTest : public ::testing::Test {
protected:
    Md3LoaderTest()
        : loader([this](const std::string& path) {
              auto material = std::make_unique<Material>();
              skinTextures[material.get()] = path;
              return material;
          }) {
        std::filesystem::create_directories(assets.file("models/m"));
    }

    // Writes <name>.md3, .cfg and .skin.
    void write(const Model& model, const std::string& cfg = "0 1 0 10\n",
               const std::string& skin = "body,models/m/body.png\nhead,models/m/head.png\n",
               const std::string& name = "models/m/m") {
        Md3Files::writeFile(assets.file(name + ".md3"), Md3Files::encode(model));
        Md3Files::writeFile(assets.file(name + ".cfg"), cfg);
        Md3Files::writeFile(assets.file(name + ".skin"), skin);
    }
    // The texture path of mesh i's material, "" for none.
    std::string skinOf(const MeshGroup& group, int i) const {
        const auto found = skinTextures.find(group.get(i)->getMaterial());
        return found == skinTextures.end() ? "" : found->second;
    }

    TempAssets assets;
    LogCapture quiet;
    const Model model = Md3Files::sample();
    const std::vector<uint8_t> valid = Md3Files::encode(model);
    std::map<const Material*, std::string> skinTextures; // keys not owned: the meshes' materials
    MD3MeshLoader loader;
};

TEST_F(Md3LoaderTest, SurfaceRecords_DecodeVerticesTrianglesAndName) {
    // A name filling its field leaves no terminating zero.
    const std::string name(Md3Files::kNameSize, 'b');
    Model surface{1, 0, {Md3Files::quad(name, 1)}};
    surface.surfaces[0].vertices[1] = {64, -128, 32, 0, 0};
    surface.surfaces[0].vertices[2] = {0, 0, 0, 64, 0};
    surface.surfaces[0].texCoords[1] = {0.25f, -3.5f};
    surface.surfaces[0].triangles = {{0, 1, 4}, {0, 1, 2}, {-1, 0, 1}, {2, 3, 0}};
    write(surface, "0 1 0 10\n", name + ",x/long.png\n");
    auto group = loader.load(kModel);
    ASSERT_NE(group, nullptr);
    AnimatedMesh* body = dynamic_cast<AnimatedMesh*>(group->get(0));
    body->animate(0, 0.0);
    EXPECT_EQ(body->getPositions()[1], vec3(1, -2, 0.5f));
    EXPECT_EQ(body->getNormals()[1], vec3(0, 0, 1));
    EXPECT_NEAR(body->getNormals()[2].length(), 1.0f, 1e-6f);
    EXPECT_GT(body->getNormals()[2].x, 0.99f);
    EXPECT_EQ(body->getTexCoords(0)[1], vec2(0.25f, -3.5f));
    // Triangles are reversed; those naming a vertex the surface lacks are dropped.
    ASSERT_EQ(body->getFaceCount(0), 2);
    const DynamicMesh::Triangle* t = body->getTriangles(0);
    EXPECT_EQ((std::vector<uint32_t>{t[0].v[0], t[0].v[1], t[0].v[2], t[1].v[0], t[1].v[1], t[1].v[2]}),
              (std::vector<uint32_t>{0, 2, 1, 2, 0, 3}));
    EXPECT_EQ(skinOf(*group, 0), "models/m/long.png");
}

// The side files are those of the name without its extension; skins come from the model's directory.
TEST_F(Md3LoaderTest, FileName_ReadsTheThreeFilesOfItsBaseAndSkinsFromItsDirectory) {
    const struct {
        const char *written, *loaded, *texture;
    } cases[] = {
        {"models/m/m", "models/m/m.md3", "models/m/body.png"},
        {"models/m/m", "models/m/m", "models/m/body.png"},
        {"models/m/m", "models/m/m.other", "models/m/body.png"},
        {"models/v1.2/m", "models/v1.2/m", "models/v1.2/body.png"}, // a dot in a directory name
        {"root", "root.md3", "body.png"},
        {"models/.m", "models/.m", "models/body.png"}, // a dot starting the name
    };
    for (const auto& c : cases) {
        std::filesystem::create_directories(std::filesystem::path(assets.file(c.written)).parent_path());
        write(model, "0 1 0 10\n", "body,elsewhere/body.png\n", c.written);
        SCOPED_TRACE(c.loaded);
        auto group = loader.load(c.loaded);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(skinOf(*group, 0), c.texture);
    }
}

TEST_F(Md3LoaderTest, Cfg_RangesBecomeSequences_MalformedLinesSkipped) {
    // Too few numbers, a frame rate not positive, a number beyond 32 bits, more than 1024 frames.
    const std::string skipped =
        "0 2 0\n0 2 0 0\n0 2 0 -5\n99999999999 1 0 10\n0 1 0 99999999999\n0 5000 0 10\n";
    // Ranges reaching past the surface's 40 frames or below 0 use the nearest frame.
    write(Model{40, 0, {Md3Files::quad("body", 40)}},
          "sex m\n0 30 0 20\n// comment\n\n" + skipped + "  +30 10 10 15\n38 4 0 10\n-2 1 0 10\n");
    auto group = loader.load(kModel);
    ASSERT_NE(group, nullptr);
    const AnimatedMesh* body = dynamic_cast<AnimatedMesh*>(group->get(0));
    ASSERT_EQ(body->getSequenceCount(), 4);
    ASSERT_EQ(body->getSequence(0)->getKeyCount(), 30u);
    EXPECT_EQ(body->getSequence(0)->getKey(29)->duration, 0.05);
    EXPECT_EQ(body->getSequence(0)->getKey(29)->frame, 29u);
    ASSERT_EQ(body->getSequence(1)->getKeyCount(), 10u);
    EXPECT_EQ(body->getSequence(1)->getKey(0)->duration, 1.0 / 15);
    // Frame f of the surface lies at y = f.
    const float firstY[] = {0, 30, 38, 0};
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(body->getSequence(s)->getFrame(0)->positions[0], vec3(0, firstY[s], 0)) << s;
    }
    for (size_t f = 1; f < 4; ++f) {
        EXPECT_EQ(body->getSequence(2)->getFrame(f)->positions[0], vec3(0, 39, 0)) << f;
    }
}

// A short file of long ranges: only the ranges within a million decoded
// vertices are built, 256 of 1024 frames of the quad's 4 vertices.
TEST_F(Md3LoaderTest, Cfg_RangesBeyondTheDecodedVertexBudget_AreSkipped) {
    std::string cfg;
    for (int i = 0; i < 300; ++i) {
        cfg += "0 1024 0 10\n";
    }
    write(Model{1, 0, {Md3Files::quad("body", 1)}}, cfg);
    auto group = loader.load(kModel);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(dynamic_cast<AnimatedMesh*>(group->get(0))->getSequenceCount(), 256);
}

TEST_F(Md3LoaderTest, SkinLines_GiveTheSurfacesTheyNameTheirTextures) {
    const struct {
        const char *skin, *body, *head;
    } cases[] = {
        // Only the line end is stripped, CR and LF alike.
        {"body,textures/other/body.png\r\nhead,models/x/head.png", "models/m/body.png", "models/m/head.png"},
        // Without "/", the text after the last comma, blanks trimmed.
        {"body,skins,body.png\nhead, head.png \n", "models/m/body.png", "models/m/head.png"},
        {"body,a/first.png\nbody,a/second.png\nhead,\n", "models/m/second.png", ""},
        {"upper_body_lod0,a/body.png\n", "models/m/body.png", ""},
    };
    for (const auto& c : cases) {
        write(model, "0 1 0 10\n", c.skin);
        SCOPED_TRACE(c.skin);
        auto group = loader.load(kModel);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(skinOf(*group, 0), c.body);
        EXPECT_EQ(skinOf(*group, 1), c.head);
    }
}

TEST_F(Md3LoaderTest, UnreadableFiles_GiveNullAndSayWhy) {
    const std::string base = assets.file("models/m/m");
    const auto zeroed = [&](size_t at, size_t count) {
        std::vector<uint8_t> bytes = valid;
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), count, 0);
        return bytes;
    };
    // A surface ending inside its own header would not move the reading on.
    const auto noEnd = zeroed(Md3Files::firstSurfaceOffset(model) + Md3Files::kSurfaceHeaderSize - 4, 4);
    const std::string wrongHeader = "the MD3 file has a wrong identifier or version";
    const struct {
        const char* removed;
        std::vector<uint8_t> md3;
        std::string failure;
    } cases[] = {
        {".md3", valid, "the MD3 file could not be opened"},
        {"", zeroed(0, 1), wrongHeader},
        {"", zeroed(4, 1), wrongHeader},
        {"", std::vector<uint8_t>(valid.begin(), valid.end() - 1),
         "the MD3 file is damaged: surface 1: the vertices lie outside the file"},
        {"", noEnd, "the MD3 file is damaged: surface 0: the end offset lies outside the file"},
        {".cfg", valid, "models/m/m.cfg could not be opened"},
        {".skin", valid, "models/m/m.skin could not be opened"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        write(model);
        Md3Files::writeFile(base + ".md3", c.md3);
        if (*c.removed != '\0') {
            std::filesystem::remove(base + c.removed);
        }
        EXPECT_EQ(loader.load(kModel), nullptr);
        EXPECT_EQ(loader.getFailure(), c.failure);
    }
    write(model);
    ASSERT_NE(loader.load(kModel), nullptr);
    EXPECT_EQ(loader.getFailure(), "");
}

TEST_F(Md3LoaderTest, EveryTruncation_GivesNull) {
    write(model, "0 3 0 10\n1 2 0 5\n");
    ASSERT_NE(loader.load(kModel), nullptr);
    for (size_t length = 0; length < valid.size(); ++length) {
        Md3Files::writeFile(assets.file(kModel), std::vector<uint8_t>(valid.begin(), valid.begin() + length));
        EXPECT_EQ(loader.load(kModel), nullptr) << "length " << length;
    }
}

} // namespace
