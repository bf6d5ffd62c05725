#include "scene/moveanimation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Journal : public MoveAnimation::Listener {
public:
    void splash(const vec3&, int owner) override { events.push_back("splash " + std::to_string(owner)); }
    void dropWater(int i, int j) override { events.push_back("drop " + std::to_string(10 * i + j)); }
    void playMoveSound() override { events.push_back("move"); }
    void playSelectSound() override { events.push_back("select"); }
    std::vector<std::string> events;
};

// A game shown from its start: two humans, or a human against the hard
// computer.
class MoveAnimationTest : public ::testing::Test {
protected:
    explicit MoveAnimationTest(bool computer = false) {
        board.setHuman(GameBoard::kPlayer1, true);
        board.setHuman(GameBoard::kPlayer2, !computer);
        board.newGame();
        animation.reset();
        settle();
    }

    bool idle() { return !board.hasPendingMoves() && animation.getType() == 0; }
    // Frames of dt until everything queued is shown; the number of frames.
    int settle(double dt = 0.25) {
        int frames = 0;
        do {
            animation.update(board, dt, journal);
            ++frames;
        } while (!idle() && frames < 1000);
        return frames;
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            animation.update(board, 0.1, journal);
        }
    }
    void click(int x, int y) {
        if (board.clickField(x, y)) {
            board.setMoveDone(true);
        }
    }

    GameBoard board;
    MoveAnimation animation;
    Journal journal;
};

class PlayAids : public MoveAnimationTest {
protected:
    PlayAids() : MoveAnimationTest(true) {}
    // Both clicks before a frame shows either.
    void play(int fromX, int fromY, int toX, int toY) {
        board.clickField(fromX, fromY);
        board.clickField(toX, toY);
        board.setMoveDone(true);
    }
};

TEST_F(PlayAids, TakeBackDuringTheAnswer_ShowsTheRestoredBoardAtOnceWithoutEffects) {
    play(0, 0, 2, 2);
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
    play(0, 0, 0, 1);
    frames(100);
    const Move last = animation.getLastMove();
    EXPECT_EQ(board.getField(last.toX, last.toY), GameBoard::kPlayer2);
    EXPECT_GE(last.fromX, GameBoard::kBoardSize - 2) << "the answer starts from player 2's corner";
    board.clickField(0, 0);
    frames(1);
    EXPECT_EQ(animation.getLastMove().type, 0);
}

TEST_F(MoveAnimationTest, JumpWithTwoConversions_TakesItsTimesPlusAFramePerRecord) {
    // Four figures of player 1 and two of player 2 at (4, 4) and (3, 3), on player 1's turn still.
    for (const auto& m : {Move{0, 0, 1, 1}, Move{1, 1, 2, 1}, Move{0, 0, 1, 0}, Move{8, 8, 6, 6},
                          Move{6, 6, 4, 4}, Move{4, 4, 3, 3}}) {
        ASSERT_TRUE(board.performMove(m.fromX, m.fromY, m.toX, m.toY));
    }
    settle();
    click(2, 1);
    settle();
    journal.events.clear();
    click(4, 3); // lands beside (3, 3) and (4, 4)
    ASSERT_EQ(board.countPendingMoves(), 3);

    // Frame 1 starts the jump: the figure leaves its field and its count at once.
    animation.update(board, 0.25, journal);
    EXPECT_EQ(animation.getShown(2, 1), 0);
    EXPECT_EQ(animation.getShown(4, 3), 0);
    EXPECT_EQ(board.getFigureCount(GameBoard::kPlayer1), 3);
    // In the air for 1 s: four frames, the fifth lands it and starts a conversion.
    for (int i = 0; i < 4; ++i) {
        animation.update(board, 0.25, journal);
    }
    EXPECT_EQ(animation.getShown(4, 3), 0);
    animation.update(board, 0.25, journal);
    EXPECT_EQ(animation.getShown(4, 3), GameBoard::kPlayer1);
    EXPECT_EQ(animation.getType(), MoveConvert);
    // A growing conversion is in neither count.
    EXPECT_EQ(board.getFigureCount(GameBoard::kPlayer2), 1);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer1);
    for (int i = 0; i < 3; ++i) {
        animation.update(board, 0.25, journal); // the last conversion starts: the turn passes
    }
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer2);
    EXPECT_EQ(settle(), 3);
    EXPECT_EQ(board.getFigureCount(GameBoard::kPlayer1), 6);
    EXPECT_EQ(board.getFigureCount(GameBoard::kPlayer2), 0);
    EXPECT_EQ(journal.events,
              (std::vector<std::string>{"splash 1", "drop 21", "move", "splash 1", "drop 43", "splash 1",
                                        "drop 33", "move", "splash 1", "drop 44", "move"}));
}

TEST_F(MoveAnimationTest, SelectionAndDeselection_MoveTheHighlightInOneFrame) {
    for (const int highlight : {0, -1}) {
        click(0, 0);
        animation.update(board, 0.0, journal);
        EXPECT_EQ(animation.getHighlightX(), highlight);
    }
    EXPECT_EQ(journal.events, (std::vector<std::string>{"select", "select"}));
}

} // namespace
