#include "ui/cursor.h"

#include "input/inputevent.h"
#include "ui/control.h"

#include <GL/glew.h>

namespace {
const char* const kPointerImage = "textures/cursor/cursor1.png";
}

void Cursor::render(double, float) {
    Control::setFixedProjection();
    int viewportWidth = 0;
    int viewportHeight = 0;
    Control::viewportSize(*this, viewportWidth, viewportHeight);
    const double pixelX = 2.0 / viewportWidth;
    const double pixelY = 2.0 / viewportHeight;
    const auto x0 = static_cast<float>(2.0 * mouseX - 1.0 - pixelX * hotspotX);
    const auto y0 = static_cast<float>(-2.0 * mouseY + 1.0 + pixelY * hotspotY);
    const auto w = static_cast<float>(pixelX * size);
    const auto h = static_cast<float>(pixelY * size);
    Control::applyOverlay(material, {1.0f, 1.0f, 1.0f, 1.0f});
    // y0 is the top edge: the quad runs downwards with the image upright.
    glBegin(GL_QUADS);
    Control::quad(x0, y0, x0 + w, y0 - h, 0.0f, 1.0f, 1.0f, 0.0f);
    glEnd();
}

void Cursor::attach() {
    Control::loadOverlay(material, kPointerImage);
}

void Cursor::detach() {
    Control::releaseOverlay(material);
}

void Cursor::handleEvent(InputEvent& e) {
    const auto* motion = dynamic_cast<const InputEventMotion*>(&e);
    if (motion == nullptr || motion->hasLeftWindow()) {
        return;
    }
    motion->getPosition(mouseX, mouseY);
}
