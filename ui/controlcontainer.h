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

    // The viewport size the children were laid out for: in a smaller viewport
    // they are drawn smaller as a whole, keeping their proportions, so that
    // nothing leaves the screen; in a larger one they keep their pixel sizes.
    void setLayoutSize(int layoutWidth, int layoutHeight);
    // The factor the children's pixel sizes are drawn at in that viewport.
    float scaleFor(int viewportWidth, int viewportHeight) const;

private:
    std::list<Control*> children; // not owned
    float width;
    float height;
    int layoutWidth = 0; // 0: no layout size, the children keep their pixel sizes
    int layoutHeight = 0;
};
