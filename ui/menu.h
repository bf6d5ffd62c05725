#pragma once

#include "graph/rendernode.h"

// A screen of the menu stack. The application's stack (Main) tells it when it
// becomes or stops being the top and when it is put on or taken off the screen.
class Menu : public RenderNode {
public:
    // Most menus build their controls when attached and need none of the
    // calls below: they do nothing unless a menu says otherwise.
    void detach() override {}
    // previous: the menu that was on top before, or null.
    virtual void activated(Menu* /*previous*/) {}
    // next: the menu that is now on top, or null.
    virtual void deactivated(Menu* /*next*/) {}
    virtual void hidden() {}
    virtual void shown() {}
    // A text field of the menu has the focus: the keys typed are its text,
    // and no key of the game may act on them.
    virtual bool isTyping() const { return false; }
};
