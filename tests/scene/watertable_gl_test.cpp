#include "scene/tablescene.h"
#include "support/assettest.h"

#include <cstdint>
#include <vector>

namespace {

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

class WaterTableGl : public TableSceneGl {
protected:
    // A new game, shown and drawn.
    void showNewGame() {
        newHumanGame();
        for (int i = 0; i < 4; ++i) {
            table.render(0.1, 0.5f);
        }
    }
};

// Without any asset the scene still plays: the figures stand in as spheres
// in their sides' colours, slimes green and spikes crimson.
TEST_F(WaterTableGl, MissingModels_FiguresBecomeSpheresInTheirSidesColours) {
    TempAssets empty;
    table.attach();
    showNewGame();
    const Rgb slime = around(kSlimeX, kSlimeY);
    const Rgb spike = around(kSpikeX, kSpikeY);
    EXPECT_GT(slime.g, 2 * slime.r);
    EXPECT_GT(spike.r, 2 * spike.g);
    EXPECT_TRUE(log.has("models/sporlet/spr-slime.md3 not loaded"));
    EXPECT_TRUE(log.has("models/table/table-outside.md3 not loaded"));
}

TEST_F(WaterTableGl, GeneratedAssets_LoadDrawAndReleaseAgain) {
    for (int round = 0; round < 2; ++round) {
        table.attach();
        showNewGame();
        EXPECT_EQ(table.countShownFigures(GameBoard::kPlayer1), 1);
        EXPECT_FALSE(log.has("not loaded")) << log.lines().front();
        table.detach();
    }
}

} // namespace
