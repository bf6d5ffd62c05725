#pragma once

#include "input/eventconsumer.h"
#include "ui/control.h"

#include <list>
#include <vector>

// Groups controls: their positions are relative to it, and linking it links
// them in the order they were added, so later ones are drawn on top.
//
// A top container (one without a parent) also carries the keyboard focus
// among the controls below it that take it, in the order they were added
// (those of inner containers in their place): Up and Down, Tab and
// Shift+Tab step through them, wrapping round; Left and Right go to the
// nearest one beside; Enter or Space activates the focused one as its
// release comes. There is always a focus while such a control exists: at
// first on the first; when the focused one goes or hides, on the one that
// takes its place. A menu built of buttons in a container has all of this
// without keys of its own.
class ControlContainer : public Control, public EventConsumer {
public:
    ControlContainer(ControlContainer* parent, float x, float y, float width, float height);
    // The children are not deleted; they forget this container.
    ~ControlContainer() override;

    // Keeps the focus on a control that takes it.
    void render(double, float) override;
    void linkChildren() override;
    void attach() override {}
    void detach() override {}
    float getWidth() const override { return width; }
    float getHeight() const override { return height; }
    // The focus keys of a top container.
    void handleEvent(InputEvent& e) override;

    // Not owned.
    void addControl(Control* control);
    // Every entry of control.
    void removeControl(Control* control);
    const std::list<Control*>& getChildren() const { return children; }

    // The viewport size the children were laid out for: their pixel sizes
    // are drawn at the text scale there (TextScale), shrunk as a whole in a
    // smaller viewport, so that nothing leaves the screen.
    void setLayoutSize(int layoutWidth, int layoutHeight);
    // Draws the children at this factor whatever the viewport (a layout
    // that fitted them sets it); 0 returns to the layout size's.
    void setScale(float scale) { fixedScale = scale; }
    // The factor the children's pixel sizes are drawn at in that viewport.
    float scaleFor(int viewportWidth, int viewportHeight) const;

    // The controls that take the focus, in focus order.
    std::vector<Control*> focusChain() const;
    // Null when no control takes the focus.
    Control* getFocused();
    // control must lie below this container; only a top container's focus counts.
    void moveFocusTo(Control* control);
    // Moves the focus steps places along the chain, wrapping round.
    void stepFocus(int steps);
    // To the nearest control left (direction -1) or right (+1) of the
    // focused one that shares some of its height; none there: it stays.
    void sideFocus(int direction);

private:
    void collect(std::vector<Control*>& all, bool focusableOnly) const;
    void keepFocus();

    std::list<Control*> children; // not owned
    float width;
    float height;
    int layoutWidth = 0; // 0: no layout size, the children keep their pixel sizes
    int layoutHeight = 0;
    float fixedScale = 0.0f;
    // Where in the chain the focus was, for when its control goes.
    size_t focusIndex = 0;
    // Enter or Space went down while this container was shown: its release activates.
    bool activationPending = false;
};
