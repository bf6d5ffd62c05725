#include "base/exceptions.h"
#include "ui/controlcontainer.h"
#include "ui/image.h"
#include "ui/text.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A text's position moves only its drawing point (that a container's does
// not: the text drawing test); its size is 0 until drawn.
TEST(ControlTree, ImagesAddEveryParentsPositionATextDrawsWhereItIsTold) {
    ControlContainer outer(nullptr, 0.5f, -0.25f, 1.0f, 1.0f);
    ControlContainer inner(&outer, 0.125f, 0.5f, 1.0f, 1.0f);
    Image image(&inner, -0.375f, 0.0625f, 10.0f, 10.0f, "x.png");
    EXPECT_FLOAT_EQ(image.getAbsoluteX(), 0.25f);
    EXPECT_FLOAT_EQ(image.getAbsoluteY(), 0.3125f);
    Text text(&inner, 0.0f, 0.0f, nullptr, "centre");
    text.setPosition(-0.4f, 0.6f);
    float drawX = 1.0f;
    float drawY = 1.0f;
    text.getDrawPosition(drawX, drawY);
    EXPECT_FLOAT_EQ(drawX, -0.4f);
    EXPECT_FLOAT_EQ(drawY, 0.6f);
    EXPECT_FLOAT_EQ(text.getWidth(), 0.0f);
}

// Scales multiply down the tree; a container without a layout size keeps
// pixel sizes, one with a layout size only ever shrinks them.
TEST(ControlTree, ContainersWithALayoutSizeScaleTheirChildrenInSmallerViewports) {
    ControlContainer outer(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    ControlContainer inner(&outer, 0.0f, 0.0f, 1.0f, 1.0f);
    Image image(&inner, 0.0f, 0.0f, 10.0f, 10.0f, "x.png");
    EXPECT_FLOAT_EQ(image.pixelScale(320, 240), 1.0f);
    inner.setLayoutSize(1024, 768);
    const struct {
        int width, height;
        float scale;
    } cases[] = {
        {1024, 768, 1.0f}, {2048, 1536, 1.0f}, {512, 768, 0.5f}, {1024, 192, 0.25f}, {320, 240, 0.3125f}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(image.pixelScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
    }
    outer.setLayoutSize(2048, 768);
    EXPECT_FLOAT_EQ(image.pixelScale(1024, 768), 0.5f);
    EXPECT_FLOAT_EQ(inner.pixelScale(1024, 768), 0.5f);
    EXPECT_FLOAT_EQ(outer.pixelScale(1024, 768), 1.0f);
}

TEST(ControlTree, ChildrenListInCreationOrderAndLeaveWithEveryEntry) {
    ControlContainer container(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    Image first(&container, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    auto second = std::make_unique<Image>(&container, 0.0f, 0.0f, 1.0f, 1.0f, "b.png");
    Image third(&container, 0.0f, 0.0f, 1.0f, 1.0f, "c.png");
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{&first, second.get(), &third}));
    container.addControl(second.get());
    second.reset();
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{&first, &third}));
}

TEST(ControlTree, ChildOutlivingItsContainerForgetsIt) {
    auto container = std::make_unique<ControlContainer>(nullptr, 0.4f, 0.0f, 1.0f, 1.0f);
    Image image(container.get(), 0.1f, 0.0f, 1.0f, 1.0f, "a.png");
    container.reset();
    EXPECT_EQ(image.getParent(), nullptr);
    EXPECT_FLOAT_EQ(image.getAbsoluteX(), 0.1f);
    image.detach(); // no texture slot yet: nothing to release
}

TEST(ControlTree, UnlinkedContainerCannotLinkItsChildren) {
    ControlContainer container(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    Image image(&container, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    EXPECT_THROW(container.linkChildren(), IllegalStateException);
}

} // namespace
