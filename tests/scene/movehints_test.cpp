#include "scene/movehints.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kSize = GameBoard::kBoardSize;

// Two humans, the diagram on the board, player to move with (x, y) selected.
void setUp(GameBoard& board, const Diagram& diagram, int player, int x, int y) {
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    while (board.popMove()) {
    }
    if (player == GameBoard::kPlayer2) {
        board.clickField(0, 0);
        board.clickField(0, 1);
        board.setMoveDone(true);
        while (board.popMove()) {
        }
    }
    drawDiagram(board, diagram);
    board.clickField(x, y);
    while (board.popMove()) {
    }
}

const Diagram kStartDiagram = {"o........", ".........", ".........", ".........", ".........",
                               ".........", ".........", ".........", "........x"};

// For every figure of either side in several positions, every field: marked
// exactly where the click rule takes a move, as a split where the figure
// stays, and the pulsing figures are exactly those the move wins.
TEST(MoveHints, EveryFieldOfSeveralPositions_MatchesWhatAClickThereDoes) {
    int checked = 0;
    for (const Diagram* diagram : {&kStartDiagram, &kOpeningDiagram, &kMiddleDiagram}) {
        for (const int player : {GameBoard::kPlayer1, GameBoard::kPlayer2}) {
            for (int fx = 0; fx < kSize; ++fx) {
                for (int fy = 0; fy < kSize; ++fy) {
                    GameBoard board;
                    setUp(board, *diagram, player, fx, fy);
                    if (board.getField(fx, fy) != player) {
                        continue;
                    }
                    ASSERT_EQ(board.getSelectedX(), fx);
                    const MoveHints::Fields hints = MoveHints::reachable(board);
                    for (int x = 0; x < kSize; ++x) {
                        for (int y = 0; y < kSize; ++y) {
                            SCOPED_TRACE(testing::Message() << fx << "," << fy << " to " << x << "," << y);
                            const MoveHints::Kind kind = hints[x][y];
                            const bool empty = board.getField(x, y) == GameBoard::kEmpty;
                            EXPECT_EQ(kind != MoveHints::None, empty && board.canClickField(x, y));
                            GameBoard after;
                            setUp(after, *diagram, player, fx, fy);
                            const bool moved = after.clickField(x, y);
                            ASSERT_EQ(kind != MoveHints::None, moved);
                            if (!moved) {
                                continue;
                            }
                            ++checked;
                            EXPECT_EQ(kind == MoveHints::Split, after.getField(fx, fy) == player);
                            std::vector<GameBoard::Position> won;
                            for (int wy = 0; wy < kSize; ++wy) {
                                for (int wx = 0; wx < kSize; ++wx) {
                                    if (board.getField(wx, wy) == 3 - player &&
                                        after.getField(wx, wy) == player) {
                                        won.push_back({wx, wy});
                                    }
                                }
                            }
                            EXPECT_EQ(MoveHints::conversions(board, hints, x, y), won);
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 300);
}

// No marks without a selection, while moves are queued or for a computer.
TEST(MoveHints, NoSelectionQueuedMovesOrComputer_NothingMarked) {
    const auto marked = [](const GameBoard& board) {
        const MoveHints::Fields hints = MoveHints::reachable(board);
        int count = 0;
        for (const auto& column : hints) {
            count += static_cast<int>(std::count_if(column.begin(), column.end(),
                                                    [](MoveHints::Kind k) { return k != MoveHints::None; }));
        }
        return count;
    };
    GameBoard board;
    setUp(board, kOpeningDiagram, GameBoard::kPlayer1, 0, 0);
    ASSERT_GT(marked(board), 0);
    board.clickField(0, 0);
    EXPECT_EQ(marked(board), 0) << "deselected, the record still queued";
    while (board.popMove()) {
    }
    EXPECT_EQ(marked(board), 0) << "deselected";
    board.clickField(1, 0);
    EXPECT_EQ(marked(board), 0) << "selected, the record still queued";
    while (board.popMove()) {
    }
    board.setHuman(GameBoard::kPlayer1, false);
    EXPECT_EQ(marked(board), 0) << "computer to move";
}

} // namespace
