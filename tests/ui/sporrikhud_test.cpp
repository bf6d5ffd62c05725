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
    counter.count(0.0);
    EXPECT_EQ(counter.framesPerSecond, 1);
}

// The result names the winner, and only once the game is decided.
TEST(HudCaptions, NameTheCountsTheFrameRateAndTheWinner) {
    for (const int winner : {0, GameBoard::kPlayer1, GameBoard::kPlayer2}) {
        GameBoard board;
        board.setFigureCount(GameBoard::kPlayer1, 12);
        board.setFigureCount(GameBoard::kPlayer2, 7);
        if (winner != 0) {
            board.setField(4, 4, winner);
        }
        ASSERT_EQ(board.winner(), winner);
        const SporrikHud::Captions captions = SporrikHud::compose(board, 61, 1024);
        EXPECT_EQ(captions.fps, "FPS: 61");
        EXPECT_EQ(captions.players[0], "Player 1: 12");
        EXPECT_EQ(captions.players[1], "Player 2: 7");
        EXPECT_EQ(captions.result, winner == 0 ? "" : "Player " + std::to_string(winner) + " Won!");
    }
}

} // namespace
