#include <GL/glew.h>

#include "scene/scaledpicture.h"

#include "base/log.h"
#include "fluid/pbuffer.h"

#include <string>

namespace {
const char* const kSource = "ScaledPicture";
} // namespace

ScaledPicture::~ScaledPicture() {
    if (drawing) {
        PBuffer::setWindowFramebuffer(0);
    }
}

bool ScaledPicture::create(int newWidth, int newHeight) {
    release();
    if (glGenFramebuffers == nullptr || glBlitFramebuffer == nullptr) {
        return false;
    }
    framebuffer = GlFramebuffer::generate();
    colour = GlRenderbuffer::generate();
    depth = GlRenderbuffer::generate();
    glBindRenderbuffer(GL_RENDERBUFFER, colour.get());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, newWidth, newHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, depth.get());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, newWidth, newHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.get());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour.get());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth.get());
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, PBuffer::getWindowFramebuffer());
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        log(WARNING, kSource,
            "no offscreen picture of " + std::to_string(newWidth) + " x " + std::to_string(newHeight) +
                ": the scene draws at the window's size");
        release();
        return false;
    }
    width = newWidth;
    height = newHeight;
    return true;
}

bool ScaledPicture::begin(int newWidth, int newHeight) {
    if ((newWidth != width || newHeight != height || !framebuffer) && !create(newWidth, newHeight)) {
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.get());
    PBuffer::setWindowFramebuffer(framebuffer.get());
    glViewport(0, 0, width, height);
    drawing = true;
    return true;
}

void ScaledPicture::end(int windowWidth, int windowHeight) {
    if (!drawing) {
        return;
    }
    drawing = false;
    PBuffer::setWindowFramebuffer(0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer.get());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // The copy obeys the scissor; the window's picture is whole.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, width, height, 0, 0, windowWidth, windowHeight, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    if (scissor == GL_TRUE) {
        glEnable(GL_SCISSOR_TEST);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
}

void ScaledPicture::release() {
    framebuffer.reset();
    colour.reset();
    depth.reset();
    width = 0;
    height = 0;
}
