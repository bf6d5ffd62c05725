#pragma once

class Control;

// Receives what a button reports; the menus implement it.
class ControlListener {
public:
    virtual ~ControlListener() = default;

    virtual void onClick(Control* source) = 0;
    virtual void onMouseOver(Control* source) = 0;
    virtual void onMouseOut(Control* source) = 0;
};
