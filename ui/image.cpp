#include "ui/image.h"

#include "core/system.h"

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
    const float w = 2.0f / viewportWidth * width;
    const float h = 2.0f / viewportHeight * height;
    const float ax = getAbsoluteX();
    const float ay = getAbsoluteY();

    material.apply();
    glEnable(GL_TEXTURE_2D);
    glColor4f(color[0], color[1], color[2], color[3]);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(ax, ay, kDrawZ);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(ax, ay + h, kDrawZ);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(ax + w, ay + h, kDrawZ);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(ax + w, ay, kDrawZ);
    glEnd();
}

void Image::attach() {
    loadOverlay(material, path);
}

void Image::detach() {
    releaseOverlay(material);
}

float Image::getWidth() const {
    return 2.0f * width / System::instance()->getWidth();
}

float Image::getHeight() const {
    return 2.0f * height / System::instance()->getHeight();
}

void Image::setColor(float r, float g, float b, float a) {
    color = {r, g, b, a};
}

void Image::setSize(float newWidth, float newHeight) {
    width = newWidth;
    height = newHeight;
}

void Image::getSize(float& outWidth, float& outHeight) const {
    outWidth = width;
    outHeight = height;
}
