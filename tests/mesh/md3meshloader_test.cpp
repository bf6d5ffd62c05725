#include "core/material.h"
#include "core/system.h"
#include "mesh/animatedmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "support/logcapture.h"
#include "support/md3files.h"
#include "support/pngfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Md3Files::Model;

// Log messages with the continuation lines of long ones joined again.
std::vector<std::string> fullMessages(const LogCapture& capture) {
    std::vector<std::string> joined;
    bool continues = false;
    for (std::string message : capture.messages()) {
        const bool cut = !message.empty() && message.back() == '\\';
        if (cut) {
            message.pop_back();
        }
        if (continues) {
            joined.back() += message;
        } else {
            joined.push_back(message);
        }
        continues = cut;
    }
    return joined;
}

size_t countOf(const std::vector<std::string>& messages, const std::string& text) {
    return static_cast<size_t>(std::count(messages.begin(), messages.end(), text));
}

// Loads models from a temporary asset directory; skins become plain
// materials, recorded with their texture paths, so no OpenGL is needed.
class Md3LoaderTest : public ::testing::Test {
protected:
    Md3LoaderTest()
        : loader([this](const std::string& path) {
              texturePaths.push_back(path);
              auto material = std::make_unique<Material>();
              materials.push_back(material.get());
              return material;
          }) {}

    void SetUp() override {
        pathArgument = "path=" + dir.path();
        const char* argv[] = {"sporrik", pathArgument.c_str()};
        System::instance()->setArguments(2, argv);
        std::filesystem::create_directories(dir.file("models/m"));
    }
    void TearDown() override {
        const char* argv[] = {"sporrik"};
        System::instance()->setArguments(1, argv);
    }

    // Writes models/m/<name>.md3, .cfg and .skin.
    void write(const Model& model, const std::string& cfg = "0 1 0 10\n",
               const std::string& skin = "body,models/m/body.png\nhead,models/m/head.png\n",
               const std::string& name = "models/m/m") {
        Md3Files::writeBytes(dir.file(name + ".md3"), Md3Files::encode(model));
        Md3Files::writeText(dir.file(name + ".cfg"), cfg);
        Md3Files::writeText(dir.file(name + ".skin"), skin);
    }

    AnimatedMesh* mesh(MeshGroup& group, int i) { return dynamic_cast<AnimatedMesh*>(group.get(i)); }

    PngFiles::TempDir dir;
    std::string pathArgument;
    std::vector<std::string> texturePaths;
    std::vector<Material*> materials; // not owned: handed to the meshes
    MD3MeshLoader loader;
};

// Normal table and vertex decoding ----------------------------------------------------------

TEST(Md3NormalTable, ZeroLatitudeIsUpForEveryLongitude) {
    const MD3MeshLoader loader([](const std::string&) { return nullptr; });
    EXPECT_EQ(loader.getNormal(0, 0), vec3(0, 0, 1));
    EXPECT_EQ(loader.getNormal(0, 200), vec3(0, 0, 1));
    // A quarter turn of latitude at longitude 0 leans towards x.
    const vec3 side = loader.getNormal(64, 0);
    EXPECT_NEAR(side.x, std::sin(64 * 2 * 3.1415f / 255), 1e-6f);
    EXPECT_EQ(side.y, 0.0f);
}

TEST_F(Md3LoaderTest, VertexRecord_DecodesPositionByOne64thAndTableNormal) {
    Model model;
    Md3Files::Surface surface = Md3Files::quad("body", 1);
    surface.vertices[1] = {64, -128, 32, 0, 0};
    surface.vertices[2] = {0, 0, 0, 64, 0};
    surface.texCoords[1] = {0.25f, -3.5f};
    model.surfaces = {surface};
    write(model);
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    AnimatedMesh* body = mesh(*group, 0);
    ASSERT_NE(body, nullptr);
    body->animate(0, 0.0);
    EXPECT_EQ(body->getPositions()[1], vec3(1, -2, 0.5f));
    EXPECT_EQ(body->getNormals()[1], vec3(0, 0, 1));
    EXPECT_NEAR(body->getNormals()[2].length(), 1.0f, 1e-6f);
    EXPECT_GT(body->getNormals()[2].x, 0.99f);
    EXPECT_EQ(body->getTexCoords(0)[1], vec2(0.25f, -3.5f));
}

