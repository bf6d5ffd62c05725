#pragma once

#include "scene/moveanimation.h"
#include "scene/movehints.h"

class Camera;

// The field under the mouse: a ray from the eye through the pointer, tested
// against the displayed figures first and then against the board plane.
class FieldPicker {
public:
    struct Pick {
        int x = -1; // -1: no field
        int y = -1;
        // The board point under the pointer in world units; -1 over a figure or off the board.
        float pointX = -1.0f;
        float pointY = -1.0f;
    };

    // mouseX, mouseY: fractions of the window, y from the top; aspect:
    // width / height. With reachable (the fields the selected figure can go
    // to), such a field is taken where the pointer sees its floor, or its
    // mark over the floor when marksShown, before any figure: a figure
    // standing in front of it may hide most of it, and a click there means
    // the move the mark promises. A mark lies nearer the eye than the floor
    // under it and is taken first.
    static Pick pick(const Camera& camera, float aspect, float mouseX, float mouseY,
                     const MoveAnimation::ShownFields& shown, const MoveHints::Fields* reachable = nullptr,
                     bool marksShown = false);
    // The height of the marks over the board and their half size around
    // their field's marker point, in world units.
    static constexpr float kMarkHeight = 3.0f;
    static constexpr float kMarkHalf = 2.6f;
    // The ray direction from the eye through the pointer (not normalised).
    static vec3 ray(const Camera& camera, float aspect, float mouseX, float mouseY);
};
