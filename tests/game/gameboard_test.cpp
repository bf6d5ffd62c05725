#include "game/gameboard.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <vector>

void PrintTo(const GameBoard::Position& p, std::ostream* out) {
    *out << "(" << p.x << ", " << p.y << ")";
}

namespace {

using Moves = std::vector<Move>;
using P = GameBoard::Position;

// Takes every queued record out, as the table scene does over time.
Moves drain(GameBoard& board) {
    Moves taken;
    while (board.hasPendingMoves()) {
        taken.push_back(board.frontMove());
        board.popMove();
    }
    return taken;
}

// A game between two humans, start position shown, player 1 to move.
class GameBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        board.setHuman(1, true);
        board.setHuman(2, true);
        board.newGame();
        drain(board);
    }
    // Clears the board and places figures given as {x, y, player}.
    void place(std::initializer_list<std::array<int, 3>> figures) {
        board.clearFields();
        for (const auto& f : figures) {
            board.setField(f[0], f[1], f[2]);
        }
    }
    // Fills every other field within distance 2 of (x, y) with value.
    void wallIn(int x, int y, int value) {
        for (int fy = y - 2; fy <= y + 2; ++fy) {
            for (int fx = x - 2; fx <= x + 2; ++fx) {
                if (fx != x || fy != y) {
                    board.setField(fx, fy, value);
                }
            }
        }
    }
    // A human's completed move by clicks.
    void clickMove(int fromX, int fromY, int toX, int toY) {
        board.clickField(fromX, fromY);
        drain(board);
        ASSERT_TRUE(board.clickField(toX, toY));
        board.setMoveDone(true);
    }

    GameBoard board;
};

TEST(GameBoardFresh, HasNoGameAndIgnoresOutOfRangeInput) {
    LogCapture quiet;
    GameBoard board;
    board.setHuman(1, true);
    EXPECT_EQ(board.winner(), 0);
    EXPECT_FALSE(board.isRunning());
    EXPECT_FALSE(board.canClickField(0, 0));
    for (const P& p : {P{-1, 0}, P{0, -1}, P{9, 0}, P{0, 9}}) {
        board.setField(p.x, p.y, 1);
    }
    board.setField(4, 4, 3);
    board.setDifficulty(4);
    board.setBoardSize(1, 9);
    board.setBoardSize(100000, 100000);
    EXPECT_EQ(board.countFields(0), 81);
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
}

TEST_F(GameBoardTest, NewGame_QueuesClearAndStartFigures_DiscardingTheOldGame) {
    board.setField(3, 3, 2);
    board.clickField(0, 0);
    board.newGame();
    EXPECT_EQ(board.getSelectedX(), -1);
    Moves start = {{0, 0, 0, 0, MoveClear}, {0, 0, 1, 0, MoveCreate}, {8, 8, 2, 0, MoveCreate}};
    EXPECT_EQ(drain(board), start);
    EXPECT_EQ(board.countFields(0), 79);
    board.setHuman(1, false);
    board.newGame();
    // (1, 0), (0, 1) and (1, 1) all weigh 3; the hard level takes the first.
    start.push_back({0, 0, 1, 0, MoveSplit});
    EXPECT_EQ(drain(board), start);
}

TEST_F(GameBoardTest, RefusedMoves_ChangeNothingAndQueueNothing) {
    board.setField(1, 0, 2);
    const std::array<int, 4> refused[] = {
        {0, 0, 3, 0}, {0, 0, 0, 0}, {0, 0, -1, -1}, {-1, 0, 0, 1}, {0, 0, 1, 0}, {4, 4, 5, 5},
    };
    for (const auto& m : refused) {
        EXPECT_FALSE(board.performMove(m[0], m[1], m[2], m[3])) << m[0] << m[1] << m[2] << m[3];
    }
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.countFields(1), 1);
}

TEST_F(GameBoardTest, Selection_NewOwnFigureDeselectsTheOldFirst_SelectedOneDeselects) {
    board.setField(3, 3, 1);
    EXPECT_FALSE(board.clickField(0, 0));
    EXPECT_FALSE(board.clickField(3, 3));
    EXPECT_FALSE(board.clickField(3, 3));
    const Moves expected = {{0, 0, 0, 0, MoveSelect},
                            {0, 0, 0, 0, MoveDeselect},
                            {3, 3, 3, 3, MoveSelect},
                            {3, 3, 3, 3, MoveDeselect}};
    EXPECT_EQ(drain(board), expected);
    EXPECT_EQ(board.getSelectedX(), -1);
    EXPECT_EQ(board.getCurrentPlayer(), 1) << "selection records never pass the turn";
}

// A field the guard refuses is also no move when clicked.
TEST_F(GameBoardTest, Clicks_OnlyOwnFiguresAndReachableEmptyFieldsAreTaken) {
    EXPECT_FALSE(board.canClickField(1, 1)) << "no selection";
    EXPECT_FALSE(board.clickField(1, 1));
    board.setField(1, 1, 1);
    board.clickField(1, 1);
    EXPECT_FALSE(board.canClickField(1, 1)) << "records still queued";
    drain(board);
    const struct {
        P field;
        bool taken;
    } cases[] = {{{3, 3}, true},    {{0, 0}, true},   {{4, 1}, false},  {{8, 8}, false},
                 {{-1, -1}, false}, {{-1, 0}, false}, {{0, -1}, false}, {{-1, 3}, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(board.canClickField(c.field.x, c.field.y), c.taken) << c.field.x << ", " << c.field.y;
        if (!c.taken) {
            EXPECT_FALSE(board.clickField(c.field.x, c.field.y)) << c.field.x << ", " << c.field.y;
        }
    }
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.getSelectedX(), 1);
    board.setHuman(1, false);
    EXPECT_FALSE(board.canClickField(0, 0)) << "the computer's turn";
}

