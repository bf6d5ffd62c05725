#pragma once

#include "input/eventconsumer.h"
#include "ui/control.h"
#include "ui/textedit.h"

#include <functional>
#include <memory>
#include <string>

class ControlListener;
class Font;
class Text;

// A field to type one line in: a dark box with a caret, in the menus' font.
// It takes the menu keys' focus like a button; while it has the focus, the
// keys that edit (characters, Backspace, Delete, Left, Right, Home, End,
// Ctrl+V) are its own and reach nothing else: a letter typed here never
// mutes the sound or turns the camera. Tab, Up, Down and Escape are left to
// the menu; Enter reports to the listener as a button's click would.
class TextField : public Control, public EventConsumer {
public:
    static constexpr float kHeight = 64.0f;
    // Ctrl+V arrives as the control character it types.
    static constexpr int kPasteKey = 22;
    static constexpr int kDeleteKey = 127;

    // width in pixels; font not owned; maxLength characters at most.
    TextField(ControlContainer* parent, float width, Font* font, size_t maxLength);
    ~TextField() override;

    void render(double elapsed, float) override;
    void linkChildren() override {}
    // Creates the text next to the field.
    void attach() override;
    void detach() override;
    float getWidth() const override;
    float getHeight() const override;
    void setVisible(bool flag) override;
    bool takesFocus() const override { return isVisible(); }
    // Enter: the listener hears of it as of a click.
    bool activate() override;
    void handleEvent(InputEvent& e) override;

    // A key pressed while the field has the focus; true when the field
    // takes it (even a character refused at the length limit: it is typed
    // here, not a key of the game).
    bool pressKey(int key, int modifiers);

    // Not owned; may be null.
    void setListener(ControlListener* newListener) { listener = newListener; }
    // Where Ctrl+V takes its text from; empty: nothing to paste.
    void setPasteSource(std::function<std::string()> source) { pasteSource = std::move(source); }
    // Shown dimmed while the field is empty.
    void setPlaceholder(const std::string& text) { placeholder = text; }
    const std::string& getText() const { return edit.getText(); }
    void setText(const std::string& text) { edit.setText(text); }
    const TextEdit& getEdit() const { return edit; }
    float getPixelWidth() const { return width; }
    // How many characters are in view at once.
    size_t visibleCharacters() const;
    // Null while the field is not in a render graph.
    Text* getLabel() const { return label.get(); }

private:
    // Inside by the size of the last draw, edges included.
    bool contains(float pointX, float pointY) const;

    TextEdit edit;
    float width;
    Font* font; // not owned: the menu's font
    std::unique_ptr<Text> label;
    ControlListener* listener = nullptr; // not owned: the menu
    std::function<std::string()> pasteSource;
    std::string placeholder;
    float drawWidth = 0.0f;
    float drawHeight = 0.0f;
    float pointerX = -2.0f;
    float pointerY = -2.0f;
    bool pressed = false;
    // Seconds since the last edit: the caret shows steadily while typing.
    double sinceEdit = 0.0;
};
