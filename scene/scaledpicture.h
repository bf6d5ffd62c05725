#pragma once

#include "fluid/glname.h"

// An offscreen picture with a depth buffer that the table scene draws into
// at a reduced size in place of the window, then stretched over the window
// with linear filtering. While it is drawn into it stands for the window
// (PBuffer::setWindowFramebuffer), so the water passes return to it.
class ScaledPicture {
public:
    ScaledPicture() = default;
    ~ScaledPicture();
    ScaledPicture(const ScaledPicture&) = delete;
    ScaledPicture& operator=(const ScaledPicture&) = delete;

    // Draws into a picture of width x height from now on, made anew when the
    // size changes; false (drawing stays in the window) when this platform
    // cannot draw offscreen at that size.
    bool begin(int width, int height);
    // Back to the window, and the picture drawn over all of it.
    void end(int windowWidth, int windowHeight);
    // Frees the picture, e.g. when the scene draws at the full size again.
    void release();

    int getWidth() const { return width; }
    int getHeight() const { return height; }

private:
    bool create(int newWidth, int newHeight);

    GlFramebuffer framebuffer;
    GlRenderbuffer colour;
    GlRenderbuffer depth;
    int width = 0;
    int height = 0;
    bool drawing = false;
};
