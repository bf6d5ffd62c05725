#include "input/inputevent.h"
#include "scene/tablescene.h"
#include "support/assettest.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
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
    // The window's picture with the pointer at x, y (fractions, y from the top).
    std::vector<uint8_t> pictureWithPointerAt(double x, double y) {
        InputEventMotion motion(0.0, x, y, false);
        table.handleEvent(motion);
        table.render(0.0, 0.5f);
        return GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

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

// The marker under the pointer shows where the pointer picks. At half the
// scale it must appear where it does at the full one: the pointer's window
// coordinates pick the same field, and the stretched picture lies on it.
TEST_F(WaterTableGl, ReducedScale_PointerPicksAndMarksTheSameFieldAsAtFullScale) {
    table.attach();
    showNewGame();
    const double slimeX = static_cast<double>(kSlimeX) / GlTest::kWidth;
    const double slimeY = 1.0 - static_cast<double>(kSlimeY) / GlTest::kHeight;
    double centre[2][2] = {};
    for (const int percent : {100, 50}) {
        table.fixScale(percent);
        const std::vector<uint8_t> away = pictureWithPointerAt(0.5, 0.01);
        const std::vector<uint8_t> over = pictureWithPointerAt(slimeX, slimeY);
        double sumX = 0.0, sumY = 0.0;
        int marked = 0;
        for (size_t i = 0; i < over.size(); i += 4) {
            const int change = std::abs(over[i] - away[i]) + std::abs(over[i + 1] - away[i + 1]) +
                               std::abs(over[i + 2] - away[i + 2]);
            if (change > 96) {
                sumX += static_cast<double>(i / 4 % GlTest::kWidth);
                sumY += static_cast<double>(i / 4 / GlTest::kWidth);
                ++marked;
            }
        }
        ASSERT_GT(marked, 50) << percent << " %: no marker under the pointer";
        double* at = centre[percent == 100 ? 0 : 1];
        at[0] = sumX / marked;
        at[1] = sumY / marked;
        EXPECT_LT(std::hypot(at[0] - kSlimeX, at[1] - kSlimeY), 40.0)
            << percent << " %: marker off the figure";
    }
    EXPECT_LT(std::hypot(centre[0][0] - centre[1][0], centre[0][1] - centre[1][1]), 4.0);
}

} // namespace
