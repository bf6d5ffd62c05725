#pragma once

#include "graph/rendernode.h"

#include <array>
#include <string>

class ControlContainer;
class ImageTexture2D;
class Material;

// Base of the flat elements drawn over the scene. Positions are screen units
// (-1 to 1, origin at the window centre, y up) relative to the parent; sizes
// given in pixels are converted with the viewport size at draw time.
class Control : public RenderNode {
public:
    // Every control draws in this plane of the fixed projection.
    static constexpr float kDrawZ = -1.0f;

    // Registers with parent (may be null), which does not own the control.
    Control(ControlContainer* parent, float x, float y);
    ~Control() override;

    virtual float getWidth() const = 0;
    virtual float getHeight() const = 0;
    virtual void setPosition(float newX, float newY);
    virtual void setVisible(bool flag);
    virtual bool isVisible() const { return visible; }
    virtual ControlContainer* getParent() const { return parent; }

    // Keyboard focus. A control that takes it is reached by the menu keys
    // (its top container moves the focus, ControlContainer), shows that it
    // has it, and answers to Enter and Space through activate.
    virtual bool takesFocus() const { return false; }
    // Enter or Space while focused: true when the control acted. It may have
    // ended the program or taken its menu off the screen by then.
    virtual bool activate() { return false; }
    bool hasFocus() const { return focused; }
    // Takes the focus from whichever control of the same top container has it.
    void requestFocus();

    float getX() const { return x; }
    float getY() const { return y; }
    float getAbsoluteX() const;
    float getAbsoluteY() const;
    // The factor this control's pixel sizes are drawn at in a viewport of
    // that size: the product of the scales of the containers above it.
    float pixelScale(int viewportWidth, int viewportHeight) const;

    // The overlay set-up every control material gets: alpha blending, one
    // texture slot, no depth test, no lighting.
    static void prepareOverlay(Material& material);
    // Overlay set-up plus the texture of fileName (relative to the asset
    // root) in slot 0. NotFoundException when the material refuses it; a file
    // that cannot be decoded fails in the image loader.
    static void loadOverlay(Material& material, const std::string& fileName);
    // Drops a copy of the slot-0 handle; the material keeps its own.
    static void releaseOverlay(const Material& material);
    // A frustum in which a vertex at z = -1 lands on its x, y in normalised
    // device coordinates.
    static void setFixedProjection();
    // The viewport of the graph that links node, or the window size while it
    // is not linked.
    static void viewportSize(const RenderNode& node, int& width, int& height);
    // Applies material, enables texturing and sets the colour of what follows.
    static void applyOverlay(Material& material, const std::array<float, 4>& colour);
    // Between glBegin(GL_QUADS) and glEnd: one quad at z = kDrawZ, corners
    // (x0, y0), (x0, y1), (x1, y1), (x1, y0) with (u0, v0), (u0, v1), (u1, v1), (u1, v0).
    static void quad(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1);

protected:
    float x;
    float y;

private:
    friend class ControlContainer;

    ControlContainer* parent; // not owned: the container listing this control
    bool visible = true;
    bool focused = false;
};
