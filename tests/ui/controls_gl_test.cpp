#include "base/exceptions.h"
#include "core/system.h"
#include "graph/rendergraph.h"
#include "input/inputevent.h"
#include "support/thrown.h"
#include "support/uiframe.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/cursor.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/text.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

class Journal : public ControlListener {
public:
    void onClick(Control*) override { entries.push_back("click"); }
    void onMouseOver(Control*) override { entries.push_back("over"); }
    void onMouseOut(Control*) override { entries.push_back("out"); }
    std::vector<std::string> entries;
};

// A button of a menu in a graph of the whole window.
class Buttons : public UiFrame {
protected:
    Buttons() {
        graph.addRoot(&container, 0);
        graph.setConsumerSink(
            [](const std::list<EventConsumer*>& c) { System::instance()->setEventConsumers(c); });
        button.setListener(&journal);
    }
    ~Buttons() override { System::instance()->setEventConsumers({}); }

    void frame() {
        clear();
        graph.update();
        graph.render(0.0);
    }
    static float middleY(const ButtonSimple& b) { return b.getAbsoluteY() + b.getHeight() / 2.0f; }
    // Moves the pointer to the button's middle, or to a corner of the window away from it.
    static void hover(ButtonSimple& b, bool inside = true) {
        const float x = inside ? b.getAbsoluteX() + b.getWidth() / 2.0f : 0.9f;
        const float y = inside ? middleY(b) : 0.9f;
        InputEventMotion motion(0.0, (x + 1.0) / 2.0, (1.0 - y) / 2.0, false);
        b.handleEvent(motion);
    }
    static void pressLeft(ButtonSimple& b) {
        InputEventKeyDown down(0.0, KeyMouseLeft);
        b.handleEvent(down);
    }
    // The left piece's colour, a little inside its left edge.
    UiAssets::Rgba look(const ButtonSimple& b) const { return pixelAt(b.getAbsoluteX() + 0.01f, middleY(b)); }

    Font font{"fontbig", Font::kBig};
    RenderGraph graph{0, 0, GlTest::kWidth, GlTest::kHeight};
    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    Journal journal;
    std::unique_ptr<ButtonSimple> owned =
        std::make_unique<ButtonSimple>(&container, -0.25f, -0.1f, 300.0f, &font, "Demo");
    ButtonSimple& button = *owned;
};

TEST_F(Buttons, EachStateHasItsLookAndTheLabelTakesTheStateStyle) {
    frame();
    EXPECT_TRUE(near(look(button), UiAssets::kNormal));
    hover(button);
    frame();
    EXPECT_TRUE(near(look(button), UiAssets::kMouseOver));
    pressLeft(button);
    frame();
    EXPECT_TRUE(near(look(button), UiAssets::kDown));

    Text* label = button.getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(container.getChildren().back(), label);
    EXPECT_EQ(label->getText(), "Demo");
    EXPECT_EQ(label->getStyle(), ButtonSimple::Down);
}

TEST_F(Buttons, OnlyAReleaseOverThePressedButtonClicks) {
    const struct {
        bool pressInside, releaseInside;
        std::vector<std::string> journal;
        ButtonSimple::ButtonState state;
    } cases[] = {
        {true, true, {"over", "over", "click"}, ButtonSimple::Down},
        {true, false, {"over", "out"}, ButtonSimple::Normal},
        {false, true, {"out", "over", "click"}, ButtonSimple::Down},
    };
    frame();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "press inside " << c.pressInside << ", release " << c.releaseInside);
        journal.entries.clear();
        hover(button, c.pressInside);
        pressLeft(button);
        hover(button, c.releaseInside);
        InputEventKeyUp up(0.0, KeyMouseLeft, 0.0, 0.2);
        button.handleEvent(up);
        EXPECT_EQ(up.isConsumed(), c.state == ButtonSimple::Down);
        EXPECT_EQ(journal.entries, c.journal);
        EXPECT_EQ(button.getState(), c.state);
    }
}

