#pragma once

#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "resources/material.h"

// The mouse pointer, drawn as a textured square over everything else; the
// system's own pointer is hidden. It follows motion events and never claims
// one.
class Cursor : public RenderNode, public EventConsumer {
public:
    // Where in the pointer image the mouse position lies, from its top-left
    // corner, and the image's size; pixels.
    static constexpr double kHotspotX = 4.0;
    static constexpr double kHotspotY = 7.0;
    static constexpr double kSize = 32.0;

    Cursor() = default;

    void render(double elapsed, float) override;
    void linkChildren() override {}
    void attach() override;
    void detach() override;
    void handleEvent(InputEvent& e) override;

    // Window units, 0..1 from the left and from the top.
    double getMouseX() const { return mouseX; }
    double getMouseY() const { return mouseY; }

private:
    Material material;
    double mouseX = 0.0;
    double mouseY = 0.0;
    double hotspotX = kHotspotX;
    double hotspotY = kHotspotY;
    double size = kSize;
};
