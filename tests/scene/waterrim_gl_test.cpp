// The water at its rim: what the passes leave undrawn must never show through.
#include <GL/glew.h>

#include "base/tools.h"
#include "input/inputevent.h"
#include "resources/material.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

class RunningHost : public SceneHost {
public:
    bool isGamePaused() const override { return false; }
    void returnToMenus() override {}
};

// The refraction picture's background, blue, mixed with the reflection: far
// bluer than anything the scene lights.
constexpr int kVividBlue = 77;
// Pictures drawn anew may round a few levels differently.
constexpr int kChannelTolerance = 8;

int vividBluePixels(int width, int height) {
    const std::vector<uint8_t> rgba = GlTest::readPixels(0, 0, width, height);
    int count = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        count += rgba[i + 2] > std::max(rgba[i], rgba[i + 1]) + kVividBlue;
    }
    return count;
}

struct View {
    const char* name;
    int key;        // held to reach the view from the default one, and its
    double seconds; // opposite as long to come back; 0: none
    int width;
    int height;
};

// The orbit's elevation moves a radian a second: from 0.5 to its highest 1.5
// and its lowest 0.2.
const View kViews[] = {{"default", 0, 0.0, GlTest::kWidth, GlTest::kHeight},
                       {"steep", KeyArrowUp, 1.0, GlTest::kWidth, GlTest::kHeight},
                       {"flat", KeyArrowDown, 0.3, GlTest::kWidth, GlTest::kHeight},
                       {"small window", 0, 0.0, 400, 300}};

void holdKey(WaterTable& table, int key, double seconds) {
    InputEventKeyPressed held(0.0, key, seconds);
    table.handleEvent(held);
}

class WaterRimGl : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        setAssetDirectory(assetDir());
        // Fast: the coarser pictures reach farther per pixel.
        table.setQuality(SceneQuality(SceneQuality::Level::Fast));
        table.attach();
    }
    void TearDown() override {
        table.detach();
        setAssetDirectory("");
        Material::resetLastApplied();
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

    // The most vivid blue pixels each view has shown of the water; the scene
    // clock stands still meanwhile.
    void countViews() {
        for (size_t v = 0; v < std::size(kViews); ++v) {
            const View& view = kViews[v];
            holdKey(table, view.key, view.seconds);
            glViewport(0, 0, view.width, view.height);
            // Both pictures redrawn for this camera, on alternating frames too.
            table.render(0.0, 0.0f);
            table.render(0.0, 0.0f);
            worst[v] = std::max(worst[v], vividBluePixels(view.width, view.height));
            holdKey(table, view.key == KeyArrowUp ? KeyArrowDown : KeyArrowUp, view.seconds);
        }
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

    LogCapture log;
    RunningHost host;
    WaterTable table{host};
    int worst[std::size(kViews)] = {};
};

} // namespace

// On still water and after jumps that land by each of the four edges, whose
// ripples bend the water's look up to 20 units past the rim.
TEST_F(WaterRimGl, StillWaterAndLandingsByEachEdge_ShowNoBackgroundBlueInAnyView) {
    countViews();
    GameBoard& board = table.getBoard();
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    const int jumps[][4] = {{0, 0, 2, 0}, {8, 8, 8, 6}, {2, 0, 0, 2}, {8, 6, 6, 8}};
    for (const auto& jump : jumps) {
        ASSERT_TRUE(board.performMove(jump[0], jump[1], jump[2], jump[3]));
        // A step of the water a frame: the figure lands after a second and
        // its splash, bluish too, has fallen back within another.
        for (int frame = 0; frame < 25; ++frame) {
            table.render(0.1, 0.0f);
        }
        countViews();
    }
    for (size_t v = 0; v < std::size(kViews); ++v) {
        EXPECT_EQ(worst[v], 0) << kViews[v].name;
    }
}

// Fast draws each picture every other frame, and the water shows the other
// from the frame before. A ripple that reaches past the rim grows the area
// the water samples: in that frame both pictures must hold the new area,
// neither a strip left from an older frame. With no figure and no splash
// (a split of a figure the display never showed) and no caustics, nothing
// else changes from frame to frame, so each frame must look as it does with
// both pictures drawn anew.
TEST_F(WaterRimGl, Fast_RipplesReachingPastTheRim_ShowNoStaleStrip) {
    InputEventKeyUp causticsOff(0.0, KeyF1 + 2, 0.0, 0.0); // F3
    table.handleEvent(causticsOff);
    // Pictures drawn from low down first, so an old strip differs; then seen
    // from high above, where the area the water samples nearly fills its
    // box in the pictures.
    holdKey(table, KeyArrowDown, 0.3);
    table.render(0.0, 0.0f);
    table.render(0.0, 0.0f);
    holdKey(table, KeyArrowUp, 1.3);
    GameBoard& board = table.getBoard();
    // By the right edge, then by the left one: the second ripple passes the
    // rim an odd number of frames after the first, so the two meet the
    // alternation on frames of either kind.
    const int splits[][4] = {{8, 4, 8, 5}, {0, 4, 0, 5}};
    int differing[2] = {};
    for (int s = 0; s < 2; ++s) {
        board.setField(splits[s][0], splits[s][1], GameBoard::kPlayer1);
        ASSERT_TRUE(board.performMove(splits[s][0], splits[s][1], splits[s][2], splits[s][3]));
        table.render(0.0, 0.0f); // the split starts: its drop
        for (int frame = 0; frame < 2; ++frame) {
            table.render(0.25, 0.0f); // a slow frame: two or three steps of the water
            const std::vector<uint8_t> shown = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            table.render(0.0, 0.0f);
            table.render(0.0, 0.0f);
            const std::vector<uint8_t> anew = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            for (size_t i = 0; i < shown.size(); i += 4) {
                for (size_t c = 0; c < 3; ++c) {
                    if (std::abs(int(shown[i + c]) - int(anew[i + c])) > kChannelTolerance) {
                        ++differing[s];
                        break;
                    }
                }
            }
        }
        for (int frame = 0; frame < 10; ++frame) {
            table.render(0.1, 0.0f); // the split ends
        }
    }
    EXPECT_EQ(differing[0], 0) << "by the right edge";
    EXPECT_EQ(differing[1], 0) << "by the left edge";
}
