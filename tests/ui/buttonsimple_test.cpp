#include "graph/windowsize.h"
#include "input/inputevent.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"

#include <gtest/gtest.h>

namespace {

class ButtonBeforeDrawing : public ::testing::Test {
protected:
    void SetUp() override { WindowSize::set(1024, 768); }

    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    ButtonSimple button{&container, -0.25f, 0.0f, 300.0f, nullptr, "Demo"};
};

TEST_F(ButtonBeforeDrawing, NothingIsHitYet) {
    EXPECT_FALSE(button.hitTest(0.0f, 0.05f));
    EXPECT_EQ(button.getState(), ButtonSimple::Normal);
    EXPECT_EQ(button.getLabel(), nullptr);
}

// Only a left-button event that presses the button (from MouseOver) is
// claimed; pressing again leaves it Down.
TEST_F(ButtonBeforeDrawing, KeysThatPressNothingPass) {
    InputEventKeyUp left(0.0, KeyMouseLeft, 0.0, 0.1);
    button.handleEvent(left);
    EXPECT_FALSE(left.isConsumed());
    button.setState(ButtonSimple::MouseOver);
    InputEventKeyUp right(0.0, KeyMouseRight, 0.0, 0.1);
    button.handleEvent(right);
    EXPECT_FALSE(right.isConsumed());
    EXPECT_EQ(button.getState(), ButtonSimple::MouseOver);
    EXPECT_TRUE(button.press());
    EXPECT_FALSE(button.press());
    EXPECT_EQ(button.getState(), ButtonSimple::Down);
}

} // namespace
