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

// A human against the hard computer.
class PlayAids : public ::testing::Test {
protected:
    PlayAids() {
        board.setHuman(GameBoard::kPlayer1, true);
        board.newGame();
        frames(100);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            animation.update(board, 0.1, journal);
        }
    }
    void move(int fromX, int fromY, int toX, int toY) {
        board.clickField(fromX, fromY);
        board.clickField(toX, toY);
        board.setMoveDone(true);
    }

    GameBoard board;
    MoveAnimation animation;
    Journal journal;
};

TEST_F(PlayAids, TakeBackDuringTheAnswer_ShowsTheRestoredBoardAtOnceWithoutEffects) {
    move(0, 0, 2, 2);
    frames(12);
    ASSERT_TRUE(animation.isRunning());
    ASSERT_TRUE(board.takeBack());
    animation.showBoard(board);
    journal.events.clear();
    frames(30);
    EXPECT_EQ(journal.events, std::vector<std::string>{});
    for (int i = 0; i < GameBoard::kBoardSize; ++i) {
        for (int j = 0; j < GameBoard::kBoardSize; ++j) {
            EXPECT_EQ(animation.getShown(i, j), board.getField(i, j)) << i << "," << j;
        }
    }
    EXPECT_EQ(board.getFigureCount(GameBoard::kPlayer2), 1);
    // The figure that moved is selected again.
    EXPECT_EQ(animation.getHighlightX(), 0);
    EXPECT_EQ(animation.getHighlightY(), 0);
}

TEST_F(PlayAids, LastMove_TheAnswerStaysMarkedUntilAFigureIsSelected) {
    move(0, 0, 0, 1);
    frames(100);
    const Move last = animation.getLastMove();
    EXPECT_EQ(board.getField(last.toX, last.toY), GameBoard::kPlayer2);
    EXPECT_GE(last.fromX, GameBoard::kBoardSize - 2) << "the answer starts from player 2's corner";
    board.clickField(0, 0);
    frames(1);
    EXPECT_EQ(animation.getLastMove().type, 0);
}

} // namespace
