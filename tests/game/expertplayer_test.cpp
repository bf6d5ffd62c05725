// The expert level on the board (its search runs on an ExpertPlayer's
// thread): its move reaches the queue through the calls the table scene makes
// every frame, and a search whose position has gone is dropped and its thread
// joined.

#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Far beyond the thinking time, so only a search that never ends runs out.
constexpr auto kPatience = 10s;

// Frames as the table scene runs them, until done() holds or patience runs out.
template <class Condition>
bool poll(Condition done) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Player 1 is the expert, player 2 a human.
class ExpertGame : public ::testing::Test {
protected:
    ExpertGame() {
        board.setHuman(GameBoard::kPlayer1, false);
        board.setHuman(GameBoard::kPlayer2, true);
        board.setDifficulty(GameBoard::kExpert);
    }
    int drain() {
        int taken = 0;
        for (; board.hasPendingMoves(); ++taken) {
            board.popMove();
        }
        return taken;
    }

    GameBoard board;
};

// A new game while the first one's search runs leaves only the new game's move.
TEST_F(ExpertGame, MoveArrivesThroughTheQueueAndTheBoardWaitsUntilThen) {
    board.newGame();
    board.setField(4, 4, GameBoard::kPlayer2);
    board.newGame();
    EXPECT_TRUE(board.isThinking());
    // The start records go out without passing the turn; the board is as dealt.
    EXPECT_EQ(drain(), 3);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer1);
    EXPECT_FALSE(board.isMoveDone());
    EXPECT_EQ(board.countFields(GameBoard::kEmpty), 79);
    ASSERT_TRUE(poll([&] { return board.hasPendingMoves(); }));
    const Move move = board.frontMove();
    EXPECT_TRUE(move.type == MoveSplit || move.type == MoveJump);
    EXPECT_EQ(board.getField(move.toX, move.toY), GameBoard::kPlayer1);
    EXPECT_TRUE(board.isMoveDone());
    EXPECT_FALSE(board.isThinking());
    EXPECT_EQ(drain(), 1);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer2);
}

// A changed field or a human taking over makes the move stale.
TEST_F(ExpertGame, MoveForAChangedGameIsDropped) {
    for (const bool takeOver : {false, true}) {
        board.newGame();
        drain();
        if (takeOver) {
            board.setHuman(GameBoard::kPlayer1, true);
        } else {
            board.setField(4, 4, GameBoard::kPlayer2);
        }
        EXPECT_TRUE(poll([&] {
            EXPECT_FALSE(board.hasPendingMoves());
            return !board.isThinking();
        }));
        EXPECT_FALSE(board.hasPendingMoves());
        EXPECT_EQ(board.countFields(GameBoard::kPlayer1), 1);
        board.setHuman(GameBoard::kPlayer1, false);
    }
}

TEST_F(ExpertGame, ResizingOrDestroyingTheBoardStopsTheSearch) {
    board.newGame();
    board.setBoardSize(GameBoard::kBoardSize, GameBoard::kBoardSize);
    EXPECT_FALSE(board.isThinking());
    auto doomed = std::make_unique<GameBoard>();
    doomed->setDifficulty(GameBoard::kExpert);
    doomed->newGame();
    ASSERT_TRUE(doomed->isThinking());
    doomed.reset();
}

} // namespace
