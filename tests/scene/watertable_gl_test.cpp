#include <GL/glew.h>

#include "base/tools.h"
#include "resources/material.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "support/assettest.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

class RunningHost : public SceneHost {
public:
    bool isGamePaused() const override { return false; }
    void returnToMenus() override { ++returns; }
    int returns = 0;
};

// Window positions (from the bottom) of the figures in the corners, seen
// from the initial orbit camera.
constexpr int kSlimeX = 71;
constexpr int kSlimeY = GlTest::kHeight - 515;
constexpr int kSpikeX = 714;
constexpr int kSpikeY = GlTest::kHeight - 228;

struct Rgb {
    int r, g, b;
};

// Summed colour of the square of kBox pixels centred on (x, y).
constexpr int kBox = 40;
Rgb around(int x, int y) {
    const std::vector<uint8_t> rgba = GlTest::readPixels(x - kBox / 2, y - kBox / 2, kBox, kBox);
    Rgb sum{0, 0, 0};
    for (size_t i = 0; i < rgba.size(); i += 4) {
        sum.r += rgba[i];
        sum.g += rgba[i + 1];
        sum.b += rgba[i + 2];
    }
    return sum;
}

// A new game between two humans, shown and drawn.
void showNewGame(WaterTable& table) {
    GameBoard& board = table.getBoard();
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    for (int i = 0; i < 4; ++i) {
        table.render(0.1, 0.5f);
    }
}

// Mean colour of a small block at the middle of a width x height window
// after two frames; anything drawn before (a menu) is painted green.
std::array<double, 3> middleColour(WaterTable& table, int width, int height) {
    constexpr int kBlock = 9;
    glViewport(0, 0, width, height);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int frame = 0; frame < 2; ++frame) {
        table.render(0.02, 0.5f);
    }
    const std::vector<uint8_t> pixels =
        GlTest::readPixels(width / 2 - kBlock / 2, height / 2 - kBlock / 2, kBlock, kBlock);
    std::array<double, 3> mean{};
    for (size_t i = 0; i < pixels.size(); i += 4) {
        for (int k = 0; k < 3; ++k) {
            mean[k] += pixels[i + k] / double(kBlock * kBlock);
        }
    }
    return mean;
}

} // namespace

// Without any asset the scene still plays: the figures stand in as spheres
// in their sides' colours, slimes green and spikes crimson.
TEST(WaterTableGl, MissingModels_FiguresBecomeSpheresInTheirSidesColours) {
    TempAssets empty;
    LogCapture log;
    RunningHost host;
    WaterTable table(host);
    table.attach();
    showNewGame(table);
    const Rgb slime = around(kSlimeX, kSlimeY);
    const Rgb spike = around(kSpikeX, kSpikeY);
    EXPECT_GT(slime.g, 2 * slime.r);
    EXPECT_GT(spike.r, 2 * spike.g);
    EXPECT_TRUE(log.has("models/sporlet/spr-slime.md3 not loaded"));
    EXPECT_TRUE(log.has("models/table/table-outside.md3 not loaded"));
    table.detach();
    Material::resetLastApplied();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(WaterTableGl, GeneratedAssets_LoadDrawAndReleaseAgain) {
    setAssetDirectory(assetDir());
    RunningHost host;
    WaterTable table(host);
    LogCapture log;
    for (int round = 0; round < 2; ++round) {
        table.attach();
        showNewGame(table);
        EXPECT_EQ(table.countShownFigures(GameBoard::kPlayer1), 1);
        EXPECT_FALSE(log.has("not loaded")) << log.lines().front();
        table.detach();
    }
    setAssetDirectory("");
    Material::resetLastApplied();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The pass pictures must not depend on the window: a window smaller than
// them shows the same water as a large one.
TEST(WaterTableGl, SmallWindow_ShowsTheSameWaterAsALargeOne) {
    GlTest::ensureContext();
    setAssetDirectory(assetDir());
    LogCapture logs;
    RunningHost host;
    WaterTable table(host);
    table.attach();
    const std::array<double, 3> large = middleColour(table, GlTest::kWidth, GlTest::kHeight);
    const std::array<double, 3> small = middleColour(table, 400, 300);
    table.detach();
    setAssetDirectory("");
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);

    EXPECT_GT(large[0] + large[1] + large[2], 100.0); // the water is there
    EXPECT_GT(large[2], large[0]);                    // and blue, not the red mirror background
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(small[k], large[k], 12.0) << "channel " << k;
    }
}
