#include <GL/glew.h>

#include "mesh/vectormath.h"
#include "resources/material.h"
#include "scene/basin.h"
#include "scene/lightlist.h"
#include "scene/skybox.h"
#include "scene/tablescene.h"
#include "support/assettest.h"
#include "support/glcontext.h"
#include "support/md3files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

namespace {

// The basin from above with fog and no textures: the floor's shade follows
// the fog depth, the lip's reach the sampled area.
std::vector<uint8_t> drawn(Basin& basin, float fogDepth, const std::array<float, 4>& area) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 84, -20, 84, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    basin.draw(0.0, false, true, fogDepth, area);
    glDisable(GL_LIGHTING);
    Material::resetLastApplied();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    return GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
}

// The basin keeps what it blends between frames: drawn again after the fog
// depth or the sampled area changed, it must look as a new basin does.
TEST(BasinGl, DrawnAgainAfterAChange_LooksAsANewBasin) {
    const std::array<float, 4> board = {0, 0, 64, 64}, ripples = {-12, -3, 70, 80};
    Basin kept, deepNew, ripplesNew;
    const std::vector<uint8_t> shallow = drawn(kept, 0.5f, board);
    const std::vector<uint8_t> deep = drawn(kept, 0.1f, board);
    const std::vector<uint8_t> wide = drawn(kept, 0.1f, ripples);
    EXPECT_NE(deep, shallow);
    EXPECT_NE(wide, deep);
    EXPECT_EQ(deep, drawn(deepNew, 0.1f, board));
    EXPECT_EQ(wide, drawn(ripplesNew, 0.1f, ripples));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace

// A sky model whose skin names no texture: nothing is changed or drawn, and
// the reason is logged once.
TEST(SkyBoxGl, ModelWithoutTextures_IsNotDrawn) {
    TempAssets assets;
    std::filesystem::create_directories(assets.file("models/skybox"));
    const std::string base = assets.file("models/skybox/skybox");
    Md3Files::writeFile(base + ".md3", Md3Files::encode(Md3Files::sample()));
    Md3Files::writeFile(base + ".cfg", std::string("0 1 0 10\n"));
    Md3Files::writeFile(base + ".skin", std::string());
    LogCapture log;
    SkyBox sky;
    sky.load();
    EXPECT_FALSE(sky.isLoaded());
    const auto& lines = log.lines();
    EXPECT_EQ(std::count_if(
                  lines.begin(), lines.end(),
                  [](const std::string& line) { return line.find("no sky is drawn") != std::string::npos; }),
              1);

    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    sky.draw(vec3(0, 0, 0));
    const std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i] + pixels[i + 1] + pixels[i + 2], 0) << "drawn at pixel " << i / 4;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {

std::array<float, 4> light(int i, GLenum name) {
    std::array<float, 4> value{};
    glGetLightfv(static_cast<GLenum>(GL_LIGHT0 + i), name, value.data());
    return value;
}

} // namespace

// The scene's lights; slots an earlier scene left on are switched off.
TEST(LightListGl, Apply_SetsEachLightAndSwitchesTheOtherSlotsOff) {
    glPushAttrib(GL_LIGHTING_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int i = 0; i < LightList::kMaxLights; ++i) {
        glEnable(static_cast<GLenum>(GL_LIGHT0 + i));
    }
    LightList lights;
    lights.add({1, 2, 3}, true, {1, 0.5f, 0.25f}, 0.0f);
    lights.add({0, 0, -1}, false, {0, 0, 1}, 0.75f);
    lights.apply();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int i = 0; i < LightList::kMaxLights; ++i) {
        EXPECT_EQ(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + i)), i < 2 ? GL_TRUE : GL_FALSE) << i;
    }
    EXPECT_EQ(light(0, GL_POSITION), (std::array<float, 4>{1, 2, 3, 1}));
    EXPECT_EQ(light(1, GL_POSITION), (std::array<float, 4>{0, 0, -1, 0}));
    EXPECT_EQ(light(0, GL_DIFFUSE), (std::array<float, 4>{1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(light(1, GL_SPECULAR), (std::array<float, 4>{0, 0, 1, 1}));
    float attenuation = -1.0f;
    glGetLightfv(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, &attenuation);
    EXPECT_EQ(attenuation, 0.75f);
    glPopAttrib();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The shortcuts that make a frame faster must not change its picture: fixed
// scenes (scene clock paused, camera fixed) are drawn with them and the plain
// way in the same run and compared pixel by pixel. The refraction pass draws
// no sky either way: along the basin's rim the water samples that picture
// beyond the basin, where a sky would show.
namespace {

// Each player fills a block of fields from its corner by splits, a gap of
// rows between the blocks.
constexpr int kBlockColumns = 7;
constexpr int kBlockRows = 3;
constexpr int kLast = GameBoard::kBoardSize - 1;
// Pixels where the table's mesh leaves a crack: the plain way shows the sky
// through it, the covered rows leave it black.
constexpr int kCracks = 8;

void fillBlocks(GameBoard& board) {
    for (int y = 0; y < kBlockRows; ++y) {
        for (int x = 0; x < kBlockColumns; ++x) {
            if (x + y == 0) {
                continue;
            }
            // From the neighbour filled before: left, else below.
            const int fromX = x > 0 ? x - 1 : x;
            const int fromY = x > 0 ? y : y - 1;
            ASSERT_TRUE(board.performMove(fromX, fromY, x, y));
            ASSERT_TRUE(board.performMove(kLast - fromX, kLast - fromY, kLast - x, kLast - y));
        }
    }
}

class ScenePictureGl : public TableSceneGl {
protected:
    void SetUp() override {
        TableSceneGl::SetUp();
        table.setQuality(SceneQuality(SceneQuality::Level::Full));
        fillBlocks(newHumanGame());
        table.attach();
        // Small frames of a second finish each move animation at once.
        glViewport(0, 0, 64, 48);
        for (int frame = 0;
             frame < 400 && table.countShownFigures(GameBoard::kPlayer2) < kBlockColumns * kBlockRows;
             ++frame) {
            table.render(1.0, 0.0f);
        }
        ASSERT_EQ(table.countShownFigures(GameBoard::kPlayer1), kBlockColumns * kBlockRows);
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

    // Frames until two in a row agree: every seventh frame or so of the paused
    // scene differs by a shade over the water, whatever the shortcuts.
    std::vector<uint8_t> picture(bool shortcuts) {
        table.setShortcuts(shortcuts);
        std::vector<uint8_t> last;
        for (int frame = 0; frame < 10; ++frame) {
            table.render(0.0, 0.0f);
            std::vector<uint8_t> now = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            if (now == last) {
                break;
            }
            last = std::move(now);
        }
        return last;
    }

    void expectTheSamePictureBothWays() {
        const std::vector<uint8_t> fast = picture(true);
        const std::vector<uint8_t> plain = picture(false);
        int differing = 0;
        for (size_t i = 0; i < fast.size(); i += 4) {
            differing += std::equal(&fast[i], &fast[i + 3], &plain[i]) ? 0 : 1;
        }
        EXPECT_LE(differing, kCracks);
    }
};

} // namespace

TEST_F(ScenePictureGl, ShortcutsChangeNoPixel_FromTheOrbitAndFromLowOverTheWater) {
    expectTheSamePictureBothWays();
    // A reduced scale: the covered rows are rows of the smaller picture.
    table.fixScale(60);
    expectTheSamePictureBothWays();
    table.fixScale(100);
    table.setPosition(32.0f, -12.0f, 16.0f);
    table.lookAt(32.0f, 40.0f, 0.0f);
    expectTheSamePictureBothWays();
}