TEST_F(GameBoardTest, PopMove_LastRecordOfACompletedMovePassesTheTurn_AComputerRepliesAtOnce) {
    EXPECT_FALSE(board.popMove());
    board.setHuman(2, false);
    board.setField(1, 1, 2);
    clickMove(0, 0, 1, 0);
    ASSERT_EQ(board.countPendingMoves(), 2);
    EXPECT_TRUE(board.popMove());
    EXPECT_EQ(board.getCurrentPlayer(), 1) << "the conversion is still queued";
    EXPECT_TRUE(board.popMove());
    EXPECT_EQ(board.getCurrentPlayer(), 2);
    EXPECT_EQ(board.frontMove(), (Move{8, 8, 7, 7, MoveSplit}));
}

TEST_F(GameBoardTest, WalledInComputer_HasNoTargetAndLosesWhenTheTurnPasses) {
    board.setHuman(2, false);
    wallIn(8, 8, 1);
    EXPECT_EQ(board.chooseTarget(2), P());
    EXPECT_FALSE(board.computerMove(2));
    clickMove(0, 0, 1, 0);
    EXPECT_EQ(board.winner(), 0) << "held back while records are queued";
    drain(board);
    EXPECT_EQ(board.getCurrentPlayer(), 2);
    EXPECT_EQ(board.winner(), 1);
}

TEST_F(GameBoardTest, Winner_SideWithoutFiguresOrMovesLoses_EvenOnTheOthersTurn) {
    board.setField(8, 8, 0);
    EXPECT_EQ(board.winner(), 1);
    EXPECT_FALSE(board.isRunning());
    EXPECT_TRUE(board.canClickField(0, 0)) << "the winner may go on moving";
    board.setField(8, 8, 2);
    clickMove(0, 0, 1, 0);
    drain(board);
    ASSERT_EQ(board.getCurrentPlayer(), 2);
    place({{0, 0, 1}, {8, 8, 2}});
    wallIn(0, 0, 2);
    EXPECT_EQ(board.winner(), 2);
}

// Computer player -------------------------------------------------------------

TEST_F(GameBoardTest, HardLevel_WeighsFieldsAndTakesTheFirstBestWithTheNearestFigure) {
    place({{4, 2, 1}, {3, 5, 1}, {5, 5, 1}});
    EXPECT_EQ(board.chooseSource(4, 4, 1), (P{3, 5})) << "a split beats an earlier jump";
    EXPECT_EQ(board.findNearestFigure(4, 7, 1), (P{3, 5})) << "row-major first among equals";
    EXPECT_EQ(board.findNearestFigure(6, 0, 1), (P{4, 2})) << "beside the edge";
    EXPECT_EQ(board.findNearestFigure(8, 8, 1), P()) << "none within two";
    place({{2, 4, 1}, {5, 3, 2}, {5, 5, 2}, {0, 0, 1}});
    EXPECT_EQ(board.fieldWeight(4, 4, 1), 5) << "jump beside two opposing figures";
    EXPECT_EQ(board.fieldWeight(1, 0, 1), 3) << "split beside one own figure";
    EXPECT_EQ(board.fieldWeight(7, 7, 1), 0) << "out of reach";
    EXPECT_EQ(board.fieldWeight(5, 3, 1), -1) << "occupied";
    EXPECT_EQ(board.fieldWeight(-1, -1, 1), -1) << "off the board";
    place({{0, 4, 1}, {3, 4, 2}, {3, 3, 2}});
    ASSERT_TRUE(board.computerMove(1));
    EXPECT_EQ(board.frontMove(), (Move{0, 4, 2, 3, MoveJump}));
}

TEST_F(GameBoardTest, EasyLevel_StopsAtAnImprovementOnlyAfterAHighDraw) {
    board.setDifficulty(GameBoard::kEasy);
    int draw = 22937;
    int draws = 0;
    board.setRandomSource([&] {
        ++draws;
        return draw;
    });
    // (1, 0) weighs 3 and comes first; (1, 1) weighs 5.
    place({{0, 0, 1}, {2, 2, 2}});
    EXPECT_EQ(board.chooseTarget(1), (P{1, 0}));
    EXPECT_EQ(draws, 1);
    draw = 22936;
    EXPECT_EQ(board.chooseTarget(1), (P{1, 1}));
    EXPECT_EQ(draws, 3) << "one draw after each improvement";
}

TEST(GameBoardRandom, DefaultSourceSpansTheCRuntimeRangeUniformly) {
    int stops = 0;
    for (int i = 0; i < 20000; ++i) {
        const int r = GameBoard::defaultRandom();
        ASSERT_TRUE(r >= 0 && r <= 32767) << r;
        stops += r > 22936 ? 1 : 0;
    }
    // 30 % of the draws stop the easy level; a source of the wrong range lands far away.
    EXPECT_NEAR(stops / 20000.0, 0.3, 0.03);
}

} // namespace
