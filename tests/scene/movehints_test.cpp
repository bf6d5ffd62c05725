#include "scene/movehints.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kSize = GameBoard::kBoardSize;

// Two humans, the diagram on the board, player to move with (x, y) clicked.
void setUp(GameBoard& board, const Diagram& diagram, int player, int x, int y) {
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    if (player == GameBoard::kPlayer2) {
        board.clickField(0, 0);
        board.clickField(0, 1);
        board.setMoveDone(true);
    }
    while (board.popMove()) {
    }
    drawDiagram(board, diagram);
    board.clickField(x, y);
    while (board.popMove()) {
    }
}

const Diagram kStartDiagram = {"o........", ".........", ".........", ".........", ".........",
                               ".........", ".........", ".........", "........x"};

// Every figure of either side in several positions, every field: marked
// exactly where the click rule takes a move, as a split where the figure
// stays, and the pulsing figures are exactly those the move wins.
TEST(MoveHints, EveryFieldOfSeveralPositions_MatchesWhatAClickThereDoes) {
    int moves = 0;
    for (const Diagram* diagram : {&kStartDiagram, &kOpeningDiagram, &kMiddleDiagram}) {
        for (int player = 1; player <= 2; ++player) {
            for (int from = 0; from < kSize * kSize; ++from) {
                const int fx = from % kSize, fy = from / kSize;
                GameBoard board;
                setUp(board, *diagram, player, fx, fy);
                if (board.getField(fx, fy) != player) {
                    continue;
                }
                const MoveHints::Fields hints = MoveHints::reachable(board);
                for (int to = 0; to < kSize * kSize; ++to) {
                    const int x = to % kSize, y = to / kSize;
                    SCOPED_TRACE(testing::Message() << fx << "," << fy << " to " << x << "," << y);
                    const bool marked = hints[x][y] != MoveHints::None;
                    EXPECT_EQ(marked, board.getField(x, y) == GameBoard::kEmpty && board.canClickField(x, y));
                    GameBoard after;
                    setUp(after, *diagram, player, fx, fy);
                    ASSERT_EQ(marked, after.clickField(x, y));
                    if (!marked) {
                        continue;
                    }
                    ++moves;
                    EXPECT_EQ(hints[x][y] == MoveHints::Split, after.getField(fx, fy) == player);
                    std::vector<GameBoard::Position> won;
                    for (int i = 0; i < kSize * kSize; ++i) {
                        const GameBoard::Position p{i % kSize, i / kSize};
                        if (board.getField(p.x, p.y) == 3 - player && after.getField(p.x, p.y) == player) {
                            won.push_back(p);
                        }
                    }
                    EXPECT_EQ(MoveHints::conversions(board, hints, x, y), won);
                }
            }
        }
    }
    EXPECT_GT(moves, 300);
}

} // namespace
