#include "core/inputevent.h"
#include "ui/cursor.h"

#include <gtest/gtest.h>

namespace {

TEST(CursorEvents, FollowsMotionWithoutClaimingIt) {
    Cursor cursor;
    InputEventMotion motion(0.0, 0.25, 0.75, false);
    cursor.handleEvent(motion);
    EXPECT_DOUBLE_EQ(cursor.getMouseX(), 0.25);
    EXPECT_DOUBLE_EQ(cursor.getMouseY(), 0.75);
    EXPECT_FALSE(motion.isConsumed());
}

TEST(CursorEvents, PointerLeavingTheWindowKeepsTheLastPosition) {
    Cursor cursor;
    InputEventMotion inside(0.0, 0.5, 0.5, false);
    cursor.handleEvent(inside);
    InputEventMotion left(0.0, 0.9, 0.1, true);
    cursor.handleEvent(left);
    EXPECT_DOUBLE_EQ(cursor.getMouseX(), 0.5);
    EXPECT_DOUBLE_EQ(cursor.getMouseY(), 0.5);
}

TEST(CursorEvents, KeysAreIgnored) {
    Cursor cursor;
    InputEventKeyDown key(0.0, KeyMouseLeft);
    cursor.handleEvent(key);
    EXPECT_FALSE(key.isConsumed());
    EXPECT_DOUBLE_EQ(cursor.getMouseX(), 0.0);
}

} // namespace
