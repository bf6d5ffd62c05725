#include "core/exceptions.h"
#include "core/system.h"
#include "ui/controlcontainer.h"
#include "ui/image.h"
#include "ui/text.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class WindowSize : public ::testing::Test {
protected:
    WindowSize() { System::instance()->reshape(1024, 768); }
};

TEST(ControlTree, AbsolutePositionAddsEveryParent) {
    ControlContainer outer(nullptr, 0.5f, -0.25f, 1.0f, 1.0f);
    ControlContainer inner(&outer, 0.125f, 0.5f, 1.0f, 1.0f);
    Image image(&inner, -0.375f, 0.0625f, 10.0f, 10.0f, "x.png");
    EXPECT_FLOAT_EQ(image.getAbsoluteX(), 0.25f);
    EXPECT_FLOAT_EQ(image.getAbsoluteY(), 0.3125f);
}

TEST(ControlTree, TextIgnoresItsParentWhileImageDoesNot) {
    ControlContainer container(nullptr, 0.3f, 0.2f, 1.0f, 1.0f);
    Text text(&container, 0.0f, 0.0f, nullptr, "centre");
    Image image(&container, 0.0f, 0.0f, 16.0f, 16.0f, "x.png");
    float drawX = 1.0f;
    float drawY = 1.0f;
    text.getDrawPosition(drawX, drawY);
    EXPECT_FLOAT_EQ(drawX, 0.0f);
    EXPECT_FLOAT_EQ(drawY, 0.0f);
    EXPECT_FLOAT_EQ(image.getAbsoluteX(), 0.3f);
    EXPECT_FLOAT_EQ(image.getAbsoluteY(), 0.2f);
}

TEST(ControlTree, ChildrenListInCreationOrderAndLeaveOnDestruction) {
    ControlContainer container(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    Image first(&container, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    auto second = std::make_unique<Image>(&container, 0.0f, 0.0f, 1.0f, 1.0f, "b.png");
    Image third(&container, 0.0f, 0.0f, 1.0f, 1.0f, "c.png");
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{&first, second.get(), &third}));
    second.reset();
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{&first, &third}));
}

TEST(ControlTree, RemovingAControlDropsEveryEntry) {
    ControlContainer container(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    Image image(&container, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    container.addControl(&image);
    container.removeControl(&image);
    EXPECT_TRUE(container.getChildren().empty());
}

TEST(ControlTree, ChildOutlivingItsContainerForgetsIt) {
    auto container = std::make_unique<ControlContainer>(nullptr, 0.4f, 0.0f, 1.0f, 1.0f);
    Image image(container.get(), 0.1f, 0.0f, 1.0f, 1.0f, "a.png");
    container.reset();
    EXPECT_EQ(image.getParent(), nullptr);
    EXPECT_FLOAT_EQ(image.getAbsoluteX(), 0.1f);
}

TEST(ControlTree, UnlinkedContainerCannotLinkItsChildren) {
    ControlContainer container(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    Image image(&container, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    EXPECT_THROW(container.linkChildren(), IllegalStateException);
}

TEST_F(WindowSize, ImageSizeIsPixelsOverTheWindow) {
    Image image(nullptr, 0.0f, 0.0f, 512.0f, 128.0f, "menu/spr2-logo.png");
    EXPECT_FLOAT_EQ(image.getWidth(), 1.0f);
    EXPECT_FLOAT_EQ(image.getHeight(), 2.0f * 128.0f / 768.0f);
    EXPECT_EQ(image.getPath(), "textures/menu/spr2-logo.png");
    image.setSize(256.0f, 64.0f);
    EXPECT_FLOAT_EQ(image.getWidth(), 0.5f);
}

TEST(ControlState, InvisibleAfterSetVisibleFalse) {
    Image image(nullptr, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    EXPECT_TRUE(image.isVisible());
    image.setVisible(false);
    EXPECT_FALSE(image.isVisible());
}

TEST(ControlState, DetachWithoutAttachIsHarmless) {
    Image image(nullptr, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    image.detach();
    image.detach();
}

} // namespace
