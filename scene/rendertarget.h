#pragma once

#include "fluid/glname.h"
#include "fluid/pbuffer.h"

// A square offscreen picture with a depth buffer of its own that a pass draws
// into and the water then samples (linear filtering, clamped to the edge).
// Drawing there never touches the window's frame buffer, so the pass works at
// any window size and nothing drawn before leaks into it.
class RenderTarget {
public:
    static constexpr int kSize = 512;

    // Creates nothing in OpenGL.
    RenderTarget();
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Creates the buffers, size x size pixels (again at a new size when
    // called again); needs the window's OpenGL context. False (and
    // isAvailable() false) when this platform cannot render offscreen.
    bool create(int size = kSize);
    bool isAvailable() const { return available; }
    int getSize() const { return size; }

    // Draws into the picture from now on, with a viewport over all of it.
    void begin();
    // Back to the window's frame buffer. The viewport is the caller's to set.
    void end();

    // Shows the picture through the active texture unit's 2D target until
    // releaseTexture().
    void bindTexture();
    void releaseTexture();

private:
    PBuffer buffer;
    // Holds the sampling parameters the picture is read with.
    GlTexture sampling;
    bool available = false;
    int size = kSize;
};
