#pragma once

#include "graph/rendernode.h"

// A screen of the menu stack. The application's stack (Main) tells it when it
// becomes or stops being the top and when it is put on or taken off the screen.
class Menu : public RenderNode {
public:
    // previous: the menu that was on top before, or null.
    virtual void activated(Menu* previous) = 0;
    // next: the menu that is now on top, or null.
    virtual void deactivated(Menu* next) = 0;
    virtual void hidden() = 0;
    virtual void shown() = 0;
    // A text field of the menu has the focus: the keys typed are its text,
    // and no key of the game may act on them.
    virtual bool isTyping() const { return false; }
};
