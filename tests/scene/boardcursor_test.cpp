#include "input/inputevent.h"
#include "scene/boardcursor.h"
#include "scene/camera.h"
#include "scene/cameracontrol.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

constexpr float kPi = 3.14159265f;
using Field = std::pair<int, int>;

// Tab visits the figures that can move in reading order and round again,
// passing the one walled in; Shift+Tab goes back. A step stops at the edge;
// holding repeats after the delay, then at the interval.
TEST(BoardCursor, TabVisitsMovableFiguresInReadingOrder_HeldArrowsRepeatAndStopAtTheEdge) {
    GameBoard board;
    drawDiagram(board, {".o.......", ".........", ".........", ".........", "....o....", ".........",
                        "......xxx", "......xxx", "......xxo"});
    BoardCursor cursor;
    const auto at = [&cursor] {
        return Field{cursor.getX(), cursor.getY()};
    };
    for (const Field& expected : {Field{1, 0}, Field{4, 4}, Field{1, 0}}) {
        ASSERT_TRUE(cursor.nextFigure(board, GameBoard::kPlayer1, 1));
        EXPECT_EQ(at(), expected);
    }
    ASSERT_TRUE(cursor.nextFigure(board, GameBoard::kPlayer1, -1));
    EXPECT_EQ(at(), Field(4, 4));

    cursor.nextFigure(board, GameBoard::kPlayer1, 1);
    cursor.step(-1, 0);
    cursor.hold(-1, 0, BoardCursor::kRepeatDelay - 0.01);
    EXPECT_EQ(at(), Field(0, 0)) << "no repeat before the delay";
    cursor.step(1, 0);
    cursor.hold(1, 0, BoardCursor::kRepeatDelay + 2.5 * BoardCursor::kRepeatInterval);
    EXPECT_EQ(at(), Field(4, 0)) << "one repeat at the delay, two intervals after it";
    cursor.hold(1, 0, 20.0);
    EXPECT_EQ(at(), Field(8, 0));
}

// Each arrow steps along the board axis nearest to where it points on the
// screen, from the orbit's four sides and from straight above.
TEST(BoardCursor, ArrowsFollowTheScreen_FromEverySideOfTheBoard) {
    const struct {
        float azimuth, elevation;
        Field right, up;
    } views[] = {{kPi / 2, 0.5f, {1, 0}, {0, 1}},
                 {0.0f, 0.5f, {0, 1}, {-1, 0}},
                 {kPi, 0.5f, {0, -1}, {1, 0}},
                 {3 * kPi / 2, 0.5f, {-1, 0}, {0, -1}},
                 {kPi / 2, CameraControl::kMaxElevation, {1, 0}, {0, 1}}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << "azimuth " << v.azimuth << ", elevation " << v.elevation);
        Camera camera;
        CameraControl control;
        control.setOrbit(v.azimuth, v.elevation, CameraControl::kInitialDistance);
        control.placeOnOrbit(camera);
        const auto step = [&camera](int key) {
            Field d;
            EXPECT_TRUE(BoardCursor::boardStep(camera, key, d.first, d.second));
            return d;
        };
        EXPECT_EQ(step(KeyArrowRight), v.right);
        EXPECT_EQ(step(KeyArrowLeft), Field(-v.right.first, -v.right.second));
        EXPECT_EQ(step(KeyArrowUp), v.up);
        EXPECT_EQ(step(KeyArrowDown), Field(-v.up.first, -v.up.second));
    }
}

} // namespace
