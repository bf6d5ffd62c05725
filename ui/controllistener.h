#pragma once

class Control;

// Receives what a button reports; the menus implement it.
class ControlListener {
public:
    virtual ~ControlListener() = default;

    virtual void onClick(Control* source) = 0;
    // Only menus that show something under the pointer need these.
    virtual void onMouseOver(Control* /*source*/) {}
    virtual void onMouseOut(Control* /*source*/) {}
};
