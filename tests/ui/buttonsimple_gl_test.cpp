#include "core/inputevent.h"
#include "graph/rendergraph.h"
#include "support/uiframe.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/font.h"
#include "ui/text.h"

#include <algorithm>
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

class ButtonDrawing : public UiFrame {
protected:
    ButtonDrawing() {
        button->setListener(&journal);
        graph.addRoot(&container, 0);
    }
    ~ButtonDrawing() override { System::instance()->setEventConsumers({}); }

    void frame() {
        clear();
        graph.update();
        graph.render(0.0);
    }
    // The middle of the button in screen units.
    float middleX() const { return button->getAbsoluteX() + button->getWidth() / 2.0f; }
    float middleY() const { return button->getAbsoluteY() + button->getHeight() / 2.0f; }
    // A motion event at a point given in screen units.
    static InputEventMotion motionAt(float x, float y) {
        return InputEventMotion(0.0, (x + 1.0) / 2.0, (1.0 - y) / 2.0, false);
    }
    void send(InputEvent&& e) { button->handleEvent(e); }

    Font font{"fontbig", Font::kBig};
    RenderGraph graph{0, 0, GlTest::kWidth, GlTest::kHeight};
    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    std::unique_ptr<ButtonSimple> button =
        std::make_unique<ButtonSimple>(&container, -0.25f, -0.1f, 300.0f, &font, "Demo");
    Journal journal;
};

TEST_F(ButtonDrawing, EachStateHasItsLook) {
    frame();
    EXPECT_TRUE(near(pixelAt(button->getAbsoluteX() + 0.01f, middleY()), UiAssets::kNormal));
    send(motionAt(middleX(), middleY()));
    frame();
    EXPECT_TRUE(near(pixelAt(button->getAbsoluteX() + 0.01f, middleY()), UiAssets::kMouseOver));
    send(InputEventKeyDown(0.0, KeyMouseLeft));
    frame();
    EXPECT_TRUE(near(pixelAt(button->getAbsoluteX() + 0.01f, middleY()), UiAssets::kDown));
}

TEST_F(ButtonDrawing, LabelIsCentredAndStyledByTheState) {
    frame();
    frame();
    Text* label = button->getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(container.getChildren().back(), label);
    EXPECT_EQ(label->getText(), "Demo");
    float x = 0.0f;
    float y = 0.0f;
    label->getDrawPosition(x, y);
    EXPECT_FLOAT_EQ(x, button->getAbsoluteX() + (button->getWidth() - label->getWidth()) / 2.0f +
                           12.0f / 1024.0f);
    EXPECT_FLOAT_EQ(y, button->getAbsoluteY() + (button->getHeight() - label->getHeight()) / 2.0f +
                           8.0f / 768.0f);
    send(motionAt(middleX(), middleY()));
    frame();
    EXPECT_EQ(label->getStyle(), ButtonSimple::MouseOver);
}

TEST_F(ButtonDrawing, ReleaseOverThePressedButtonClicks) {
    frame();
    send(motionAt(middleX(), middleY()));
    send(InputEventKeyDown(0.0, KeyMouseLeft));
    send(motionAt(middleX(), middleY()));
    InputEventKeyUp up(0.0, KeyMouseLeft, 0.0, 0.2);
    button->handleEvent(up);
    EXPECT_TRUE(up.isConsumed());
    EXPECT_EQ(journal.entries, (std::vector<std::string>{"over", "over", "click"}));
    EXPECT_EQ(button->getState(), ButtonSimple::Down);
}

TEST_F(ButtonDrawing, ReleaseOutsideDoesNotClick) {
    frame();
    send(motionAt(middleX(), middleY()));
    send(InputEventKeyDown(0.0, KeyMouseLeft));
    send(motionAt(0.9f, 0.9f));
    InputEventKeyUp up(0.0, KeyMouseLeft, 0.0, 0.2);
    button->handleEvent(up);
    EXPECT_FALSE(up.isConsumed());
    EXPECT_EQ(journal.entries, (std::vector<std::string>{"over", "out"}));
    EXPECT_EQ(button->getState(), ButtonSimple::Normal);
}

