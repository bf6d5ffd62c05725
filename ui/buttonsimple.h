#pragma once

#include "input/eventconsumer.h"
#include "resources/material.h"
#include "ui/control.h"

#include <array>
#include <memory>
#include <string>

class ControlListener;
class Font;
class Text;

// A push button of three textured pieces (two 64-pixel caps and a stretched
// middle) with a centred label, in three looks. It decides by itself whether
// the pointer is over it and reports to one listener.
class ButtonSimple : public Control, public EventConsumer {
public:
    enum ButtonState : int { Normal = 0, MouseOver = 1, Down = 2 };

    static constexpr float kHeight = 64.0f;
    static constexpr float kCapWidth = 64.0f;
    // How far the focus frame reaches outside the button, in pixels at its scale.
    static constexpr float kFocusReach = 8.0f;

    // width in pixels; font not owned.
    ButtonSimple(ControlContainer* parent, float x, float y, float width, Font* font,
                 const std::string& caption);
    // Takes its label along, so no label outlives its button.
    ~ButtonSimple() override;

    void render(double elapsed, float) override;
    void linkChildren() override {}
    // Creates the label next to the button and loads the nine textures.
    void attach() override;
    // Drops the textures and the label; the look returns to Normal.
    void detach() override;
    // Screen units by the window size.
    float getWidth() const override;
    float getHeight() const override;
    // The label follows.
    void setVisible(bool flag) override;
    // A shown button takes the keyboard focus, drawn as a frame around it;
    // activating it clicks it.
    bool takesFocus() const override { return isVisible(); }
    bool activate() override;

    // Inside by the size of the last draw (none before it), edges included.
    // Sets MouseOver inside and Normal outside.
    bool hitTest(float pointX, float pointY);
    // MouseOver becomes Down (true); any other state stays (false).
    bool press();
    // Hidden, the button takes nothing.
    void handleEvent(InputEvent& e) override;

    // Not owned; may be null.
    void setListener(ControlListener* newListener) { listener = newListener; }
    void setCaption(const std::string& newCaption) { caption = newCaption; }
    const std::string& getCaption() const { return caption; }
    void setFont(Font* newFont) { font = newFont; }
    void setColor(float r, float g, float b, float a) { color = {r, g, b, a}; }
    // Pixels at the scale of its containers.
    void setWidth(float newWidth) { width = newWidth; }
    float getPixelWidth() const { return width; }
    void setState(ButtonState newState) { state = newState; }
    ButtonState getState() const { return state; }
    // Null while the button is not in a render graph.
    Text* getLabel() const { return label.get(); }

private:
    static constexpr int kPieces = 3;

    // A dark frame with a bright one inside it, which shows on any scene
    // behind and in greyscale too. pixelX, pixelY: one pixel in screen units.
    void drawFocusFrame(float pixelX, float pixelY) const;

    float width;
    float height = kHeight;
    // Nothing is hit before the first draw sets these.
    float drawWidth = 0.0f;
    float drawHeight = 0.0f;
    ControlListener* listener = nullptr; // not owned: the menu
    ButtonState state = Normal;
    // Left, middle and right piece of Normal, then of MouseOver, then of Down.
    std::array<Material, 3 * kPieces> materials;
    Font* font; // not owned: the menu's font
    std::unique_ptr<Text> label;
    std::string caption;
    std::array<float, 4> color = {1.0f, 1.0f, 1.0f, 1.0f};
};
