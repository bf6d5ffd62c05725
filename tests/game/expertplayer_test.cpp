// The expert level on the board: its move reaches the queue through the
// calls the table scene makes every frame, and a search whose position has
// gone is dropped and its thread joined.

#include "game/expertplayer.h"
#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Far beyond the thinking time, so only a search that never ends runs out.
constexpr auto kPatience = 10s;
constexpr auto kFrame = 5ms;

// Player 1 is the expert, player 2 a human.
class ExpertGame : public ::testing::Test {
protected:
    ExpertGame() {
        board.setHuman(GameBoard::kPlayer1, false);
        board.setHuman(GameBoard::kPlayer2, true);
        board.setDifficulty(GameBoard::kExpert);
    }
    // Frames as the table scene runs them, until something is queued.
    bool waitForMove() {
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        while (!board.hasPendingMoves() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(kFrame);
        }
        return board.hasPendingMoves();
    }
    // Frames until the search is over; it must queue nothing meanwhile.
    void expectDropped() {
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        while (board.isThinking() && std::chrono::steady_clock::now() < giveUp) {
            EXPECT_FALSE(board.hasPendingMoves());
            std::this_thread::sleep_for(kFrame);
        }
        EXPECT_FALSE(board.isThinking());
        EXPECT_FALSE(board.hasPendingMoves());
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

TEST_F(ExpertGame, MoveArrivesThroughTheQueueAndTheBoardWaitsUntilThen) {
    board.newGame();
    EXPECT_TRUE(board.isThinking());
    // The start records go out without passing the turn; the board is as dealt.
    EXPECT_EQ(drain(), 3);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer1);
    EXPECT_FALSE(board.isMoveDone());
    EXPECT_EQ(board.countFields(GameBoard::kEmpty), 79);
    ASSERT_TRUE(waitForMove());
    const Move move = board.frontMove();
    EXPECT_TRUE(move.type == MoveSplit || move.type == MoveJump);
    EXPECT_EQ(board.getField(move.toX, move.toY), GameBoard::kPlayer1);
    EXPECT_TRUE(board.isMoveDone());
    EXPECT_FALSE(board.isThinking());
    drain();
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer2);
}

TEST_F(ExpertGame, NewGameWhileThinkingLeavesOnlyTheNewGamesMove) {
    board.newGame();
    board.setField(4, 4, GameBoard::kPlayer2);
    board.newGame();
    EXPECT_EQ(drain(), 3);
    ASSERT_TRUE(waitForMove());
    EXPECT_EQ(drain(), 1);
    EXPECT_EQ(board.getField(4, 4), GameBoard::kEmpty);
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
        expectDropped();
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

TEST(ExpertPlayer, CancelAndRestartDropTheOldResult) {
    GameBoard board;
    board.setField(0, 0, GameBoard::kPlayer1);
    board.setField(8, 8, GameBoard::kPlayer2);
    ExpertPlayer player;
    player.start(CompactPosition::fromBoard(board, GameBoard::kPlayer1));
    player.cancel();
    EXPECT_FALSE(player.isThinking());
    EXPECT_FALSE(player.takeResult());
    ExpertSearch::Limits quick;
    quick.depth = 1;
    const CompactPosition second = CompactPosition::fromBoard(board, GameBoard::kPlayer2);
    player.start(CompactPosition::fromBoard(board, GameBoard::kPlayer1));
    player.start(second, quick);
    std::optional<ExpertSearch::Result> result;
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (!(result = player.takeResult()) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kFrame);
    }
    ASSERT_TRUE(result);
    EXPECT_TRUE(second.isLegal(result->move));
    EXPECT_FALSE(player.takeResult());
}

} // namespace
