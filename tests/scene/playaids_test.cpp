#include "scene/moveanimation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Journal : public MoveAnimation::Listener {
public:
    void splash(const vec3&, int) override { events.push_back("splash"); }
    void dropWater(int, int) override { events.push_back("drop"); }
    void playMoveSound() override { events.push_back("move"); }
    void playSelectSound() override { events.push_back("select"); }
    std::vector<std::string> events;
};

// A human against the hard computer, taking a move back while it is shown.
TEST(SceneTakeBack, DuringAnswer_ShowsRestoredBoardAtOnceWithoutEffects) {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, true);
    board.newGame();
    MoveAnimation animation;
    Journal journal;
    const auto frame = [&] {
        animation.update(board, 0.1, journal);
    };
    for (int i = 0; i < 10; ++i) {
        frame();
    }
    board.clickField(0, 0);
    board.clickField(2, 2);
    board.setMoveDone(true);
    // Into the computer's answer: the jump is shown and the answer queued.
    for (int i = 0; i < 12; ++i) {
        frame();
    }
    ASSERT_TRUE(animation.isRunning());
    ASSERT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer2);

    ASSERT_TRUE(board.takeBack());
    animation.showBoard(board);
    journal.events.clear();
    for (int i = 0; i < 30; ++i) {
        frame();
    }
    EXPECT_EQ(journal.events, std::vector<std::string>{});
    EXPECT_FALSE(animation.isRunning());
    for (int i = 0; i < GameBoard::kBoardSize; ++i) {
        for (int j = 0; j < GameBoard::kBoardSize; ++j) {
            EXPECT_EQ(animation.getShown(i, j), board.getField(i, j)) << i << "," << j;
        }
    }
    EXPECT_EQ(board.getFigureCount(GameBoard::kPlayer1), 1);
    EXPECT_EQ(board.getFigureCount(GameBoard::kPlayer2), 1);
    // The figure that moved is selected again, ready for another move.
    EXPECT_EQ(animation.getHighlightX(), 0);
    EXPECT_EQ(animation.getHighlightY(), 0);
}

// The computer's answer stays marked until the human picks a figure.
TEST(LastMove, ShownFromTheAnswerUntilAFigureIsSelected) {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, true);
    board.newGame();
    MoveAnimation animation;
    Journal journal;
    const auto settle = [&] {
        for (int i = 0; i < 100; ++i) {
            animation.update(board, 0.25, journal);
        }
    };
    settle();
    EXPECT_EQ(animation.getLastMove().type, 0);
    board.clickField(0, 0);
    board.clickField(0, 1);
    board.setMoveDone(true);
    settle();
    const Move last = animation.getLastMove();
    EXPECT_TRUE(last.type == MoveSplit || last.type == MoveJump);
    EXPECT_EQ(board.getField(last.toX, last.toY), GameBoard::kPlayer2);
    EXPECT_GE(last.fromX, 6) << "the answer starts from player 2's corner";
    board.clickField(0, 0);
    settle();
    EXPECT_EQ(animation.getLastMove().type, 0);
}

} // namespace
