#include "ui/control.h"

#include "base/exceptions.h"
#include "graph/rendergraph.h"
#include "graph/windowsize.h"
#include "resources/material.h"
#include "resources/texture.h"
#include "ui/controlcontainer.h"

#include <GL/glew.h>

namespace {
const char* const kTextureRefused = "A file with this name is not available!";
// The frustum's near plane sits at z = -1, where every control draws.
constexpr double kNear = 1.0;
constexpr double kFar = 5.0;
} // namespace

Control::Control(ControlContainer* parent, float x, float y) : x(x), y(y), parent(parent) {
    if (parent != nullptr) {
        parent->addControl(this);
    }
}

Control::~Control() {
    if (parent != nullptr) {
        parent->removeControl(this);
    }
}

void Control::setPosition(float newX, float newY) {
    x = newX;
    y = newY;
}

void Control::setVisible(bool flag) {
    visible = flag;
}

void Control::requestFocus() {
    ControlContainer* top = parent;
    while (top != nullptr && top->getParent() != nullptr) {
        top = top->getParent();
    }
    if (top != nullptr) {
        top->moveFocusTo(this);
    }
}

float Control::getAbsoluteX() const {
    return parent == nullptr ? x : x + parent->getAbsoluteX();
}

float Control::getAbsoluteY() const {
    return parent == nullptr ? y : y + parent->getAbsoluteY();
}

float Control::pixelScale(int viewportWidth, int viewportHeight) const {
    if (parent == nullptr) {
        return 1.0f;
    }
    return parent->scaleFor(viewportWidth, viewportHeight) *
           parent->pixelScale(viewportWidth, viewportHeight);
}

void Control::prepareOverlay(Material& material) {
    material.enable(GL_BLEND);
    material.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    material.setTextureCount(1);
    material.disable(GL_DEPTH_TEST);
    material.disable(GL_LIGHTING);
}

void Control::loadOverlay(Material& material, const std::string& fileName) {
    prepareOverlay(material);
    if (!material.setTexture(0, ImageTexture2D::fromFile(fileName))) {
        throw NotFoundException(kTextureRefused);
    }
}

void Control::releaseOverlay(const Material& material) {
    // A control detached without an attach has no slot yet.
    if (material.getTextureCount() == 0) {
        return;
    }
    ImageTexture2D copy = material.getTexture(0);
    copy.release();
}

void Control::setFixedProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -1.0, 1.0, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Control::viewportSize(const RenderNode& node, int& width, int& height) {
    if (node.isLinked()) {
        const RenderGraph* graph = node.getGraph();
        width = graph->getViewportWidth();
        height = graph->getViewportHeight();
        return;
    }
    width = WindowSize::getWidth();
    height = WindowSize::getHeight();
}

void Control::applyOverlay(Material& material, const std::array<float, 4>& colour) {
    material.apply();
    glEnable(GL_TEXTURE_2D);
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
}

void Control::quad(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1) {
    glTexCoord2f(u0, v0);
    glVertex3f(x0, y0, kDrawZ);
    glTexCoord2f(u0, v1);
    glVertex3f(x0, y1, kDrawZ);
    glTexCoord2f(u1, v1);
    glVertex3f(x1, y1, kDrawZ);
    glTexCoord2f(u1, v0);
    glVertex3f(x1, y0, kDrawZ);
}
