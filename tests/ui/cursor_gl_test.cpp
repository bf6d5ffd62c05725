#include "input/inputevent.h"
#include "support/uiframe.h"
#include "ui/cursor.h"

namespace {

// Motion inside the window moves it, motion leaving the window and keys do
// not; it claims nothing.
TEST_F(UiFrame, PointerFollowsMotionInsideTheWindowAndHangsFromTheHotspot) {
    Cursor cursor;
    cursor.attach();
    InputEventMotion motion(0.0, 0.5, 0.5, false);
    InputEventMotion leaving(0.0, 0.9, 0.1, true);
    InputEventKeyDown key(0.0, KeyMouseLeft);
    for (InputEvent* event : std::initializer_list<InputEvent*>{&motion, &leaving, &key}) {
        cursor.handleEvent(*event);
        EXPECT_FALSE(event->isConsumed());
    }
    EXPECT_DOUBLE_EQ(cursor.getMouseX(), 0.5);
    cursor.render(0.0, 0.5f);
    // The image's top-left corner lies 4 pixels left of and 7 above the
    // pointer; rows counted from the bottom.
    const int left = GlTest::kWidth / 2 - 4;
    const int top = GlTest::kHeight / 2 + 7;
    EXPECT_EQ(GlTest::readPixels(left, top - 1, 1, 1)[0], UiAssets::kPointer.r);
    EXPECT_EQ(GlTest::readPixels(left + 31, top - 32, 1, 1)[0], UiAssets::kPointer.r);
    EXPECT_EQ(GlTest::readPixels(left - 1, top - 1, 1, 1)[0], 0);
    EXPECT_EQ(GlTest::readPixels(left, top, 1, 1)[0], 0);
    cursor.detach();
}

} // namespace
