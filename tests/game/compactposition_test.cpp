#include "game/compactposition.h"
#include "game/gameboard.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <utility>

namespace {

constexpr int kSize = GameBoard::kBoardSize;
// Counts leaf positions with nothing but the board's public rules: every
// figure to every empty field within reach, one split per target, each move
// made with performMove and taken back field by field.
uint64_t slowPerft(GameBoard& board, int player, int depth) {
    if (depth == 0) {
        return 1;
    }
    if (board.winner() != 0) {
        return 0;
    }
    std::array<int32_t, kSize * kSize> saved{};
    for (int i = 0; i < kSize * kSize; ++i) {
        saved[static_cast<size_t>(i)] = board.getField(i % kSize, i / kSize);
    }
    std::array<bool, kSize * kSize> splitDone{};
    uint64_t total = 0;
    for (int from = 0; from < kSize * kSize; ++from) {
        for (int to = 0; to < kSize * kSize; ++to) {
            const int fx = from % kSize, fy = from / kSize, tx = to % kSize, ty = to / kSize;
            const int d = GameBoard::distance(fx, fy, tx, ty);
            if (saved[static_cast<size_t>(from)] != player || saved[static_cast<size_t>(to)] != 0 || d > 2) {
                continue;
            }
            if (d == 1 && std::exchange(splitDone[static_cast<size_t>(to)], true)) {
                continue;
            }
            EXPECT_TRUE(board.performMove(fx, fy, tx, ty));
            while (board.popMove()) {
            }
            total += slowPerft(board, 3 - player, depth - 1);
            for (int i = 0; i < kSize * kSize; ++i) {
                board.setField(i % kSize, i / kSize, saved[static_cast<size_t>(i)]);
            }
        }
    }
    return total;
}

const Diagram kStart = {"o........", ".........", ".........", ".........", ".........",
                        ".........", ".........", ".........", "........x"};
// Player 2 is walled in: every reply that leaves it without a move ends the game.
const Diagram kCornered = {"xo.......", "oo.......", ".........", ".........", ".........",
                           ".........", ".........", ".........", "........."};

TEST(CompactPositionPerft, AgreesWithTheBoardsRules) {
    const struct {
        const Diagram* rows;
        int player;
        int depth;
    } cases[] = {{&kStart, 1, 4},
                 {&kOpeningDiagram, 2, 3},
                 {&kMiddleDiagram, 1, 2},
                 {&kMiddleDiagram, 2, 2},
                 {&kCornered, 2, 3}};
    for (const auto& c : cases) {
        GameBoard board;
        drawDiagram(board, *c.rows);
        const CompactPosition position = CompactPosition::fromBoard(board, c.player);
        for (int depth = 1; depth <= c.depth; ++depth) {
            SCOPED_TRACE(testing::Message() << c.rows[0][0] << " player " << c.player << " depth " << depth);
            EXPECT_EQ(position.perft(depth), slowPerft(board, c.player, depth));
        }
    }
}

// Random games: the key kept move by move matches one computed afresh, it
// tells the player to move apart, and the result matches the board's.
TEST(CompactPosition, KeyAndResultFollowTheBoardThroughRandomGames) {
    std::mt19937 random(7);
    for (int game = 0; game < 20; ++game) {
        GameBoard board;
        drawDiagram(board, kStart);
        CompactPosition position = CompactPosition::fromBoard(board, 1);
        CompactMove moves[CompactPosition::kMaxMoves];
        for (int ply = 0; ply < 200; ++ply) {
            ASSERT_EQ(position.key(), position.computeKey());
            ASSERT_EQ(position.winner(), board.winner()) << "game " << game << " ply " << ply;
            const int n = position.generateMoves(moves);
            if (n == 0) {
                break;
            }
            const CompactMove move = moves[random() % static_cast<unsigned>(n)];
            ASSERT_TRUE(position.isLegal(move));
            const int player = position.toMove();
            position.play(move);
            ASSERT_TRUE(board.performCompactMove(move, player));
            while (board.popMove()) {
            }
            const CompactPosition fresh = CompactPosition::fromBoard(board, position.toMove());
            ASSERT_EQ(position.key(), fresh.key());
            ASSERT_NE(position.key(), CompactPosition::fromBoard(board, 3 - position.toMove()).key());
        }
    }
}

TEST(CompactPosition, RefusesMovesThatAreNotThere) {
    GameBoard board;
    drawDiagram(board, kStart);
    const CompactPosition position = CompactPosition::fromBoard(board, 1);
    const struct {
        CompactMove move;
        bool legal;
    } cases[] = {{{10, 10}, true},  {{0, 20}, true}, {{0, 30}, false},  {{11, 11}, false},
                 {{80, 70}, false}, {{0, 0}, false}, {{200, 7}, false}, {{}, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(position.isLegal(c.move), c.legal) << int(c.move.from) << "->" << int(c.move.to);
    }
}

} // namespace
