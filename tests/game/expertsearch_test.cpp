#include "game/compactposition.h"
#include "game/expertevaluation.h"
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

using Evaluate = int (*)(const CompactPosition&);

// Alpha-beta without a table, in the order the moves come, scored as the
// search scores: with the whole window it gives the fixed-depth value.
int alphaBeta(const CompactPosition& position, Evaluate evaluate, int depth, int alpha, int beta, int ply) {
    const int result = position.winner();
    if (result != 0) {
        const int win = ExpertSearch::kWinScore - ply;
        return result == position.toMove() ? win : -win;
    }
    if (depth == 0) {
        return evaluate(position);
    }
    CompactMove moves[CompactPosition::kMaxMoves];
    const int n = position.generateMoves(moves);
    for (int i = 0; i < n && alpha < beta; ++i) {
        CompactPosition child = position;
        child.play(moves[i]);
        alpha = std::max(alpha, -alphaBeta(child, evaluate, depth - 1, -beta, -alpha, ply + 1));
    }
    return alpha;
}

// Everything but the late-move reductions, which change scores on purpose.
ExpertSearch::Settings exactSettings() {
    ExpertSearch::Settings settings;
    settings.lateMoveReductions = false;
    settings.aspirationWindows = true;
    return settings;
}

// Every part switched on, those the game leaves off too.
ExpertSearch::Settings allSettings() {
    ExpertSearch::Settings settings;
    settings.aspirationWindows = true;
    settings.flexibleClock = true;
    return settings;
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
// value (a win less the plies to it) or offer a move that is not there; nor
// may the root's narrow windows and their re-searches, nor searching the
// table's move before the others are generated.
TEST(ExpertSearch, TableWindowsAndOrderingNeverChangeTheResult) {
    const struct {
        const Diagram* rows;
        int player;
        int depth;
    } cases[] = {{&kLastTwo, 1, 4},        {&kEarly, 1, 5},         {&kOpeningDiagram, 1, 4},
                 {&kOpeningDiagram, 2, 5}, {&kMiddleDiagram, 1, 4}, {&kMiddleDiagram, 2, 4}};
    const struct {
        ExpertSearch::Settings settings;
        Evaluate evaluate;
    } searches[] = {{ExpertSearch::Settings::baseline(), ExpertEvaluation::byHand},
                    {exactSettings(), ExpertEvaluation::fitted}};
    for (const auto& c : cases) {
        const CompactPosition position = make(*c.rows, c.player);
        for (const auto& s : searches) {
            const int expected = alphaBeta(position, s.evaluate, c.depth, -ExpertSearch::kWinScore - 1,
                                           ExpertSearch::kWinScore + 1, 0);
            for (const int tableBits : {1, 16}) {
                SCOPED_TRACE(testing::Message() << "player " << c.player << " table bits " << tableBits
                                                << " fitted " << s.settings.fittedEvaluation);
                ExpertSearch search(tableBits, s.settings);
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

// The search without what came later, as the code before it played: moves,
// scores, depths and positions visited, one search after another on one
// table. The benchmark measures the new search against exactly this.
TEST(ExpertSearch, BaselineSettingsSearchAsBefore) {
    const struct {
        const Diagram* rows;
        int player;
        int depth;
        uint64_t nodes;
        CompactMove move;
        int score;
        int depthReached;
        uint64_t visited;
    } cases[] = {
        {&kOpeningDiagram, 1, 4, 0, {21, 21}, -496, 4, 13382},
        {&kOpeningDiagram, 1, ExpertSearch::kMaxDepth, 30000, {21, 21}, 224, 5, 30720},
        {&kMiddleDiagram, 2, 4, 0, {30, 10}, 736, 4, 37314},
        {&kMiddleDiagram, 2, ExpertSearch::kMaxDepth, 30000, {30, 10}, 736, 4, 30720},
        {&kEarly, 2, 4, 0, {59, 59}, -8, 4, 3164},
        {&kEarly, 2, ExpertSearch::kMaxDepth, 30000, {59, 59}, 164, 5, 30720},
    };
    ExpertSearch search(16, ExpertSearch::Settings::baseline());
    for (const auto& c : cases) {
        ExpertSearch::Limits limits;
        limits.depth = c.depth;
        limits.nodes = c.nodes;
        const ExpertSearch::Result r = search.run(make(*c.rows, c.player), limits);
        EXPECT_EQ(r.move, c.move);
        EXPECT_EQ(r.score, c.score);
        EXPECT_EQ(r.depth, c.depthReached);
        EXPECT_EQ(r.nodes, c.visited);
    }
}

// Player 2's corner figure can reach only (2, 2): filling it leaves player 2
// without a move, a win. It converts nothing, and four splits with a higher
// field number come before it in the order.
const Diagram kWalledIn = {"xoo......", "ooo......", "oo.......", ".........", ".........",
                           ".........", ".........", ".........", "........."};

// Whatever the settings, reductions, windows or clock never keep the search
// from a win at hand, however late the winning move comes in the order.
TEST(ExpertSearch, EverySettingTakesAWinAtHand) {
    for (const Diagram* rows : {&kLastTwo, &kWalledIn}) {
        const CompactPosition position = make(*rows, 1);
        for (const ExpertSearch::Settings& settings :
             {ExpertSearch::Settings::baseline(), ExpertSearch::Settings(), allSettings()}) {
            ExpertSearch search(16, settings);
            ExpertSearch::Limits limits;
            limits.nodes = 20000;
            const ExpertSearch::Result r = search.run(position, limits);
            CompactPosition after = position;
            after.play(r.move);
            EXPECT_EQ(after.winner(), 1) << "clock " << settings.flexibleClock;
            EXPECT_EQ(r.score, ExpertSearch::kWinScore - 1);
        }
    }
}

// With the flexible clock a search may run past its node budget, but never
// beyond the stretch it allows; a lone move is played at once.
TEST(ExpertSearch, FlexibleClockStaysWithinItsStretch_PlaysALoneMoveAtOnce) {
    ExpertSearch search(16, allSettings());
    ExpertSearch::Limits limits;
    limits.nodes = 4000;
    const auto most = static_cast<uint64_t>(ExpertSearch::kMaxStretch * 4000) + 1024;
    for (const Diagram* rows : {&kOpeningDiagram, &kMiddleDiagram, &kEarly}) {
        for (const int player : {1, 2}) {
            EXPECT_LE(search.run(make(*rows, player), limits).nodes, most);
        }
    }
    // Player 1's one figure can only jump to (2, 2).
    const Diagram lone = {"oxx......", "xxx......", "xx.......", ".........", ".........",
                          ".........", ".........", ".........", "........."};
    const ExpertSearch::Result r = search.run(make(lone, 1), limits);
    EXPECT_EQ(r.move, (CompactMove{0, 20}));
    EXPECT_EQ(r.depth, 1);
}

} // namespace
