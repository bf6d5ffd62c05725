#include "input/inputevent.h"

bool InputEvent::consume() {
    if (state != kUnclaimed) {
        return false;
    }
    state = kClaimed;
    return true;
}

std::unique_ptr<InputEvent> InputEventKey::clone() const {
    return std::make_unique<InputEventKey>(*this);
}

bool InputEventKey::equals(const InputEvent& other) const {
    const auto* key = dynamic_cast<const InputEventKey*>(&other);
    return key != nullptr && key->getKey() == getKey();
}

std::unique_ptr<InputEvent> InputEventKeyDown::clone() const {
    return std::make_unique<InputEventKeyDown>(*this);
}

std::unique_ptr<InputEvent> InputEventKeyDown::createMiddle(double now, double elapsed) const {
    return std::make_unique<InputEventKeyPressed>(now, getKey(), elapsed, getModifiers());
}

std::unique_ptr<InputEvent> InputEventKeyUp::clone() const {
    return std::make_unique<InputEventKeyUp>(*this);
}

std::unique_ptr<InputEvent> InputEventKeyPressed::clone() const {
    return std::make_unique<InputEventKeyPressed>(*this);
}

std::unique_ptr<InputEvent> InputEventMotion::clone() const {
    return std::make_unique<InputEventMotion>(*this);
}

bool InputEventMotion::equals(const InputEvent& other) const {
    const auto* motion = dynamic_cast<const InputEventMotion*>(&other);
    return motion != nullptr && motion->leftWindow == leftWindow && motion->x == x && motion->y == y;
}
