#include "game/gameboard.h"
#include "ui/sporrikhud.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 1024;

TEST(FrameCounter, QuarterSecondFramesShowFourFromTheFourthFrame) {
    SporrikHud::FrameCounter counter;
    for (int frame = 1; frame <= 3; ++frame) {
        counter.count(0.25);
        EXPECT_EQ(counter.framesPerSecond, 0) << frame;
    }
    for (int frame = 4; frame <= 12; ++frame) {
        counter.count(0.25);
        EXPECT_EQ(counter.framesPerSecond, 4) << frame;
    }
}

TEST(FrameCounter, LongFrameCarriesTheRemainderToTheNextFrame) {
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

TEST(FrameCounter, SingleLongFrameLeavesHalfASecondAndAHalf) {
    SporrikHud::FrameCounter counter;
    counter.count(2.5);
    EXPECT_EQ(counter.framesPerSecond, 1);
    EXPECT_DOUBLE_EQ(counter.elapsed, 1.5);
}

TEST(HudCaptions, BeforeAnyGameBothCountsAreZeroAndNoResult) {
    const GameBoard board;
    const SporrikHud::Captions captions = SporrikHud::compose(board, 0, kWidth);
    EXPECT_EQ(captions.players[0], "Player 1: 0");
    EXPECT_EQ(captions.players[1], "Player 2: 0");
    EXPECT_EQ(captions.result, "");
    EXPECT_FLOAT_EQ(captions.resultX, 0.0f);
    EXPECT_EQ(captions.fps, "FPS: 0");
}

TEST(HudCaptions, TextsSitInTheCornersByPixels) {
    GameBoard board;
    board.setFigureCount(GameBoard::kPlayer1, 12);
    board.setFigureCount(GameBoard::kPlayer2, 7);
    const SporrikHud::Captions captions = SporrikHud::compose(board, 61, kWidth);
    EXPECT_EQ(captions.fps, "FPS: 61");
    EXPECT_FLOAT_EQ(captions.fpsX, 1.0f - 200.0f / kWidth);
    EXPECT_FLOAT_EQ(captions.fpsY, 0.85f);
    EXPECT_EQ(captions.players[0], "Player 1: 12");
    EXPECT_EQ(captions.players[1], "Player 2: 7");
    EXPECT_FLOAT_EQ(captions.playerX[0], 40.0f / kWidth - 1.0f);
    EXPECT_FLOAT_EQ(captions.playerX[1], 1.0f - 740.0f / kWidth);
    EXPECT_FLOAT_EQ(captions.playerY, -1.0f);
}

TEST(HudCaptions, SecondPlayersWinIsCentred) {
    GameBoard board;
    board.setField(4, 4, GameBoard::kPlayer2);
    ASSERT_EQ(board.winner(), GameBoard::kPlayer2);
    const SporrikHud::Captions captions = SporrikHud::compose(board, 0, kWidth);
    EXPECT_EQ(captions.result, "Player 2 Won!");
    EXPECT_FLOAT_EQ(captions.resultX, -13.0f * 34.0f / kWidth);
    EXPECT_FLOAT_EQ(captions.resultY, 0.0f);
}

TEST(HudCaptions, FirstPlayersWin) {
    GameBoard board;
    board.setField(0, 0, GameBoard::kPlayer1);
    EXPECT_EQ(SporrikHud::compose(board, 0, kWidth).result, "Player 1 Won!");
}

TEST(HudCaptions, WidthScalesThePixelOffsets) {
    const GameBoard board;
    const SporrikHud::Captions captions = SporrikHud::compose(board, 0, 1920);
    EXPECT_FLOAT_EQ(captions.fpsX, 1.0f - 200.0f / 1920.0f);
    EXPECT_FLOAT_EQ(captions.playerX[1], 1.0f - 740.0f / 1920.0f);
}

} // namespace