TEST_F(Md3LoaderTest, Triangles_AreReversed) {
    write(Md3Files::sample());
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    const DynamicMesh::Triangle* triangles = mesh(*group, 0)->getTriangles(0);
    ASSERT_EQ(mesh(*group, 0)->getFaceCount(0), 2);
    EXPECT_EQ(triangles[0].v[0], 0u);
    EXPECT_EQ(triangles[0].v[1], 2u);
    EXPECT_EQ(triangles[0].v[2], 1u);
    EXPECT_EQ(triangles[1].v[1], 3u);
}

TEST_F(Md3LoaderTest, TrianglesWithIndexOutsideVertices_AreDroppedWithLogLine) {
    Model model = Md3Files::sample();
    model.surfaces[0].triangles = {{0, 1, 4}, {0, 1, 2}, {-1, 0, 1}, {2, 3, 0}};
    write(model);
    LogCapture capture;
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    const AnimatedMesh* body = mesh(*group, 0);
    ASSERT_EQ(body->getFaceCount(0), 2);
    EXPECT_EQ(body->getTriangles(0)[0].v[1], 2u);
    EXPECT_EQ(body->getTriangles(0)[1].v[0], 2u);
    EXPECT_EQ(countOf(fullMessages(capture), "Mesh: body: 2 faces with vertex indices out of range dropped"),
              1u);
}

// File names -------------------------------------------------------------------------------

TEST_F(Md3LoaderTest, NameWithoutExtension_ReadsTheSameThreeFiles) {
    write(Md3Files::sample());
    LogCapture capture;
    EXPECT_NE(loader.load("models/m/m"), nullptr);
    EXPECT_NE(loader.load("models/m/m.other"), nullptr);
    const auto messages = fullMessages(capture);
    EXPECT_EQ(countOf(messages, "opening " + dir.file("models/m/m.cfg")), 2u);
    EXPECT_EQ(countOf(messages, "opening " + dir.file("models/m/m.skin")), 2u);
}

TEST_F(Md3LoaderTest, DotInDirectoryName_DoesNotCutTheBaseName) {
    std::filesystem::create_directories(dir.file("models/v1.2"));
    write(Md3Files::sample(), "0 1 0 10\n", "body,x/body.png\n", "models/v1.2/m");
    LogCapture capture;
    auto group = loader.load("models/v1.2/m");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(countOf(fullMessages(capture), "opening " + dir.file("models/v1.2/m.cfg")), 1u);
    EXPECT_EQ(texturePaths, std::vector<std::string>{"models/v1.2/body.png"});
}

TEST_F(Md3LoaderTest, ModelInAssetRoot_TakesTexturesFromTheRoot) {
    write(Md3Files::sample(), "0 1 0 10\n", "body,elsewhere/body.png\n", "root");
    ASSERT_NE(loader.load("root.md3"), nullptr);
    EXPECT_EQ(texturePaths, std::vector<std::string>{"body.png"});
}

// Animation file -----------------------------------------------------------------------------

TEST_F(Md3LoaderTest, Cfg_TextLinesSkippedAndRangesBecomeSequencesInOrder) {
    Model model;
    model.frameCount = 40;
    model.surfaces = {Md3Files::quad("body", 40)};
    write(model, "sex m\n0 30 0 20\n// comment\n\n30 10 10 15\n");
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    AnimatedMesh* body = mesh(*group, 0);
    ASSERT_EQ(body->getSequenceCount(), 2);
    const AnimationSequence* first = body->getSequence(0);
    const AnimationSequence* second = body->getSequence(1);
    ASSERT_EQ(first->getKeyCount(), 30u);
    EXPECT_EQ(first->getKey(29)->duration, 0.05);
    EXPECT_EQ(first->getKey(29)->frame, 29u);
    ASSERT_EQ(second->getKeyCount(), 10u);
    EXPECT_EQ(second->getKey(0)->duration, 1.0 / 15);
    // Sequence 1 starts at MD3 frame 30, whose vertices lie at y = 30.
    EXPECT_EQ(second->getFrame(0)->positions[0], vec3(0, 30, 0));
}

TEST_F(Md3LoaderTest, Cfg_RangePastTheFrames_UsesNearestFrameAndLogs) {
    write(Md3Files::sample(), "1 4 0 10\n-2 1 0 10\n");
    LogCapture capture;
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    const AnimationSequence* late = mesh(*group, 0)->getSequence(0);
    ASSERT_EQ(late->getFrameCount(), 4u);
    EXPECT_EQ(late->getFrame(1)->positions[1], vec3(1, 2, 0));
    EXPECT_EQ(late->getFrame(2)->positions[1], vec3(1, 2, 0));
    EXPECT_EQ(late->getFrame(3)->positions[1], vec3(1, 2, 0));
    EXPECT_EQ(mesh(*group, 0)->getSequence(1)->getFrame(0)->positions[1], vec3(1, 0, 0));
    // Frames 3 and 4 and frame -2, for each of the two surfaces.
    EXPECT_EQ(countOf(fullMessages(capture), "animation frame out of bounds"), 6u);
}

