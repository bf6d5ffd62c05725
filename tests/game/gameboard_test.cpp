#include "game/gameboard.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

Move move(int fromX, int fromY, int toX, int toY, int type) {
    return {fromX, fromY, toX, toY, type};
}

// A game between two humans with the start position shown and player 1 to move.
class GameBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        board.setHuman(1, true);
        board.setHuman(2, true);
        board.newGame();
        drain();
    }

    // Takes every queued record out, as the table scene would over time.
    std::vector<Move> drain() {
        std::vector<Move> taken;
        while (board.hasPendingMoves()) {
            taken.push_back(board.frontMove());
            board.popMove();
        }
        return taken;
    }

    // A human's move through the click path, shown to the end.
    void playHumanMove(int fromX, int fromY, int toX, int toY) {
        ASSERT_TRUE(board.canClickField(fromX, fromY));
        board.clickField(fromX, fromY);
        drain();
        ASSERT_TRUE(board.canClickField(toX, toY));
        ASSERT_TRUE(board.clickField(toX, toY));
        board.setMoveDone(true);
        drain();
    }

    // Fills every field within distance 2 of (x, y), except (x, y) itself, with value.
    void wallIn(int x, int y, int value) {
        for (int fy = y - 2; fy <= y + 2; ++fy) {
            for (int fx = x - 2; fx <= x + 2; ++fx) {
                if (fx != x || fy != y) {
                    board.setField(fx, fy, value);
                }
            }
        }
    }

    GameBoard board;
};

// Construction and plain queries -------------------------------------------

TEST(GameBoardFresh, StartsEmptyWithoutGame) {
    GameBoard fresh;
    EXPECT_EQ(fresh.getWidth(), 9);
    EXPECT_EQ(fresh.getHeight(), 9);
    EXPECT_EQ(fresh.countFields(0), 81);
    EXPECT_EQ(fresh.getSelectedX(), -1);
    EXPECT_FALSE(fresh.hasPendingMoves());
    EXPECT_FALSE(fresh.isHuman(1));
    EXPECT_FALSE(fresh.isHuman(2));
    EXPECT_EQ(fresh.getFigureCount(1), 0);
    EXPECT_EQ(fresh.getCurrentPlayer(), -1);
    EXPECT_FALSE(fresh.isMoveDone());
    EXPECT_EQ(fresh.getDifficulty(), 2);
    EXPECT_EQ(fresh.winner(), 0);
    EXPECT_FALSE(fresh.isRunning());
}

TEST(GameBoardFresh, AcceptsNoClickBeforeFirstGame) {
    GameBoard fresh;
    fresh.setHuman(1, true);
    for (int y = -1; y <= 9; ++y) {
        for (int x = -1; x <= 9; ++x) {
            EXPECT_FALSE(fresh.canClickField(x, y)) << x << ", " << y;
        }
    }
}

TEST(GameBoardFresh, FrontMoveOfEmptyQueue_IsNoMove) {
    EXPECT_EQ(GameBoard().frontMove().type, 0);
}

TEST(GameBoardFields, OutsideBoard_ReadsEmptyAndIgnoresWrites) {
    GameBoard fresh;
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {9, 0}, {0, 9}, {-1, -1}}) {
        fresh.setField(x, y, 1);
        EXPECT_EQ(fresh.getField(x, y), 0);
    }
    EXPECT_EQ(fresh.countFields(0), 81);
}

TEST(GameBoardFields, ValueOtherThanEmptyOrPlayer_IsIgnored) {
    GameBoard fresh;
    fresh.setField(4, 4, 3);
    fresh.setField(4, 5, -1);
    EXPECT_EQ(fresh.countFields(0), 81);
}

TEST(GameBoardFields, DistanceIsLargerOfTheAxisDistances) {
    EXPECT_EQ(GameBoard::distance(0, 0, 2, 1), 2);
    EXPECT_EQ(GameBoard::distance(5, 5, 2, 6), 3);
    EXPECT_EQ(GameBoard::distance(3, 3, 3, 3), 0);
}

