#include "game/gameboard.h"
#include "ui/sporrikhud.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameCounter, QuarterSecondFramesShowFourFromTheFourthFrame) {
    SporrikHud::FrameCounter counter;
    for (int frame = 1; frame <= 12; ++frame) {
        counter.count(0.25);
        EXPECT_EQ(counter.framesPerSecond, frame < 4 ? 0 : 4) << frame;
    }
}

TEST(FrameCounter, LongFrameCarriesTheRemainderSoTheNextFrameUpdatesAgain) {
    SporrikHud::FrameCounter counter;
    counter.count(0.1);
    counter.count(0.1);
    counter.count(2.5);
    EXPECT_EQ(counter.framesPerSecond, 3);
    EXPECT_DOUBLE_EQ(counter.elapsed, 1.7);
    EXPECT_EQ(counter.frameCount, 0);
    counter.count(0.0);
    EXPECT_EQ(counter.framesPerSecond, 1);
    EXPECT_DOUBLE_EQ(counter.elapsed, 0.7);
}

TEST(HudCaptions, TextsSitInTheCornersByPixels) {
    GameBoard board;
    board.setFigureCount(GameBoard::kPlayer1, 12);
    board.setFigureCount(GameBoard::kPlayer2, 7);
    // A 400-pixel window draws the texts at 400 / 1024 of their size.
    const struct {
        float width, scale;
    } windows[] = {{1024.0f, 1.0f}, {1920.0f, 1.0f}, {400.0f, 400.0f / 1024.0f}};
    for (const auto& window : windows) {
        const float width = window.width / window.scale;
        const SporrikHud::Captions captions =
            SporrikHud::compose(board, 61, static_cast<int>(window.width), window.scale);
        EXPECT_EQ(captions.fps, "FPS: 61");
        EXPECT_FLOAT_EQ(captions.fpsX, 1.0f - 200.0f / width);
        EXPECT_FLOAT_EQ(captions.fpsY, 0.85f);
        EXPECT_EQ(captions.players[0], "Player 1: 12");
        EXPECT_EQ(captions.players[1], "Player 2: 7");
        EXPECT_FLOAT_EQ(captions.playerX[0], 40.0f / width - 1.0f);
        EXPECT_FLOAT_EQ(captions.playerX[1], 1.0f - 740.0f / width);
        EXPECT_FLOAT_EQ(captions.playerY, -1.0f);
    }
}

// Before any game both counts are 0 and there is no result; a winner's
// result is centred at 34 pixels a character.
TEST(HudCaptions, ResultNamesTheWinnerCentred) {
    for (const int winner : {0, GameBoard::kPlayer1, GameBoard::kPlayer2}) {
        GameBoard board;
        if (winner != 0) {
            board.setField(4, 4, winner);
        }
        ASSERT_EQ(board.winner(), winner);
        const SporrikHud::Captions captions = SporrikHud::compose(board, 0, 1024);
        const std::string result = winner == 0 ? "" : "Player " + std::to_string(winner) + " Won!";
        EXPECT_EQ(captions.result, result);
        EXPECT_FLOAT_EQ(captions.resultX, -static_cast<float>(result.size()) * 34.0f / 1024.0f);
        EXPECT_FLOAT_EQ(captions.resultY, 0.0f);
        if (winner == 0) {
            EXPECT_EQ(captions.players[0], "Player 1: 0");
            EXPECT_EQ(captions.players[1], "Player 2: 0");
            EXPECT_EQ(captions.fps, "FPS: 0");
        }
    }
}

} // namespace
