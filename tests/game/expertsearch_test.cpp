#include "game/compactposition.h"
#include "game/expertsearch.h"
#include "game/gameboard.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

namespace {

CompactPosition make(const Diagram& rows, int player) {
    GameBoard board;
    drawDiagram(board, rows);
    return CompactPosition::fromBoard(board, player);
}

// Alpha-beta without a table, in the order the moves come, scored as the
// search scores: with the whole window it gives the fixed-depth value.
int alphaBeta(const CompactPosition& position, int depth, int alpha, int beta, int ply) {
    const int result = position.winner();
    if (result != 0) {
        const int win = ExpertSearch::kWinScore - ply;
        return result == position.toMove() ? win : -win;
    }
    if (depth == 0) {
        return ExpertSearch::evaluate(position);
    }
    CompactMove moves[CompactPosition::kMaxMoves];
    const int n = position.generateMoves(moves);
    for (int i = 0; i < n && alpha < beta; ++i) {
        CompactPosition child = position;
        child.play(moves[i]);
        alpha = std::max(alpha, -alphaBeta(child, depth - 1, -beta, -alpha, ply + 1));
    }
    return alpha;
}

// A split to (1, 1) or (1, 2) converts both of player 2's figures.
const Diagram kLastTwo = {"o........", "..x......", "..x......", ".........", ".........",
                          ".........", ".........", ".........", "........."};

// Early in a game: five plies deep, a bound taken the wrong way changes the score here.
const Diagram kEarly = {".........", ".o.......", "o........", ".........", ".........",
                        ".........", ".........", "......x..", "........x"};

TEST(ExpertSearch, TakesAWinAtOnce) {
    ExpertSearch search(10);
    CompactPosition position = make(kLastTwo, 1);
    ExpertSearch::Limits limits;
    limits.depth = 4;
    const ExpertSearch::Result result = search.run(position, limits);
    EXPECT_EQ(result.score, ExpertSearch::kWinScore - 1);
    position.play(result.move);
    EXPECT_EQ(position.winner(), 1);
}

// Four and five plies deep the table's bounds cut off whole subtrees. With two
// entries nearly every position overwrites another's; with a large table a
// second search starts from a full one. Neither may change the fixed-depth
// value or offer a move that is not there.
TEST(ExpertSearch, TranspositionTableNeverChangesTheResult) {
    const struct {
        const Diagram* rows;
        int player;
        int depth;
    } cases[] = {{&kEarly, 1, 5},
                 {&kOpeningDiagram, 1, 4},
                 {&kOpeningDiagram, 2, 5},
                 {&kMiddleDiagram, 1, 4},
                 {&kMiddleDiagram, 2, 4}};
    for (const auto& c : cases) {
        const CompactPosition position = make(*c.rows, c.player);
        const int expected =
            alphaBeta(position, c.depth, -ExpertSearch::kWinScore - 1, ExpertSearch::kWinScore + 1, 0);
        for (const int tableBits : {1, 16}) {
            SCOPED_TRACE(testing::Message() << "player " << c.player << " table bits " << tableBits);
            ExpertSearch search(tableBits);
            ExpertSearch::Limits limits;
            limits.depth = c.depth;
            for (int run = 0; run < 2; ++run) {
                const ExpertSearch::Result result = search.run(position, limits);
                EXPECT_EQ(result.score, expected);
                EXPECT_EQ(result.depth, c.depth);
                EXPECT_TRUE(position.isLegal(result.move));
            }
        }
    }
}

// A raised stop flag ends even a search without limits, still with a legal
// move: the board cancels through it and waits. (A spent node budget: the
// games below would never end.)
TEST(ExpertSearch, StopFlagEndsTheSearchWithALegalMove) {
    const CompactPosition position = make(kMiddleDiagram, 2);
    ExpertSearch search(10);
    const std::atomic<bool> stop{true};
    const ExpertSearch::Result stopped = search.run(position, {}, &stop);
    EXPECT_TRUE(position.isLegal(stopped.move));
    EXPECT_LT(stopped.nodes, 5000u);
}

// One game after a few random opening moves; the other side plays the easy or
// hard level. The result is the board's, so the test does not depend on the
// search's own idea of a good position.
int playAgainst(ExpertSearch& search, int level, int expertSide, unsigned opening) {
    constexpr int kMaxMoves = 300;
    std::mt19937 random(opening);
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.setDifficulty(level);
    board.setRandomSource([&random] { return static_cast<int>(random() % 32768); });
    board.newGame();
    ExpertSearch::Limits limits;
    limits.nodes = 2000;
    int player = GameBoard::kPlayer1;
    for (int move = 0; move < kMaxMoves && board.winner() == 0; ++move, player = 3 - player) {
        const CompactPosition position = CompactPosition::fromBoard(board, player);
        if (move < 3) {
            CompactMove moves[CompactPosition::kMaxMoves];
            board.performCompactMove(moves[random() % unsigned(position.generateMoves(moves))], player);
        } else if (player == expertSide) {
            board.performCompactMove(search.run(position, limits).move, player);
        } else {
            board.computerMove(player);
        }
        while (board.popMove()) {
        }
    }
    return board.winner();
}

TEST(ExpertSearch, BeatsTheEasyAndHardLevels) {
    ExpertSearch search(16);
    int lost = 0;
    for (const int level : {GameBoard::kEasy, GameBoard::kHard}) {
        for (unsigned opening = 0; opening < 3; ++opening) {
            for (const int side : {GameBoard::kPlayer1, GameBoard::kPlayer2}) {
                lost += playAgainst(search, level, side, opening) == side ? 0 : 1;
            }
        }
    }
    EXPECT_LE(lost, 1);
}

// The expert level on the board (its search runs on an ExpertPlayer's
// thread): its move reaches the queue through the calls the table scene makes
// every frame, and a search whose position has gone is dropped and its thread
// joined.
using namespace std::chrono_literals;

// Far beyond the thinking time, so only a search that never ends runs out.
constexpr auto kPatience = 10s;

// Frames as the table scene runs them, until done() holds or patience runs out.
template <class Condition>
bool poll(Condition done) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    bool met = false;
    while (!(met = done()) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(5ms);
    }
    return met;
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