TEST_F(Buttons, TheLabelLivesWhileTheButtonIsInTheGraph) {
    frame();
    ASSERT_NE(button.getLabel(), nullptr);
    graph.removeRoot(&container);
    graph.update();
    EXPECT_EQ(button.getLabel(), nullptr);
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{&button}));
    graph.addRoot(&container, 0);
    frame();
    EXPECT_NE(button.getLabel(), nullptr);
    owned.reset();
    EXPECT_TRUE(container.getChildren().empty());
    frame();
    EXPECT_EQ(graph.getRenderList(), (std::vector<RenderNode*>{&container}));
}

// The hit area is that of the last draw, edges included; a narrow button
// still draws both 64-pixel caps.
TEST_F(Buttons, NarrowButtonDrawsBothCapsAndIsHitUpToItsEdges) {
    button.setWidth(100.0f);
    frame();
    EXPECT_TRUE(near(look(button), UiAssets::kNormal));
    EXPECT_TRUE(near(pixelAt(button.getAbsoluteX() + 99.0f / 512.0f, middleY(button)), UiAssets::kNormal));
    const float right = button.getAbsoluteX() + button.getWidth();
    const float top = button.getAbsoluteY() + button.getHeight();
    EXPECT_TRUE(button.hitTest(right, top));
    EXPECT_TRUE(button.hitTest(button.getAbsoluteX(), button.getAbsoluteY()));
    EXPECT_FALSE(button.hitTest(right + 1.0e-3f, top));
}

using UiAssets::glyphColour;

class TextDrawing : public UiFrame {
protected:
    // The centre of glyph i of a text drawn at (x, 0).
    UiAssets::Rgba glyphAt(float x, int i) const {
        return pixelAt(x + (static_cast<float>(i) + 0.5f) * advance, font.getCellHeight() / GlTest::kHeight);
    }

    Font font{"fontbig", Font::kBig};
    const float advance = font.getCellWidth() * 2.0f / GlTest::kWidth;
};

// The style chooses the texture.
TEST_F(TextDrawing, CharactersShowTheirCellsAndASpaceLeavesAGap) {
    Text text(nullptr, -0.5f, 0.0f, &font, " !2B");
    Text styled(nullptr, 0.5f, 0.0f, &font, "!");
    styled.setStyle(2);
    text.render(0.0, 0.5f);
    styled.render(0.0, 0.5f);
    EXPECT_TRUE(black(glyphAt(-0.5f, 0)));
    EXPECT_TRUE(near(glyphAt(-0.5f, 1), glyphColour(0, 0, 0)));
    EXPECT_TRUE(near(glyphAt(-0.5f, 2), glyphColour(0, 1, 0)));
    EXPECT_TRUE(near(glyphAt(-0.5f, 3), glyphColour(16, 1, 0)));
    EXPECT_TRUE(near(glyphAt(0.5f, 0), glyphColour(0, 0, 2)));
    EXPECT_FLOAT_EQ(text.getWidth(), 4.0f * advance);
}

// In a container at (0.3, 0.2), a text at (0, 0) is drawn at the centre, an
// image at (0, 0) with its lower-left corner at (0.3, 0.2), even invisible.
TEST_F(TextDrawing, TextInAContainerIgnoresItsPositionAnImageDoesNot) {
    ControlContainer container(nullptr, 0.3f, 0.2f, 1.0f, 1.0f);
    Text text(&container, 0.0f, 0.0f, &font, "!");
    Image image(&container, 0.0f, 0.0f, 64.0f, 64.0f, "menu/spr2-logo.png");
    image.attach();
    image.setVisible(false);
    image.render(0.0, 0.5f);
    text.render(0.0, 0.5f);
    EXPECT_TRUE(near(glyphAt(0.0f, 0), glyphColour(0, 0, 0)));
    EXPECT_TRUE(near(pixelAt(0.31f, 0.21f), UiAssets::kLogo));
    EXPECT_TRUE(black(pixelAt(0.29f, 0.21f)));
    image.detach();
}

TEST_F(UiFrame, FontFailures_NameTheMissingFileOrRefuseAnUnknownTypeAfterLoading) {
    EXPECT_THROW(Font("fontbig", 2), NotFoundException);
    EXPECT_EQ(thrownMessage<InstantiationException>([] { Font font("fontnone", Font::kBig); }),
              "error opening image textures/fonts/fontnone0.png");
}

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
