#include "core/inputevent.h"
#include "ui/cursor.h"

#include <gtest/gtest.h>

namespace {

TEST(CursorEvents, FollowsMotionInsideTheWindowAndClaimsNothing) {
    Cursor cursor;
    InputEventMotion motion(0.0, 0.25, 0.75, false);
    InputEventMotion leaving(0.0, 0.9, 0.1, true);
    InputEventKeyDown key(0.0, KeyMouseLeft);
    for (InputEvent* event : std::initializer_list<InputEvent*>{&motion, &leaving, &key}) {
        cursor.handleEvent(*event);
        EXPECT_FALSE(event->isConsumed());
    }
    EXPECT_DOUBLE_EQ(cursor.getMouseX(), 0.25);
    EXPECT_DOUBLE_EQ(cursor.getMouseY(), 0.75);
}

} // namespace
