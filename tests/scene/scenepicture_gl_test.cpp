// The "full" quality must keep drawing the same picture while the frame gets
// faster: fixed scenes (scene clock paused, camera fixed) are compared with
// pictures kept from before the optimisations. SPORRIK_WRITE_PICTURES=1
// writes the pictures anew instead of comparing.
#include <GL/glew.h>

#include "base/tools.h"
#include "resources/material.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class RunningHost : public SceneHost {
public:
    bool isGamePaused() const override { return false; }
    void returnToMenus() override {}
};

// Each player fills a block of fields from its corner by splits (no jumps:
// no splash, no ripple, nothing random), a gap of rows between the blocks.
constexpr int kBlockColumns = 7;
constexpr int kBlockRows = 3;
constexpr int kLast = GameBoard::kBoardSize - 1;
// A frame long enough to finish any move animation at once.
constexpr double kLongFrame = 1.0;
constexpr int kMaxSettleFrames = 400;
constexpr int kPausedFrames = 2;
// The pictures are kept at half size, each pixel the mean of a 2 x 2 block.
constexpr int kShrink = 2;
constexpr int kKeptWidth = GlTest::kWidth / kShrink;
constexpr int kKeptHeight = GlTest::kHeight / kShrink;
// A kept pixel differs when a channel is off by more than this; a few may
// (rasterisation of an edge may move by a pixel), the mean may not drift.
constexpr int kChannelTolerance = 24;
constexpr double kDifferingShare = 0.002;
constexpr double kMeanTolerance = 0.5;

void fillBlocks(GameBoard& board) {
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
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

std::vector<uint8_t> shrink(const std::vector<uint8_t>& rgba) {
    std::vector<uint8_t> kept(static_cast<size_t>(kKeptWidth * kKeptHeight * 4));
    for (int y = 0; y < kKeptHeight; ++y) {
        for (int x = 0; x < kKeptWidth; ++x) {
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < kShrink; ++dy) {
                    for (int dx = 0; dx < kShrink; ++dx) {
                        sum += rgba[static_cast<size_t>(
                            ((y * kShrink + dy) * GlTest::kWidth + x * kShrink + dx) * 4 + c)];
                    }
                }
                kept[static_cast<size_t>((y * kKeptWidth + x) * 4 + c)] =
                    static_cast<uint8_t>(c == 3 ? 255 : sum / (kShrink * kShrink));
            }
        }
    }
    return kept;
}

class ScenePictureGl : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        setAssetDirectory(assetDir());
        table.setQuality(SceneQuality(SceneQuality::Level::Full));
        fillBlocks(table.getBoard());
        table.attach();
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        for (int frame = 0; frame < kMaxSettleFrames &&
                            table.countShownFigures(GameBoard::kPlayer2) < kBlockColumns * kBlockRows;
             ++frame) {
            table.render(kLongFrame, 0.0f);
        }
        ASSERT_EQ(table.countShownFigures(GameBoard::kPlayer1), kBlockColumns * kBlockRows);
    }
    void TearDown() override {
        table.detach();
        setAssetDirectory("");
        Material::resetLastApplied();
    }

    // Draws with the scene clock paused and compares with the kept picture.
    void expectPicture(const std::string& name) {
        for (int frame = 0; frame < kPausedFrames; ++frame) {
            table.render(0.0, 0.0f);
        }
        const std::vector<uint8_t> now = shrink(GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight));
        const std::string kept = testDataDir() + "/scene/" + name + ".png";
        if (std::getenv("SPORRIK_WRITE_PICTURES") != nullptr) {
            GlTest::savePng(kept, now, kKeptWidth, kKeptHeight);
            return;
        }
        PngFiles::Reference reference;
        ASSERT_TRUE(PngFiles::readReference(kept, reference)) << kept;
        ASSERT_EQ(reference.rgba.size(), now.size());
        int differing = 0;
        double total = 0.0;
        for (size_t i = 0; i < now.size(); i += 4) {
            int worst = 0;
            for (size_t c = 0; c < 3; ++c) {
                const int d = std::abs(int(now[i + c]) - int(reference.rgba[i + c]));
                worst = std::max(worst, d);
                total += d;
            }
            differing += worst > kChannelTolerance ? 1 : 0;
        }
        const double pixels = double(kKeptWidth) * kKeptHeight;
        const std::string failed = ::testing::TempDir() + name + "-now.png";
        EXPECT_LE(differing, kDifferingShare * pixels) << "picture kept as " << failed;
        EXPECT_LE(total / (pixels * 3), kMeanTolerance) << "picture kept as " << failed;
        if (differing > kDifferingShare * pixels || total / (pixels * 3) > kMeanTolerance) {
            GlTest::savePng(failed, now, kKeptWidth, kKeptHeight);
        }
    }

    LogCapture log;
    RunningHost host;
    WaterTable table{host};
};

} // namespace

TEST_F(ScenePictureGl, Full_OrbitCamera_DrawsThePictureKeptFromBefore) {
    expectPicture("full-orbit");
}

TEST_F(ScenePictureGl, Full_LowCameraOverTheWater_DrawsThePictureKeptFromBefore) {
    table.setPosition(32.0f, -12.0f, 16.0f);
    table.lookAt(32.0f, 40.0f, 0.0f);
    expectPicture("full-low");
}
