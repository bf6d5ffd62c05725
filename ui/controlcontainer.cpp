#include "ui/controlcontainer.h"

#include "input/inputevent.h"
#include "ui/textscale.h"

#include <algorithm>

ControlContainer::ControlContainer(ControlContainer* parent, float x, float y, float width, float height)
    : Control(parent, x, y), width(width), height(height) {}

ControlContainer::~ControlContainer() {
    // A child that outlives its container must not reach back into it.
    for (Control* child : children) {
        child->parent = nullptr;
    }
    children.clear();
}

void ControlContainer::render(double, float) {
    if (getParent() == nullptr) {
        keepFocus();
    }
}

void ControlContainer::linkChildren() {
    // A child's attach may append (a button adds its label); a list keeps the
    // iteration valid and reaches the new entry in this same pass.
    for (auto child = children.begin(); child != children.end(); ++child) {
        linkChild(*child);
    }
}

void ControlContainer::setLayoutSize(int newLayoutWidth, int newLayoutHeight) {
    layoutWidth = newLayoutWidth;
    layoutHeight = newLayoutHeight;
}

float ControlContainer::scaleFor(int viewportWidth, int viewportHeight) const {
    if (fixedScale > 0.0f) {
        return fixedScale;
    }
    if (layoutWidth <= 0 || layoutHeight <= 0) {
        return 1.0f;
    }
    // The text scale, in a viewport measured against this layout size.
    return TextScale::factor(viewportWidth * TextScale::kLayoutWidth / layoutWidth,
                             viewportHeight * TextScale::kLayoutHeight / layoutHeight);
}

void ControlContainer::addControl(Control* control) {
    children.push_back(control);
}

void ControlContainer::removeControl(Control* control) {
    children.remove(control);
}

void ControlContainer::collect(std::vector<Control*>& all, bool focusableOnly) const {
    for (Control* child : children) {
        if (!focusableOnly || child->takesFocus()) {
            all.push_back(child);
        }
        if (const auto* inner = dynamic_cast<const ControlContainer*>(child)) {
            inner->collect(all, focusableOnly);
        }
    }
}

std::vector<Control*> ControlContainer::focusChain() const {
    std::vector<Control*> chain;
    collect(chain, true);
    return chain;
}

void ControlContainer::keepFocus() {
    std::vector<Control*> all;
    collect(all, false);
    const std::vector<Control*> chain = focusChain();
    Control* kept = nullptr;
    for (size_t i = 0; i < chain.size() && kept == nullptr; ++i) {
        if (chain[i]->focused) {
            kept = chain[i];
            focusIndex = i;
        }
    }
    if (kept == nullptr && !chain.empty()) {
        focusIndex = std::min(focusIndex, chain.size() - 1);
        kept = chain[focusIndex];
    }
    // A hidden control keeps no focus, and only one control has it.
    for (Control* control : all) {
        control->focused = control == kept;
    }
}

Control* ControlContainer::getFocused() {
    keepFocus();
    const std::vector<Control*> chain = focusChain();
    return chain.empty() ? nullptr : chain[focusIndex];
}

void ControlContainer::moveFocusTo(Control* control) {
    std::vector<Control*> all;
    collect(all, false);
    for (Control* c : all) {
        c->focused = c == control;
    }
    keepFocus();
}

void ControlContainer::stepFocus(int steps) {
    keepFocus();
    const std::vector<Control*> chain = focusChain();
    if (chain.empty()) {
        return;
    }
    const int count = static_cast<int>(chain.size());
    const int next = ((static_cast<int>(focusIndex) + steps) % count + count) % count;
    moveFocusTo(chain[static_cast<size_t>(next)]);
}

void ControlContainer::sideFocus(int direction) {
    const Control* from = getFocused();
    if (from == nullptr) {
        return;
    }
    const auto centreX = [](const Control& c) {
        return c.getAbsoluteX() + c.getWidth() / 2.0f;
    };
    const float fromBottom = from->getAbsoluteY();
    const float fromTop = fromBottom + from->getHeight();
    Control* nearest = nullptr;
    float nearestDistance = 0.0f;
    for (Control* c : focusChain()) {
        const float distance = (centreX(*c) - centreX(*from)) * static_cast<float>(direction);
        const bool beside = c->getAbsoluteY() < fromTop && fromBottom < c->getAbsoluteY() + c->getHeight();
        if (c != from && beside && distance > 0.0f && (nearest == nullptr || distance < nearestDistance)) {
            nearest = c;
            nearestDistance = distance;
        }
    }
    if (nearest != nullptr) {
        moveFocusTo(nearest);
    }
}

void ControlContainer::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKey*>(&e);
    if (getParent() != nullptr || key == nullptr || focusChain().empty()) {
        return;
    }
    const bool pressed = dynamic_cast<const InputEventKeyDown*>(&e) != nullptr;
    switch (key->getKey()) {
    case KeyTab:
        if (pressed) {
            stepFocus(key->hasShift() ? -1 : 1);
        }
        break;
    case KeyArrowDown:
    case KeyArrowUp:
        if (pressed) {
            stepFocus(key->getKey() == KeyArrowDown ? 1 : -1);
        }
        break;
    case KeyArrowLeft:
    case KeyArrowRight:
        if (pressed) {
            sideFocus(key->getKey() == KeyArrowRight ? 1 : -1);
        }
        break;
    case KeyEnter:
    case KeySpace: {
        // Claimed first: the activation may end the program or take this
        // container's menu off the screen.
        e.consume();
        if (pressed) {
            activationPending = true;
        } else if (dynamic_cast<const InputEventKeyUp*>(&e) != nullptr && activationPending) {
            activationPending = false;
            if (Control* focused = getFocused()) {
                focused->activate();
            }
        }
        return;
    }
    default:
        return;
    }
    e.consume();
}
