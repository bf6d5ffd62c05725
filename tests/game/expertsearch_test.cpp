#include "game/compactposition.h"
#include "game/expertsearch.h"
#include "game/gameboard.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

CompactPosition make(const Diagram& rows, int player) {
    GameBoard board;
    drawDiagram(board, rows);
    return CompactPosition::fromBoard(board, player);
}

// Plain negamax without pruning or table, scored as the search scores.
int negamax(const CompactPosition& position, int depth, int ply) {
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
    int best = -ExpertSearch::kWinScore - 1;
    for (int i = 0; i < n; ++i) {
        CompactPosition child = position;
        child.play(moves[i]);
        best = std::max(best, -negamax(child, depth - 1, ply + 1));
    }
    return best;
}

// A split to (1, 1) or (1, 2) converts both of player 2's figures.
const Diagram kLastTwo = {"o........", "..x......", "..x......", ".........", ".........",
                          ".........", ".........", ".........", "........."};

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

// With two table entries nearly every position overwrites another's; with a
// large one, a second search starts from a full table. Neither may change
// the fixed-depth result or offer a move that is not there.
TEST(ExpertSearch, TranspositionTableNeverChangesTheResult) {
    const struct {
        const Diagram* rows;
        int player;
        int depth;
    } cases[] = {
        {&kOpeningDiagram, 1, 3}, {&kOpeningDiagram, 2, 3}, {&kMiddleDiagram, 1, 2}, {&kMiddleDiagram, 2, 3}};
    for (const auto& c : cases) {
        const CompactPosition position = make(*c.rows, c.player);
        const int expected = negamax(position, c.depth, 0);
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

// A raised stop flag or a spent node budget still leaves a legal move.
TEST(ExpertSearch, StopsEarlyWithALegalMove) {
    const CompactPosition position = make(kMiddleDiagram, 2);
    ExpertSearch search(10);
    const std::atomic<bool> stop{true};
    const ExpertSearch::Result stopped = search.run(position, {}, &stop);
    EXPECT_TRUE(position.isLegal(stopped.move));
    EXPECT_LT(stopped.nodes, 5000u);
    ExpertSearch::Limits limits;
    limits.nodes = 20000;
    const ExpertSearch::Result budgeted = search.run(position, limits);
    EXPECT_TRUE(position.isLegal(budgeted.move));
    EXPECT_LT(budgeted.nodes, limits.nodes + 2048);
}

} // namespace
