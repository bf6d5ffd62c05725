#pragma once

#include "ui/control.h"

#include <list>

// Groups controls: their positions are relative to it, and linking it links
// them in the order they were added, so later ones are drawn on top.
class ControlContainer : public Control {
public:
    ControlContainer(ControlContainer* parent, float x, float y, float width, float height);
    // The children are not deleted; they forget this container.
    ~ControlContainer() override;

    void render(double, float) override {}
    void linkChildren() override;
    void attach() override {}
    void detach() override {}
    float getWidth() const override { return width; }
    float getHeight() const override { return height; }

    // Not owned.
    void addControl(Control* control);
    // Every entry of control.
    void removeControl(Control* control);
    const std::list<Control*>& getChildren() const { return children; }

private:
    std::list<Control*> children; // not owned
    float width;
    float height;
};