TEST_F(Md3LoaderTest, Cfg_ShortLinesAndNonPositiveRatesAreSkippedWithLogLines) {
    write(Md3Files::sample(),
          "0 2 0\n0 2 0 0\n0 2 0 -5\n99999999999 1 0 10\n0 1 0 99999999999\n0 5000 0 10\n  +1 2 0 10\n");
    LogCapture capture;
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(mesh(*group, 0)->getSequenceCount(), 1);
    EXPECT_EQ(mesh(*group, 0)->getSequence(0)->getFrame(0)->positions[0], vec3(0, 1, 0));
    const auto messages = fullMessages(capture);
    EXPECT_EQ(countOf(messages, "animation range skipped, it needs four numbers: 0 2 0"), 1u);
    EXPECT_EQ(countOf(messages, "animation range skipped, its frame rate is not positive: 0 2 0 0"), 1u);
    EXPECT_EQ(countOf(messages, "animation range skipped, its frame rate is not positive: 0 2 0 -5"), 1u);
    EXPECT_EQ(countOf(messages, "animation range skipped, a number is out of range: 99999999999 1 0 10"), 1u);
    EXPECT_EQ(countOf(messages, "animation range skipped, a number is out of range: 0 1 0 99999999999"), 1u);
    EXPECT_EQ(countOf(messages, "animation range skipped, it has more than 1024 frames: 0 5000 0 10"), 1u);
}

// Skin file ---------------------------------------------------------------------------------

TEST_F(Md3LoaderTest, Skin_TextureFromModelDirectoryWithOnlyTheLineEndStripped) {
    write(Md3Files::sample(), "0 1 0 10\n", "body,textures/other/body.png\r\nhead,models/x/head.png");
    LogCapture capture;
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(texturePaths, (std::vector<std::string>{"models/m/body.png", "models/m/head.png"}));
    EXPECT_EQ(countOf(fullMessages(capture), "loading skin texture from models/m/head.png"), 1u);
    EXPECT_EQ(group->get(0)->getMaterial(), materials[0]);
    EXPECT_EQ(group->get(1)->getMaterial(), materials[1]);
}

TEST_F(Md3LoaderTest, Skin_LineWithoutSlash_TakesTextAfterLastComma) {
    write(Md3Files::sample(), "0 1 0 10\n", "body,skins,body.png\nhead, head.png \n");
    ASSERT_NE(loader.load("models/m/m.md3"), nullptr);
    EXPECT_EQ(texturePaths, (std::vector<std::string>{"models/m/body.png", "models/m/head.png"}));
}

TEST_F(Md3LoaderTest, Skin_LaterLineReplacesEarlierAndEmptyNameIsSkipped) {
    write(Md3Files::sample(), "0 1 0 10\n", "body,a/first.png\nbody,a/second.png\nhead,\n");
    LogCapture capture;
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(group->get(0)->getMaterial(), materials[1]);
    EXPECT_EQ(group->get(1)->getMaterial(), nullptr);
    const auto messages = fullMessages(capture);
    EXPECT_EQ(countOf(messages, "skin line names no texture: head,"), 1u);
    EXPECT_EQ(countOf(messages, "Material is set to NULL"), 1u);
}

TEST_F(Md3LoaderTest, Skin_SurfaceNameMatchesAnywhereInTheLine) {
    write(Md3Files::sample(), "0 1 0 10\n", "upper_body_lod0,a/body.png\n");
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    EXPECT_NE(group->get(0)->getMaterial(), nullptr);
    EXPECT_EQ(group->get(1)->getMaterial(), nullptr);
}

TEST_F(Md3LoaderTest, Skin_FactoryException_PassesThroughAndNextLoadStartsClean) {
    write(Md3Files::sample());
    MD3MeshLoader throwing([](const std::string& path) -> std::unique_ptr<Material> {
        if (path == "models/m/head.png") {
            throw std::runtime_error("no texture");
        }
        return std::make_unique<Material>();
    });
    EXPECT_THROW(throwing.load("models/m/m.md3"), std::runtime_error);
    write(Md3Files::sample(), "0 1 0 10\n", "body,a/body.png\n");
    auto group = throwing.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    EXPECT_NE(group->get(0)->getMaterial(), nullptr);
    EXPECT_EQ(group->get(1)->getMaterial(), nullptr);
}

