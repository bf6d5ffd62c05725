// The shortcuts that make a frame faster must not change its picture: fixed
// scenes (scene clock paused, camera fixed) are drawn with them and the plain
// way in the same run and compared pixel by pixel. The refraction pass draws
// no sky either way: along the basin's rim the water samples that picture
// beyond the basin, where a sky would show.
#include "scene/tablescene.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

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