TEST_F(ButtonDrawing, PressOutsideAndReleaseInsideClicks) {
    frame();
    send(motionAt(0.9f, 0.9f));
    send(InputEventKeyDown(0.0, KeyMouseLeft));
    send(motionAt(middleX(), middleY()));
    send(InputEventKeyUp(0.0, KeyMouseLeft, 0.0, 0.2));
    EXPECT_EQ(journal.entries.back(), "click");
}

TEST_F(ButtonDrawing, EdgesCountAsInside) {
    frame();
    const float right = button->getAbsoluteX() + button->getWidth();
    const float top = button->getAbsoluteY() + button->getHeight();
    EXPECT_TRUE(button->hitTest(right, top));
    EXPECT_TRUE(button->hitTest(button->getAbsoluteX(), button->getAbsoluteY()));
    EXPECT_FALSE(button->hitTest(right + 1.0e-3f, top));
}

TEST_F(ButtonDrawing, HidingTakesTheLabelAlongButNotTheInput) {
    frame();
    button->setVisible(false);
    EXPECT_FALSE(button->getLabel()->isVisible());
    send(motionAt(middleX(), middleY()));
    EXPECT_EQ(button->getState(), ButtonSimple::MouseOver);
    frame();
    EXPECT_TRUE(black(pixelAt(button->getAbsoluteX() + 0.01f, middleY())));
}

TEST_F(ButtonDrawing, LeavingTheGraphDeletesTheLabel) {
    frame();
    ASSERT_NE(button->getLabel(), nullptr);
    graph.removeRoot(&container);
    graph.update();
    EXPECT_EQ(button->getLabel(), nullptr);
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{button.get()}));
    // Linked again, it gets a fresh label.
    graph.addRoot(&container, 0);
    frame();
    EXPECT_NE(button->getLabel(), nullptr);
}

TEST_F(ButtonDrawing, DestroyedButtonTakesItsLabelOutOfTheGraph) {
    frame();
    button.reset();
    EXPECT_TRUE(container.getChildren().empty());
    frame();
    EXPECT_EQ(graph.getRenderList(), (std::vector<RenderNode*>{&container}));
}

TEST_F(ButtonDrawing, NarrowButtonStillDrawsBothCaps) {
    button->setWidth(100.0f);
    frame();
    EXPECT_TRUE(near(pixelAt(button->getAbsoluteX() + 0.01f, middleY()), UiAssets::kNormal));
}

// Four stacked buttons as a menu has them, fed through the input queue.
class ButtonColumn : public UiFrame {
protected:
    ButtonColumn() {
        for (int i = 0; i < 4; ++i) {
            buttons.push_back(std::make_unique<ButtonSimple>(&container, -0.25f, 0.1f - 0.25f * i, 300.0f,
                                                             &font, "B" + std::to_string(i)));
            buttons.back()->setListener(&journals[i]);
        }
        graph.addRoot(&container, 0);
        clear();
        graph.update();
        graph.render(0.0);
        graph.update();
    }
    ~ButtonColumn() override { System::instance()->setEventConsumers({}); }

    // Presses and releases the left button over the middle of button i.
    void clickOn(int i) {
        const ButtonSimple& target = *buttons[static_cast<size_t>(i)];
        const float x = target.getAbsoluteX() + target.getWidth() / 2.0f;
        const float y = target.getAbsoluteY() + target.getHeight() / 2.0f;
        System* system = System::instance();
        const int px = static_cast<int>((x + 1.0f) / 2.0f * GlTest::kWidth);
        const int py = static_cast<int>((1.0f - y) / 2.0f * GlTest::kHeight);
        system->motion(px, py);
        system->keyDown(KeyMouseLeft);
        system->processEvents();
        system->motion(px, py);
        system->keyUp(KeyMouseLeft);
        system->processEvents();
    }

    Font font{"fontbig", Font::kBig};
    RenderGraph graph{0, 0, GlTest::kWidth, GlTest::kHeight};
    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    std::vector<std::unique_ptr<ButtonSimple>> buttons;
    Journal journals[4];
};

TEST_F(ButtonColumn, LastButtonIsAsClickableAsTheFirst) {
    clickOn(3);
    EXPECT_EQ(journals[3].entries.back(), "click");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::count(journals[i].entries.begin(), journals[i].entries.end(), "click"), 0) << i;
    }
    clickOn(0);
    EXPECT_EQ(journals[0].entries.back(), "click");
}

} // namespace