TEST(GameBoardSettings, DifficultyAcceptsOnlyOneAndTwo) {
    GameBoard fresh;
    fresh.setDifficulty(1);
    fresh.setDifficulty(0);
    fresh.setDifficulty(3);
    EXPECT_EQ(fresh.getDifficulty(), 1);
}

TEST(GameBoardSettings, PlayerOutsideOneAndTwo_IsIgnored) {
    GameBoard fresh;
    fresh.setHuman(0, true);
    fresh.setHuman(3, true);
    fresh.setFigureCount(-1, 5);
    fresh.setFigureCount(2, 7);
    EXPECT_FALSE(fresh.isHuman(0));
    EXPECT_FALSE(fresh.isHuman(3));
    EXPECT_EQ(fresh.getFigureCount(-1), 0);
    EXPECT_EQ(fresh.getFigureCount(2), 7);
    EXPECT_FALSE(fresh.computerMove(0));
    EXPECT_EQ(fresh.chooseTarget(3).x, -1);
}

TEST(GameBoardSettings, BoardSizeOutOfRange_IsRefusedWithWarning) {
    LogCapture capture;
    GameBoard fresh;
    fresh.setBoardSize(1, 9);
    fresh.setBoardSize(9, 0);
    fresh.setBoardSize(-5, -5);
    fresh.setBoardSize(100000, 100000);
    EXPECT_EQ(fresh.getWidth(), 9);
    EXPECT_EQ(fresh.countFields(0), 81);
    EXPECT_TRUE(capture.has("Board size 1 x 9 refused."));
    EXPECT_EQ(capture.lines().size(), 4u);
}

TEST_F(GameBoardTest, NewBoardSize_EndsGameAndStartsFromFarCorner) {
    board.setBoardSize(5, 6);
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_FALSE(board.isRunning());
    EXPECT_EQ(board.getCurrentPlayer(), -1);
    board.setHuman(1, true);
    board.newGame();
    EXPECT_EQ(board.getField(4, 5), 2);
    EXPECT_EQ(drain().back(), move(4, 5, 2, 0, MoveCreate));
}

// Start of game ---------------------------------------------------------------

TEST(GameBoardStart, HumanFirst_QueuesClearAndBothStartFigures) {
    GameBoard fresh;
    fresh.setHuman(1, true);
    fresh.setFigureCount(1, 12);
    fresh.newGame();
    ASSERT_EQ(fresh.countPendingMoves(), 3);
    EXPECT_EQ(fresh.frontMove(), move(0, 0, 0, 0, MoveClear));
    fresh.popMove();
    EXPECT_EQ(fresh.frontMove(), move(0, 0, 1, 0, MoveCreate));
    fresh.popMove();
    EXPECT_EQ(fresh.frontMove(), move(8, 8, 2, 0, MoveCreate));
    EXPECT_EQ(fresh.getField(0, 0), 1);
    EXPECT_EQ(fresh.getField(8, 8), 2);
    EXPECT_EQ(fresh.countFields(0), 79);
    EXPECT_EQ(fresh.getCurrentPlayer(), 1);
    EXPECT_FALSE(fresh.isMoveDone());
    EXPECT_EQ(fresh.getFigureCount(1), 0);
    EXPECT_TRUE(fresh.isRunning());
}

TEST(GameBoardStart, ComputerFirst_SplitsAtOnceToFirstBestNeighbour) {
    GameBoard fresh;
    fresh.newGame();
    ASSERT_EQ(fresh.countPendingMoves(), 4);
    for (int i = 0; i < 3; ++i) {
        fresh.popMove();
    }
    EXPECT_EQ(fresh.frontMove(), move(0, 0, 1, 0, MoveSplit));
    EXPECT_EQ(fresh.getField(1, 0), 1);
    EXPECT_TRUE(fresh.isMoveDone());
}

TEST_F(GameBoardTest, NewGameMidGame_DiscardsBoardQueueAndSelection) {
    playHumanMove(0, 0, 1, 1);
    board.clickField(8, 8);
    board.newGame();
    EXPECT_EQ(board.getSelectedX(), -1);
    EXPECT_EQ(board.getCurrentPlayer(), 1);
    EXPECT_EQ(board.countFields(1), 1);
    EXPECT_EQ(board.frontMove().type, MoveClear);
    EXPECT_EQ(board.countPendingMoves(), 3);
}

