#include "game/coach.h"
#include "game/gameboard.h"
#include "game/playedgame.h"
#include "support/poll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The tip as the board's rules see it: a split or jump of the player to
// move from an own figure onto an empty field, winning exactly the opposing
// figures around it.
std::string fault(const CompactPosition& p, const Coach::Tip& tip) {
    const Move& m = tip.move;
    const int player = p.toMove();
    const int d = GameBoard::distance(m.fromX, m.fromY, m.toX, m.toY);
    if ((m.type != MoveSplit || d != 1) && (m.type != MoveJump || d != 2)) {
        return "not a split or jump";
    }
    if (p.getField(m.fromX, m.fromY) != player || p.getField(m.toX, m.toY) != GameBoard::kEmpty) {
        return "not from an own figure onto an empty field";
    }
    size_t opposing = 0;
    for (int y = m.toY - 1; y <= m.toY + 1; ++y) {
        for (int x = m.toX - 1; x <= m.toX + 1; ++x) {
            opposing += p.getField(x, y) == 3 - player ? 1 : 0;
        }
    }
    for (const GameBoard::Position& w : tip.won) {
        if (p.getField(w.x, w.y) != 3 - player || GameBoard::distance(w.x, w.y, m.toX, m.toY) != 1) {
            return "wins a field that is not an opposing neighbour";
        }
    }
    return opposing == tip.won.size() ? "" : "misses a figure it wins";
}

// A shallow search with a node budget keeps it quick; the tip stays legal
// however early the search stops. The random games prefer splits, as
// players do, so that they fill the board and end.
TEST(Coach, TipIsALegalMoveInEveryPositionOf200RandomGames) {
    ExpertSearch search(10);
    ExpertSearch::Limits limits;
    limits.nodes = 60;
    limits.depth = 1;
    for (unsigned seed = 0; seed < 200; ++seed) {
        std::mt19937 rng(seed);
        CompactPosition position = PlayedGame::startPosition();
        while (position.winner() == 0) {
            const Coach::Tip tip = Coach::tipFor(position, search.run(position, limits));
            ASSERT_EQ(fault(position, tip), "") << "seed " << seed;
            CompactMove moves[CompactPosition::kMaxMoves];
            const int n = position.generateMoves(moves);
            const auto splits = static_cast<int>(
                std::partition(moves, moves + n, [](CompactMove m) { return m.isSplit(); }) - moves);
            const bool split = splits > 0 && rng() % 4 != 0;
            position.play(moves[rng() % static_cast<unsigned>(split ? splits : n)]);
        }
    }
}

// Player 2's last figure stands in the corner with one empty field beside
// it: the coach, thinking on its own thread, takes it there and calls it a
// win; a question cancelled never answers.
TEST(Coach, ImmediateWin_TheTipTakesTheLastFigure) {
    CompactPosition position = PlayedGame::startPosition();
    position.setField(0, 0, GameBoard::kEmpty);
    position.setField(7, 8, GameBoard::kPlayer1);
    position.setField(8, 7, GameBoard::kPlayer1);
    position.setField(3, 3, GameBoard::kPlayer1);
    ExpertSearch::Limits limits;
    limits.nodes = 5000;
    Coach coach;
    coach.ask(position, limits);
    coach.cancel();
    EXPECT_FALSE(coach.isThinking());
    EXPECT_FALSE(coach.takeTip());
    coach.ask(position, limits);
    std::optional<Coach::Tip> tip;
    ASSERT_TRUE(poll([&] {
        if (!tip) {
            tip = coach.takeTip();
        }
        return tip.has_value();
    }));
    EXPECT_EQ(fault(position, *tip), "");
    EXPECT_EQ(tip->move.toX, 7);
    EXPECT_EQ(tip->move.toY, 7);
    EXPECT_EQ(tip->won.size(), 1u);
    EXPECT_EQ(Coach::judgement(*tip, GameBoard::kPlayer1).find("Player 1 wins"), 0u);
}

// The words count whole figures of the search's score, whatever the
// evaluation adds for where they stand.
TEST(Coach, Judgement_CountsFiguresOfTheScore) {
    const struct {
        int score;
        const char* words;
    } cases[] = {
        {ExpertSearch::kFigureScore * 2, "Player 1 is ahead by 2 figures at depth 5"},
        {-ExpertSearch::kFigureScore, "Player 1 is behind by 1 figure at depth 5"},
        {ExpertSearch::kFigureScore / 3, "Even at depth 5"},
    };
    for (const auto& c : cases) {
        Coach::Tip tip;
        tip.score = c.score;
        tip.depth = 5;
        EXPECT_EQ(Coach::judgement(tip, GameBoard::kPlayer1), c.words);
    }
}

} // namespace
