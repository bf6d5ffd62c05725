#pragma once

#include <memory>

// Key codes: one space for keyboard keys and mouse buttons.
enum KeyCode : int {
    KeyBackspace = 8,
    KeyTab = 9,
    KeyEnter = 13,
    // The control character that Ctrl+Z types.
    KeyCtrlZ = 26,
    KeyEscape = 27,
    KeySpace = 32,
    KeyMouseLeft = 256,
    KeyMouseMiddle = 257,
    KeyMouseRight = 258,
    KeyArrowRight = 259,
    KeyArrowUp = 260,
    KeyArrowLeft = 261,
    KeyArrowDown = 262,
    KeyF1 = 263,
    KeyF12 = 274,
    KeyHome = 275,
    KeyEnd = 276,
};

// The modifier keys held with a key, as a set of bits.
enum KeyModifier : int {
    ModShift = 1,
    ModCtrl = 2,
    ModAlt = 4,
};

// A keyboard, mouse-button or pointer report, time-stamped and queued by System
// and handed to the event consumers once per frame.
class InputEvent {
public:
    explicit InputEvent(double time) : time(time) {}
    virtual ~InputEvent() = default;

    virtual std::unique_ptr<InputEvent> clone() const = 0;
    virtual bool equals(const InputEvent& other) const = 0;

    double getTime() const { return time; }

    // Claims the event; true for the first claim only. A claimed event is not
    // passed on to further consumers.
    bool consume();
    bool isConsumed() const { return state != kUnclaimed; }

private:
    static constexpr int kUnclaimed = 0;
    static constexpr int kClaimed = 1;

    int state = kUnclaimed;
    double time;
};

// Marks the event that starts a press; held presses produce middle events.
class InputEventStart {
public:
    virtual ~InputEventStart() = default;
    virtual std::unique_ptr<InputEvent> createMiddle(double now, double elapsed) const = 0;
};

// Marks the event that ends a press.
class InputEventStop {
public:
    InputEventStop(double partialDuration, double heldDuration)
        : partialDuration(partialDuration), heldDuration(heldDuration) {}
    virtual ~InputEventStop() = default;

    // Seconds between the previous dispatch pass and the release.
    double getPartialDuration() const { return partialDuration; }
    void setPartialDuration(double duration) { partialDuration = duration; }
    // Seconds between the press and the release.
    double getHeldDuration() const { return heldDuration; }

private:
    double partialDuration;
    double heldDuration;
};

// Marks one frame of holding a key.
class InputEventMiddle {
public:
    explicit InputEventMiddle(double duration) : duration(duration) {}
    virtual ~InputEventMiddle() = default;

    // Seconds since the previous dispatch pass.
    double getDuration() const { return duration; }

private:
    double duration;
};

// Marks events that stand alone, such as pointer motion.
class InputEventSingle {
public:
    virtual ~InputEventSingle() = default;
};

class InputEventKey : public InputEvent {
public:
    // modifiers: the KeyModifier bits held when the key went down (for a
    // release, when it came up).
    InputEventKey(double time, int key, int modifiers = 0)
        : InputEvent(time), key(key), modifiers(modifiers) {}

    std::unique_ptr<InputEvent> clone() const override;
    // Any key event of the same key, whatever its role and modifiers.
    bool equals(const InputEvent& other) const override;

    int getKey() const { return key; }
    int getModifiers() const { return modifiers; }
    bool hasShift() const { return (modifiers & ModShift) != 0; }

private:
    int key;
    int modifiers;
};

class InputEventKeyDown : public InputEventKey, public InputEventStart {
public:
    InputEventKeyDown(double time, int key, int modifiers = 0) : InputEventKey(time, key, modifiers) {}

    std::unique_ptr<InputEvent> clone() const override;
    std::unique_ptr<InputEvent> createMiddle(double now, double elapsed) const override;
};

class InputEventKeyUp : public InputEventKey, public InputEventStop {
public:
    InputEventKeyUp(double time, int key, double partialDuration, double heldDuration, int modifiers = 0)
        : InputEventKey(time, key, modifiers), InputEventStop(partialDuration, heldDuration) {}

    std::unique_ptr<InputEvent> clone() const override;
};

class InputEventKeyPressed : public InputEventKey, public InputEventMiddle {
public:
    // Holding keeps the modifiers of the press.
    InputEventKeyPressed(double time, int key, double duration, int modifiers = 0)
        : InputEventKey(time, key, modifiers), InputEventMiddle(duration) {}

    std::unique_ptr<InputEvent> clone() const override;
};

class InputEventMotion : public InputEvent, public InputEventSingle {
public:
    // x and y are fractions of the window width and height, y growing downwards.
    InputEventMotion(double time, double x, double y, bool leftWindow)
        : InputEvent(time), x(x), y(y), leftWindow(leftWindow) {}

    std::unique_ptr<InputEvent> clone() const override;
    bool equals(const InputEvent& other) const override;

    void getPosition(double& outX, double& outY) const {
        outX = x;
        outY = y;
    }
    bool hasLeftWindow() const { return leftWindow; }

private:
    double x;
    double y;
    bool leftWindow;
};