// Split and jump -----------------------------------------------------------------

TEST_F(GameBoardTest, Split_KeepsSourceAndFillsTarget) {
    ASSERT_TRUE(board.performMove(0, 0, 1, 1));
    EXPECT_EQ(board.getField(0, 0), 1);
    EXPECT_EQ(board.getField(1, 1), 1);
    EXPECT_EQ(drain(), std::vector<Move>{move(0, 0, 1, 1, MoveSplit)});
}

TEST_F(GameBoardTest, Jump_EmptiesSource) {
    ASSERT_TRUE(board.performMove(8, 8, 6, 7));
    EXPECT_EQ(board.getField(8, 8), 0);
    EXPECT_EQ(board.getField(6, 7), 2);
    EXPECT_EQ(drain(), std::vector<Move>{move(8, 8, 6, 7, MoveJump)});
}

TEST_F(GameBoardTest, RefusedMoves_ChangeNothingAndQueueNothing) {
    board.setField(1, 0, 2);
    struct Case {
        const char* what;
        int fromX, fromY, toX, toY;
    };
    const Case cases[] = {
        {"distance 3", 0, 0, 3, 0},
        {"distance 0", 0, 0, 0, 0},
        {"target off the board", 0, 0, -1, -1},
        {"source off the board", -1, 0, 0, 1},
        {"occupied target", 0, 0, 1, 0},
        {"empty source", 4, 4, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(board.performMove(c.fromX, c.fromY, c.toX, c.toY));
        EXPECT_FALSE(board.hasPendingMoves());
        EXPECT_EQ(board.countFields(1), 1);
        EXPECT_EQ(board.countFields(2), 2);
    }
}

// Conversion ---------------------------------------------------------------------

TEST_F(GameBoardTest, ThreeOpposingNeighbours_ConvertInRowMajorOrderAfterMove) {
    board.clearFields();
    board.setField(2, 4, 1);
    board.setField(5, 5, 2);
    board.setField(3, 3, 2);
    board.setField(4, 5, 2);
    ASSERT_TRUE(board.performMove(2, 4, 4, 4));
    const std::vector<Move> expected = {move(2, 4, 4, 4, MoveJump), move(3, 3, 3, 3, MoveConvert),
                                        move(4, 5, 4, 5, MoveConvert), move(5, 5, 5, 5, MoveConvert)};
    EXPECT_EQ(drain(), expected);
    EXPECT_EQ(board.countFields(2), 0);
}

TEST_F(GameBoardTest, Conversion_LeavesOwnEmptyAndFartherFieldsAlone) {
    board.clearFields();
    board.setField(3, 4, 1);
    board.setField(5, 5, 1);
    board.setField(6, 4, 2);
    board.setField(4, 2, 2);
    ASSERT_TRUE(board.performMove(3, 4, 4, 4));
    EXPECT_EQ(drain().size(), 1u);
    EXPECT_EQ(board.getField(6, 4), 2);
    EXPECT_EQ(board.getField(4, 2), 2);
    EXPECT_EQ(board.getField(5, 5), 1);
    EXPECT_EQ(board.countFields(0), 81 - 5);
}

TEST_F(GameBoardTest, ConversionAtEdge_QueuesOnlyFieldsOnTheBoard) {
    board.clearFields();
    board.setField(2, 0, 2);
    board.setField(0, 1, 2);
    board.setField(1, 1, 1);
    ASSERT_TRUE(board.performMove(1, 1, 0, 0));
    const std::vector<Move> expected = {move(1, 1, 0, 0, MoveSplit), move(0, 1, 0, 1, MoveConvert)};
    EXPECT_EQ(drain(), expected);
    EXPECT_EQ(board.getField(2, 0), 2);
}

// Selection ----------------------------------------------------------------------

TEST_F(GameBoardTest, ClickOnOwnFigure_SelectsIt) {
    EXPECT_FALSE(board.clickField(0, 0));
    EXPECT_EQ(board.getSelectedX(), 0);
    EXPECT_EQ(drain(), std::vector<Move>{move(0, 0, 0, 0, MoveSelect)});
}

TEST_F(GameBoardTest, ClickOnSelectedFigure_DeselectsIt) {
    board.clickField(0, 0);
    drain();
    EXPECT_FALSE(board.clickField(0, 0));
    EXPECT_EQ(board.getSelectedX(), -1);
    EXPECT_EQ(drain(), std::vector<Move>{move(0, 0, 0, 0, MoveDeselect)});
}

TEST_F(GameBoardTest, ClickOnOtherOwnFigure_DeselectsOldBeforeSelectingNew) {
    board.setField(3, 3, 1);
    board.clickField(0, 0);
    drain();
    EXPECT_FALSE(board.clickField(3, 3));
    const std::vector<Move> expected = {move(0, 0, 0, 0, MoveDeselect), move(3, 3, 3, 3, MoveSelect)};
    EXPECT_EQ(drain(), expected);
    EXPECT_EQ(board.getSelectedX(), 3);
    EXPECT_EQ(board.getSelectedY(), 3);
}

TEST_F(GameBoardTest, ClickWithinReach_MovesAndClearsSelection) {
    board.clickField(0, 0);
    drain();
    EXPECT_TRUE(board.clickField(2, 1));
    EXPECT_EQ(board.getSelectedX(), -1);
    EXPECT_EQ(board.getField(0, 0), 0);
    EXPECT_EQ(board.getField(2, 1), 1);
}

TEST_F(GameBoardTest, ClicksThatAreNoMove_ChangeNothing) {
    EXPECT_FALSE(board.clickField(1, 1)) << "empty field without a selection";
    board.clickField(0, 0);
    drain();
    EXPECT_FALSE(board.clickField(8, 8)) << "opposing figure";
    EXPECT_FALSE(board.clickField(3, 0)) << "empty field too far away";
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.getSelectedX(), 0);
}

