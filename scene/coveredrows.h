#pragma once

#include "scene/matrix4.h"

#include <optional>

// The window rows a solid box certainly hides from one side to the other.
// Whatever is drawn behind the box need not be drawn there: on a software
// renderer every pixel a draw touches costs, even one the depth test turns
// away.
class CoveredRows {
public:
    struct Box {
        float low[3];
        float high[3];
    };
    // Rows [first, last), counted from the bottom as OpenGL does.
    struct Range {
        int first;
        int last;
    };

    // clipFromWorld is projection * view. Nothing when the box is not wholly
    // in front of the eye (its picture is then no longer the outline of its
    // corners) or covers no whole row.
    static std::optional<Range> of(const Matrix4x4<double>& clipFromWorld, const Box& box, int width,
                                   int height, double nearW);
};
