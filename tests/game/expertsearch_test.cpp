#include "game/compactposition.h"
#include "game/expertsearch.h"
#include "game/gameboard.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// A split to (1, 1) or (1, 2) converts both of player 2's figures: a win
// scored less the further off it is.
const Diagram kLastTwo = {"o........", "..x......", "..x......", ".........", ".........",
                          ".........", ".........", ".........", "........."};

// Early in a game: five plies deep, a bound taken the wrong way changes the score here.
const Diagram kEarly = {".........", ".o.......", "o........", ".........", ".........",
                        ".........", ".........", "......x..", "........x"};

// Four and five plies deep the table's bounds cut off whole subtrees. With two
// entries nearly every position overwrites another's; with a large table a
// second search starts from a full one. Neither may change the fixed-depth
// value (a win less the plies to it) or offer a move that is not there.
TEST(ExpertSearch, TranspositionTableNeverChangesTheResult) {
    const struct {
        const Diagram* rows;
        int player;
        int depth;
    } cases[] = {{&kLastTwo, 1, 4},        {&kEarly, 1, 5},         {&kOpeningDiagram, 1, 4},
                 {&kOpeningDiagram, 2, 5}, {&kMiddleDiagram, 1, 4}, {&kMiddleDiagram, 2, 4}};
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
                EXPECT_TRUE(position.isLegal(result.move));
            }
        }
    }
}

// A raised stop flag ends even a search without limits, still with a legal
// move: the board cancels through it and waits. (A spent node budget: the
// expert's games would never end.)
TEST(ExpertSearch, StopFlagEndsTheSearchWithALegalMove) {
    const CompactPosition position = make(kMiddleDiagram, 2);
    ExpertSearch search(10);
    const std::atomic<bool> stop{true};
    const ExpertSearch::Result stopped = search.run(position, {}, &stop);
    EXPECT_TRUE(position.isLegal(stopped.move));
    EXPECT_LT(stopped.nodes, 5000u);
}

} // namespace
