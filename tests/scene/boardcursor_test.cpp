#include "input/inputevent.h"
#include "scene/boardcursor.h"
#include "scene/camera.h"
#include "scene/cameracontrol.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

// Tab visits player 1's figures that can move in reading order and round
// again; the figure walled in by player 2 is passed over; Shift+Tab goes back.
TEST(BoardCursor, TabVisitsTheFiguresThatCanMove_InReadingOrderAndRound) {
    GameBoard board;
    drawDiagram(board, {".o.......", ".........", ".........", ".........", "....o....", ".........",
                        "......xxx", "......xxx", "......xxo"});
    BoardCursor cursor;
    std::vector<std::pair<int, int>> visited;
    for (int tab = 0; tab < 3; ++tab) {
        ASSERT_TRUE(cursor.nextFigure(board, GameBoard::kPlayer1, 1));
        visited.emplace_back(cursor.getX(), cursor.getY());
    }
    EXPECT_EQ(visited, (std::vector<std::pair<int, int>>{{1, 0}, {4, 4}, {1, 0}}));
    ASSERT_TRUE(cursor.nextFigure(board, GameBoard::kPlayer1, -1));
    EXPECT_EQ(std::make_pair(cursor.getX(), cursor.getY()), std::make_pair(4, 4));
    EXPECT_TRUE(cursor.isShown());
    BoardCursor none;
    EXPECT_FALSE(none.nextFigure(board, 0, 1));
    EXPECT_FALSE(none.isShown());
}

// The figures Tab visits: the human to move, else the only human at the table.
TEST(BoardCursor, KeyboardPlayer_TheHumanToMove_ElseTheOnlyHuman) {
    const struct {
        bool human1, human2;
        int expected;
    } cases[] = {{true, true, 1}, {false, true, 2}, {true, false, 1}, {false, false, 0}};
    for (const auto& c : cases) {
        GameBoard board;
        board.setHuman(GameBoard::kPlayer1, c.human1);
        board.setHuman(GameBoard::kPlayer2, c.human2);
        board.newGame();
        EXPECT_EQ(BoardCursor::keyboardPlayer(board), c.expected) << c.human1 << c.human2;
    }
}

// Each arrow steps along the board axis nearest to where it points on the
// screen, from the orbit's four sides and from straight above.
TEST(BoardCursor, ArrowsFollowTheScreen_FromEverySideOfTheBoard) {
    const struct {
        float azimuth, elevation;
        int rightX, rightY, upX, upY;
    } views[] = {{kPi / 2, 0.5f, 1, 0, 0, 1},
                 {0.0f, 0.5f, 0, 1, -1, 0},
                 {kPi, 0.5f, 0, -1, 1, 0},
                 {3 * kPi / 2, 0.5f, -1, 0, 0, -1},
                 {kPi / 2, CameraControl::kMaxElevation, 1, 0, 0, 1}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << "azimuth " << v.azimuth << ", elevation " << v.elevation);
        Camera camera;
        CameraControl control;
        control.setOrbit(v.azimuth, v.elevation, CameraControl::kInitialDistance);
        control.placeOnOrbit(camera);
        int dx = 0, dy = 0;
        ASSERT_TRUE(BoardCursor::boardStep(camera, KeyArrowRight, dx, dy));
        EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(v.rightX, v.rightY));
        ASSERT_TRUE(BoardCursor::boardStep(camera, KeyArrowLeft, dx, dy));
        EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(-v.rightX, -v.rightY));
        ASSERT_TRUE(BoardCursor::boardStep(camera, KeyArrowUp, dx, dy));
        EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(v.upX, v.upY));
        ASSERT_TRUE(BoardCursor::boardStep(camera, KeyArrowDown, dx, dy));
        EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(-v.upX, -v.upY));
    }
    int dx = 0, dy = 0;
    EXPECT_FALSE(BoardCursor::boardStep(Camera(), 'w', dx, dy));
}

// A step stops at the board's edge; holding an arrow repeats it after the
// delay and then at the interval, however the frames fall.
TEST(BoardCursor, StepsStopAtTheEdge_HoldingRepeatsAfterTheDelay) {
    GameBoard board;
    drawDiagram(board, {"o........", ".........", ".........", ".........", ".........", ".........",
                        ".........", ".........", "........x"});
    BoardCursor cursor;
    ASSERT_TRUE(cursor.nextFigure(board, GameBoard::kPlayer1, 1));
    cursor.step(-1, 0);
    EXPECT_EQ(cursor.getX(), 0);
    cursor.step(1, 0);
    cursor.hold(1, 0, BoardCursor::kRepeatDelay - 0.01);
    EXPECT_EQ(cursor.getX(), 1) << "no repeat before the delay";
    cursor.hold(1, 0, 0.01 + 2.5 * BoardCursor::kRepeatInterval);
    EXPECT_EQ(cursor.getX(), 4) << "one repeat at the delay, two intervals after it";
    cursor.hold(1, 0, 20.0);
    EXPECT_EQ(cursor.getX(), GameBoard::kBoardSize - 1);
}

} // namespace
