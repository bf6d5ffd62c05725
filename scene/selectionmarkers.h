#pragma once

#include "resources/texture.h"

#include <memory>
#include <vector>

// The animated markers on the board: one on the field under the mouse,
// coloured by whether a click there would be taken, and a blue one on the
// selected figure.
class SelectionMarkers {
public:
    struct Color {
        float r, g, b;
        friend bool operator==(Color x, Color y) { return x.r == y.r && x.g == y.g && x.b == y.b; }
    };
    static constexpr Color kRefused{1.0f, 0.0f, 0.0f};
    static constexpr Color kSelected{0.0f, 1.0f, 1.0f};
    static constexpr Color kAccepted{0.0f, 1.0f, 0.0f};
    static constexpr int kFrames = 10;

    // The hover marker's colour.
    static Color hoverColor(bool clickable, bool isHighlighted);
    // The texture frame at scene time seconds.
    static int frameAt(double time);

    // Missing frames are logged and the markers drawn without texture.
    void load();
    void release();
    // Fields are -1 for none; time is the scene time in seconds.
    void draw(double time, int hoverX, int hoverY, bool clickable, int highlightX, int highlightY) const;

private:
    std::vector<std::unique_ptr<ImageTexture2D>> frames;
};