TEST_F(GameBoardTest, ClickOffBoardBesideSelectedCorner_IsRefused) {
    board.clickField(0, 0);
    drain();
    EXPECT_FALSE(board.clickField(-1, -1));
    EXPECT_FALSE(board.clickField(-2, 0));
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.getSelectedX(), 0);
    EXPECT_EQ(board.countFields(1), 1);
}

// Click guard --------------------------------------------------------------------

TEST_F(GameBoardTest, Guard_AcceptsOwnFigureAndReachableEmptyFieldsOnly) {
    EXPECT_TRUE(board.canClickField(0, 0));
    EXPECT_FALSE(board.canClickField(1, 1)) << "no selection";
    EXPECT_FALSE(board.canClickField(8, 8)) << "opposing figure";
    board.clickField(0, 0);
    drain();
    EXPECT_TRUE(board.canClickField(0, 0)) << "selected figure";
    EXPECT_TRUE(board.canClickField(1, 1));
    EXPECT_TRUE(board.canClickField(2, 2));
    EXPECT_FALSE(board.canClickField(3, 2)) << "distance 3";
}

TEST_F(GameBoardTest, Guard_RefusesPositionsOffTheBoard) {
    board.setField(1, 1, 1);
    board.clickField(1, 1);
    drain();
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, -1}, {-1, 0}, {0, -1}, {-1, 3}, {9, 0}}) {
        EXPECT_FALSE(board.canClickField(x, y)) << x << ", " << y;
    }
}

TEST_F(GameBoardTest, Guard_RefusesEverythingWhileMovesAreQueued) {
    board.clickField(0, 0);
    EXPECT_FALSE(board.canClickField(0, 0));
    EXPECT_FALSE(board.canClickField(1, 1));
}

TEST_F(GameBoardTest, Guard_RefusesComputerPlayersTurn) {
    board.setHuman(1, false);
    EXPECT_FALSE(board.canClickField(0, 0));
}

// Popping and passing the turn ---------------------------------------------------

