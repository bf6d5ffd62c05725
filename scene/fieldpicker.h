#pragma once

#include "scene/moveanimation.h"

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

    // mouseX, mouseY: fractions of the window, y from the top; aspect: width / height.
    static Pick pick(const Camera& camera, float aspect, float mouseX, float mouseY,
                     const MoveAnimation::ShownFields& shown);
    // The ray direction from the eye through the pointer (not normalised).
    static vec3 ray(const Camera& camera, float aspect, float mouseX, float mouseY);
};
