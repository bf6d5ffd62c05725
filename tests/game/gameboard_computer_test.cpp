#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <vector>

// Lets failures print positions as (x, y).
void PrintTo(const GameBoard::Position& p, std::ostream* out) {
    *out << "(" << p.x << ", " << p.y << ")";
}

namespace {

// Hands out a fixed sequence of draws, repeating the last one, and counts them.
class ScriptedRandom {
public:
    explicit ScriptedRandom(std::vector<int> values) : state(std::make_shared<State>()) {
        state->values = std::move(values);
    }
    GameBoard::RandomSource source() const {
        return [state = state] {
            const size_t index = std::min(state->draws++, state->values.size() - 1);
            return state->values[index];
        };
    }
    size_t draws() const { return state->draws; }

private:
    struct State {
        std::vector<int> values;
        size_t draws = 0;
    };
    std::shared_ptr<State> state;
};

constexpr int kHighestContinuingDraw = 22936;

// An empty board with player 1 to move; the test places the figures.
class ComputerPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        board.setHuman(1, true);
        board.setHuman(2, true);
        board.newGame();
        while (board.popMove()) {
        }
        board.clearFields();
    }

    // Player 1 in the corner with a player 2 figure diagonally two away: the
    // first reachable field in row-major order, (1, 0), weighs 3, and (1, 1),
    // between the two, weighs 5.
    void placeCornerAndRival() {
        board.setField(0, 0, 1);
        board.setField(2, 2, 2);
    }

    GameBoard board;
};

// Nearest figure -------------------------------------------------------------

TEST_F(ComputerPlayerTest, NearestFigure_PrefersDistanceOneOverEarlierDistanceTwo) {
    board.setField(4, 2, 1);
    board.setField(5, 5, 1);
    board.setField(3, 5, 1);
    EXPECT_EQ(board.findNearestFigure(4, 4, 1), (GameBoard::Position{3, 5}));
}

TEST_F(ComputerPlayerTest, NearestFigure_AmongEqualsTakesRowMajorFirst) {
    board.setField(6, 4, 1);
    board.setField(2, 5, 1);
    board.setField(5, 2, 1);
    EXPECT_EQ(board.findNearestFigure(4, 4, 1), (GameBoard::Position{5, 2}));
}

TEST_F(ComputerPlayerTest, NearestFigure_NoneWithinTwo) {
    board.setField(4, 7, 1);
    board.setField(5, 5, 2);
    EXPECT_EQ(board.findNearestFigure(4, 4, 1), GameBoard::Position());
}

TEST_F(ComputerPlayerTest, NearestFigure_AtCornerReadsOffBoardAsEmpty) {
    board.setField(2, 1, 1);
    EXPECT_EQ(board.findNearestFigure(0, 0, 1), (GameBoard::Position{2, 1}));
}

// Field weight ---------------------------------------------------------------

TEST_F(ComputerPlayerTest, Weight_JumpBesideTwoOpposingFiguresIsFive) {
    board.setField(2, 4, 1);
    board.setField(5, 3, 2);
    board.setField(5, 5, 2);
    EXPECT_EQ(board.fieldWeight(4, 4, 1), 5);
}

TEST_F(ComputerPlayerTest, Weight_SplitBesideOneOwnFigureIsThree) {
    board.setField(3, 4, 1);
    EXPECT_EQ(board.fieldWeight(4, 4, 1), 3);
}

TEST_F(ComputerPlayerTest, Weight_UnreachableIsZeroAndOccupiedOrOffBoardIsMinusOne) {
    board.setField(0, 0, 1);
    board.setField(5, 4, 2);
    EXPECT_EQ(board.fieldWeight(4, 4, 1), 0);
    EXPECT_EQ(board.fieldWeight(0, 0, 1), -1);
    EXPECT_EQ(board.fieldWeight(5, 4, 1), -1);
    EXPECT_EQ(board.fieldWeight(-1, -1, 1), -1);
    EXPECT_EQ(board.fieldWeight(9, 0, 1), -1);
}

// Target and source ----------------------------------------------------------

TEST_F(ComputerPlayerTest, Target_HardTakesFirstOfEqualBestInRowMajorOrder) {
    board.setField(0, 0, 1);
    EXPECT_EQ(board.chooseTarget(1), (GameBoard::Position{1, 0}));
}

TEST_F(ComputerPlayerTest, Target_HardTakesHighestWeightWithoutDrawing) {
    ScriptedRandom random({32767});
    board.setRandomSource(random.source());
    placeCornerAndRival();
    EXPECT_EQ(board.chooseTarget(1), (GameBoard::Position{1, 1}));
    EXPECT_EQ(random.draws(), 0u);
}

