#include "ui/image.h"

#include "graph/windowsize.h"

#include <GL/glew.h>

namespace {
const char* const kTextureFolder = "textures/";
}

Image::Image(ControlContainer* parent, float x, float y, float width, float height, const std::string& name)
    : Control(parent, x, y), path(kTextureFolder + name), width(width), height(height) {}

void Image::render(double, float) {
    setFixedProjection();
    glDisable(GL_CULL_FACE);
    int viewportWidth = 0;
    int viewportHeight = 0;
    viewportSize(*this, viewportWidth, viewportHeight);
    const float scale = pixelScale(viewportWidth, viewportHeight);
    const float w = 2.0f * scale / viewportWidth * width;
    const float h = 2.0f * scale / viewportHeight * height;
    const float ax = getAbsoluteX();
    const float ay = getAbsoluteY();

    applyOverlay(material, color);
    glBegin(GL_QUADS);
    quad(ax, ay, ax + w, ay + h, 0.0f, 0.0f, 1.0f, 1.0f);
    glEnd();
}

void Image::attach() {
    loadOverlay(material, path);
}

void Image::detach() {
    releaseOverlay(material);
}

float Image::getWidth() const {
    return 2.0f * width * pixelScale(WindowSize::getWidth(), WindowSize::getHeight()) /
           WindowSize::getWidth();
}

float Image::getHeight() const {
    return 2.0f * height * pixelScale(WindowSize::getWidth(), WindowSize::getHeight()) /
           WindowSize::getHeight();
}

void Image::setSize(float newWidth, float newHeight) {
    width = newWidth;
    height = newHeight;
}

void Image::getSize(float& outWidth, float& outHeight) const {
    outWidth = width;
    outHeight = height;
}