// Log lines and failures -------------------------------------------------------------------

TEST_F(Md3LoaderTest, Load_WritesTheModelSummary) {
    Model model = Md3Files::sample();
    model.surfaces[1].texCoords.clear();
    model.surfaces[1].vertices.clear();
    model.surfaces[1].triangles.clear();
    write(model, "0 2 0 10\n", "body,a/body.png\n");
    LogCapture capture;
    ASSERT_NE(loader.load("models/m/m.md3"), nullptr);
    for (const auto& line : capture.lines()) {
        EXPECT_EQ(line.rfind("DEBUG   from global          :", 0), 0u) << line;
    }
    const std::vector<std::string> expected = {
        "opening " + dir.file("models/m/m.cfg"),
        "opening " + dir.file("models/m/m.skin"),
        "loading skin texture from models/m/body.png",
        "Model has 2 meshes",
        "Mesh: body has 1 Animation sequences with 4 vertices and 2 faces.",
        "Sequence 0 has 2 frames",
        "Mesh: head has 1 Animation sequences with 0 vertices and 0 faces.",
        "Sequence 0 has 2 frames",
        "0 vertices in animation frame",
        "0 vertices in animation frame",
        "Material is set to NULL",
    };
    EXPECT_EQ(fullMessages(capture), expected);
}

TEST_F(Md3LoaderTest, MissingMd3_LogsAndReturnsNull) {
    LogCapture capture;
    EXPECT_EQ(loader.load("models/m/none.md3"), nullptr);
    const std::vector<std::string> expected = {"MD3 file " + dir.file("models/m/none.md3") +
                                                   " could not be opened.",
                                               "an error occured reading the MD3 file"};
    EXPECT_EQ(fullMessages(capture), expected);
}

TEST_F(Md3LoaderTest, WrongIdentifierOrVersion_LogsInvalidHeader) {
    for (const size_t at : {0u, 4u}) {
        std::vector<uint8_t> bytes = Md3Files::encode(Md3Files::sample());
        bytes[at] ^= 1;
        write(Md3Files::sample());
        Md3Files::writeBytes(dir.file("models/m/m.md3"), bytes);
        LogCapture capture;
        EXPECT_EQ(loader.load("models/m/m.md3"), nullptr);
        const std::vector<std::string> expected = {"invalid MD3 header version",
                                                   "an error occured reading the MD3 file"};
        EXPECT_EQ(fullMessages(capture), expected);
    }
}

TEST_F(Md3LoaderTest, MissingCfgOrSkin_LogsAndReturnsNull) {
    for (const char* missing : {"models/m/m.cfg", "models/m/m.skin"}) {
        write(Md3Files::sample());
        std::filesystem::remove(dir.file(missing));
        LogCapture capture;
        EXPECT_EQ(loader.load("models/m/m.md3"), nullptr);
        const auto messages = fullMessages(capture);
        ASSERT_GE(messages.size(), 2u);
        EXPECT_EQ(messages[messages.size() - 2], "opening " + dir.file(missing));
        EXPECT_EQ(messages.back(), "an error occured reading the animations and skin files");
    }
}

TEST_F(Md3LoaderTest, SurfaceNameWithoutTerminatingZero_IsCutAtItsField) {
    Model model = Md3Files::sample();
    model.surfaces[0].name = std::string(Md3Files::kNameSize, 'b');
    write(model, "0 1 0 10\n", std::string(Md3Files::kNameSize, 'b') + ",x/long.png\n");
    LogCapture capture;
    auto group = loader.load("models/m/m.md3");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(texturePaths, std::vector<std::string>{"models/m/long.png"});
    EXPECT_EQ(countOf(fullMessages(capture), "Mesh: " + std::string(Md3Files::kNameSize, 'b') +
                                                 " has 1 Animation sequences with 4 vertices and 2 faces."),
              1u);
}

TEST_F(Md3LoaderTest, DamagedFile_NamesTheProblemBeforeTheErrorLine) {
    std::vector<uint8_t> bytes = Md3Files::encode(Md3Files::sample());
    bytes.resize(bytes.size() - 1);
    write(Md3Files::sample());
    Md3Files::writeBytes(dir.file("models/m/m.md3"), bytes);
    LogCapture capture;
    EXPECT_EQ(loader.load("models/m/m.md3"), nullptr);
    const std::vector<std::string> expected = {
        "MD3 file " + dir.file("models/m/m.md3") +
            " is damaged: surface 1: the vertices lie outside the file",
        "an error occured reading the MD3 file"};
    EXPECT_EQ(fullMessages(capture), expected);
}

} // namespace