TEST_F(ComputerPlayerTest, Target_WalledInPlayerHasNone) {
    board.setField(0, 0, 1);
    for (int y = 0; y <= 2; ++y) {
        for (int x = 0; x <= 2; ++x) {
            board.setField(x, y, x + y == 0 ? 1 : 2);
        }
    }
    EXPECT_EQ(board.chooseTarget(1), GameBoard::Position());
    EXPECT_FALSE(board.computerMove(1));
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.countFields(2), 8);
}

TEST_F(ComputerPlayerTest, Source_SplitsFromFirstTouchingFigureEvenWhenJumpPossible) {
    board.setField(4, 2, 1);
    board.setField(5, 5, 1);
    board.setField(3, 5, 1);
    EXPECT_EQ(board.chooseSource(4, 4, 1), (GameBoard::Position{3, 5}));
}

TEST_F(ComputerPlayerTest, Move_SplitsToBestTargetAndConverts) {
    placeCornerAndRival();
    ASSERT_TRUE(board.computerMove(1));
    EXPECT_EQ(board.frontMove(), (Move{0, 0, 1, 1, MoveSplit}));
    EXPECT_EQ(board.countPendingMoves(), 2);
    EXPECT_EQ(board.countFields(1), 3);
    EXPECT_EQ(board.countFields(2), 0);
}

TEST_F(ComputerPlayerTest, Move_JumpsWhenNoFigureTouchesTarget) {
    board.setField(0, 4, 1);
    board.setField(3, 4, 2);
    board.setField(3, 3, 2);
    ASSERT_TRUE(board.computerMove(1));
    EXPECT_EQ(board.frontMove(), (Move{0, 4, 2, 3, MoveJump}));
    EXPECT_EQ(board.getField(0, 4), 0);
}

// Easy level ------------------------------------------------------------------

TEST_F(ComputerPlayerTest, Easy_HighDrawStopsAtFirstImprovement) {
    ScriptedRandom random({kHighestContinuingDraw + 1});
    board.setRandomSource(random.source());
    board.setDifficulty(GameBoard::kEasy);
    placeCornerAndRival();
    EXPECT_EQ(board.chooseTarget(1), (GameBoard::Position{1, 0}));
    EXPECT_EQ(random.draws(), 1u);
}

TEST_F(ComputerPlayerTest, Easy_LowDrawsFindSameTargetAsHard) {
    ScriptedRandom random({kHighestContinuingDraw});
    board.setRandomSource(random.source());
    board.setDifficulty(GameBoard::kEasy);
    placeCornerAndRival();
    EXPECT_EQ(board.chooseTarget(1), (GameBoard::Position{1, 1}));
    EXPECT_EQ(random.draws(), 2u) << "one draw per improvement";
}

TEST_F(ComputerPlayerTest, Easy_StopAfterSecondImprovement) {
    ScriptedRandom random({0, 32767});
    board.setRandomSource(random.source());
    board.setDifficulty(GameBoard::kEasy);
    board.setField(0, 0, 1);
    board.setField(2, 2, 2);
    board.setField(6, 6, 1);
    board.setField(4, 7, 2);
    board.setField(5, 8, 2);
    EXPECT_EQ(board.chooseTarget(1), (GameBoard::Position{1, 1}));
    EXPECT_EQ(random.draws(), 2u);
}

TEST_F(ComputerPlayerTest, Easy_WithoutTargetDrawsNothing) {
    ScriptedRandom random({32767});
    board.setRandomSource(random.source());
    board.setDifficulty(GameBoard::kEasy);
    board.setField(0, 0, 1);
    board.setField(8, 8, 2);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            if (board.getField(x, y) == 0) {
                board.setField(x, y, 2);
            }
        }
    }
    EXPECT_EQ(board.chooseTarget(1), GameBoard::Position());
    EXPECT_EQ(random.draws(), 0u);
}

TEST_F(ComputerPlayerTest, Easy_ResultCheckDrawsButStillFindsMoves) {
    ScriptedRandom random({32767});
    board.setRandomSource(random.source());
    board.setDifficulty(GameBoard::kEasy);
    placeCornerAndRival();
    EXPECT_EQ(board.winner(), 0);
    EXPECT_EQ(random.draws(), 2u);
}

TEST(ComputerPlayerRandom, DefaultSourceSpansCRuntimeRangeUniformly) {
    constexpr int kDraws = 20000;
    int stops = 0;
    for (int i = 0; i < kDraws; ++i) {
        const int r = GameBoard::defaultRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        stops += r > kHighestContinuingDraw ? 1 : 0;
    }
    // 9831 in 32768 is 30 %; a source with the wrong range lands far away.
    EXPECT_NEAR(static_cast<double>(stops) / kDraws, 0.3, 0.03);
}

TEST(ComputerPlayerStart, ComputerFirstAtHard_SplitsToOneZero) {
    GameBoard board;
    board.newGame();
    EXPECT_EQ(board.getField(1, 0), 1);
    EXPECT_EQ(board.countFields(1), 2);
}

} // namespace
