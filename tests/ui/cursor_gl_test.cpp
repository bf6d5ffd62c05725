#include "core/inputevent.h"
#include "support/uiframe.h"
#include "ui/cursor.h"

namespace {

TEST_F(UiFrame, PointerImageHangsFromTheHotspot) {
    Cursor cursor;
    cursor.attach();
    InputEventMotion motion(0.0, 0.5, 0.5, false);
    cursor.handleEvent(motion);
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