TEST_F(GameBoardTest, PopMove_EmptyQueue_ReturnsFalse) {
    EXPECT_FALSE(board.popMove());
}

TEST_F(GameBoardTest, PopMove_SelectionRecords_NeverPassTurn) {
    board.setField(2, 2, 1);
    board.clickField(0, 0);
    board.clickField(2, 2);
    board.clickField(2, 2);
    EXPECT_EQ(drain().size(), 4u);
    EXPECT_EQ(board.getCurrentPlayer(), 1);
    EXPECT_FALSE(board.isMoveDone());
}

TEST_F(GameBoardTest, PopMove_LastRecordOfCompletedMove_PassesTurn) {
    board.setField(1, 1, 2);
    board.clickField(0, 0);
    drain();
    board.clickField(1, 0);
    board.setMoveDone(true);
    ASSERT_EQ(board.countPendingMoves(), 2);
    EXPECT_TRUE(board.popMove());
    EXPECT_EQ(board.getCurrentPlayer(), 1) << "the conversion is still queued";
    EXPECT_TRUE(board.popMove());
    EXPECT_EQ(board.getCurrentPlayer(), 2);
    EXPECT_FALSE(board.isMoveDone());
}

TEST_F(GameBoardTest, PopMove_PassingToComputer_QueuesItsMoveInSameCall) {
    board.setHuman(2, false);
    board.clickField(0, 0);
    drain();
    board.clickField(1, 0);
    board.setMoveDone(true);
    board.popMove();
    EXPECT_EQ(board.getCurrentPlayer(), 2);
    EXPECT_TRUE(board.isMoveDone());
    EXPECT_EQ(board.frontMove(), move(8, 8, 7, 7, MoveSplit));
}

TEST_F(GameBoardTest, PopMove_PassingToComputerWithoutMove_QueuesNothing) {
    board.setHuman(2, false);
    wallIn(8, 8, 1);
    playHumanMove(0, 0, 1, 0);
    EXPECT_EQ(board.getCurrentPlayer(), 2);
    EXPECT_TRUE(board.isMoveDone());
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.winner(), 1);
}

// Result -------------------------------------------------------------------------

TEST_F(GameBoardTest, FullBoard_MoreFiguresWin) {
    for (int i = 0; i < 81; ++i) {
        board.setField(i % 9, i / 9, i < 41 ? 1 : 2);
    }
    EXPECT_EQ(board.winner(), 1);
    for (int i = 0; i < 81; ++i) {
        board.setField(i % 9, i / 9, i < 40 ? 1 : 2);
    }
    EXPECT_EQ(board.winner(), 2);
}

TEST_F(GameBoardTest, SideWithoutFigures_Loses) {
    board.setField(8, 8, 0);
    EXPECT_EQ(board.winner(), 1);
    board.setField(8, 8, 2);
    board.setField(0, 0, 0);
    EXPECT_EQ(board.winner(), 2);
}

TEST_F(GameBoardTest, PlayerOneWithoutMove_LosesEvenOnPlayerTwosTurn) {
    playHumanMove(0, 0, 1, 0);
    ASSERT_EQ(board.getCurrentPlayer(), 2);
    board.clearFields();
    board.setField(0, 0, 1);
    wallIn(0, 0, 2);
    EXPECT_EQ(board.winner(), 2);
    EXPECT_FALSE(board.isRunning());
}

TEST_F(GameBoardTest, QueuedMoves_HoldBackTheResult) {
    board.setField(8, 8, 0);
    board.clickField(0, 0);
    EXPECT_EQ(board.winner(), 0);
    drain();
    EXPECT_EQ(board.winner(), 1);
}

TEST_F(GameBoardTest, DecidedGame_StaysStartedAndWinnerMayGoOnMoving) {
    wallIn(8, 8, 1);
    ASSERT_EQ(board.winner(), 1);
    EXPECT_FALSE(board.isRunning());
    EXPECT_TRUE(board.canClickField(0, 0));
    playHumanMove(0, 0, 0, 2);
    EXPECT_EQ(board.winner(), 1);
}

} // namespace
