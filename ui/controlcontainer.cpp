#include "ui/controlcontainer.h"

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
    if (layoutWidth <= 0 || layoutHeight <= 0) {
        return 1.0f;
    }
    return std::min({1.0f, static_cast<float>(viewportWidth) / static_cast<float>(layoutWidth),
                     static_cast<float>(viewportHeight) / static_cast<float>(layoutHeight)});
}

void ControlContainer::addControl(Control* control) {
    children.push_back(control);
}

void ControlContainer::removeControl(Control* control) {
    children.remove(control);
}
