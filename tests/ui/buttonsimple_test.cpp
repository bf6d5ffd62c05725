#include "core/inputevent.h"
#include "core/system.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"

#include <gtest/gtest.h>

namespace {

class ButtonBeforeDrawing : public ::testing::Test {
protected:
    void SetUp() override { System::instance()->reshape(1024, 768); }

    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    ButtonSimple button{&container, -0.25f, 0.0f, 300.0f, nullptr, "Demo"};
};

TEST_F(ButtonBeforeDrawing, SizeFollowsTheWindow) {
    EXPECT_FLOAT_EQ(button.getWidth(), 600.0f / 1024.0f);
    EXPECT_FLOAT_EQ(button.getHeight(), 128.0f / 768.0f);
}

TEST_F(ButtonBeforeDrawing, HasNoAreaToHitYet) {
    EXPECT_FALSE(button.hitTest(0.0f, 0.05f));
    EXPECT_EQ(button.getState(), ButtonSimple::Normal);
}

TEST_F(ButtonBeforeDrawing, PressOnlyFromMouseOver) {
    EXPECT_FALSE(button.press());
    EXPECT_EQ(button.getState(), ButtonSimple::Normal);
    button.setState(ButtonSimple::MouseOver);
    EXPECT_TRUE(button.press());
    EXPECT_EQ(button.getState(), ButtonSimple::Down);
    EXPECT_FALSE(button.press());
    EXPECT_EQ(button.getState(), ButtonSimple::Down);
}

TEST_F(ButtonBeforeDrawing, LeftButtonPassesWhenNotPressed) {
    InputEventKeyUp up(0.0, KeyMouseLeft, 0.0, 0.1);
    button.handleEvent(up);
    EXPECT_FALSE(up.isConsumed());
}

TEST_F(ButtonBeforeDrawing, OtherKeysAreLeftAlone) {
    button.setState(ButtonSimple::MouseOver);
    InputEventKeyUp up(0.0, KeyMouseRight, 0.0, 0.1);
    button.handleEvent(up);
    EXPECT_FALSE(up.isConsumed());
    EXPECT_EQ(button.getState(), ButtonSimple::MouseOver);
}

TEST_F(ButtonBeforeDrawing, HasNoLabelOutsideAGraph) {
    EXPECT_EQ(button.getLabel(), nullptr);
    button.setVisible(false);
    EXPECT_FALSE(button.isVisible());
    button.detach();
    EXPECT_EQ(button.getLabel(), nullptr);
}

} // namespace
