#include <GL/glew.h>

#include "scene/rendertarget.h"

namespace {
// Eight bits a colour channel with alpha, a depth buffer, readable as a 2D texture.
const char* const kMode = "rgb alpha depth=24 texture";
} // namespace

RenderTarget::RenderTarget() : buffer(kMode) {}

RenderTarget::~RenderTarget() = default;

bool RenderTarget::create(int newSize) {
    size = newSize;
    available = buffer.initialize(size, size, true, false);
    if (!available) {
        return false;
    }
    sampling = GlTexture::generate();
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, sampling.get());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return true;
}

void RenderTarget::begin() {
    if (!available) {
        return;
    }
    buffer.makeCurrent();
    glViewport(0, 0, size, size);
}

void RenderTarget::end() {
    if (available) {
        PBuffer::makeWindowCurrent();
    }
}

void RenderTarget::bindTexture() {
    if (!available) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, sampling.get());
    buffer.bind();
}

void RenderTarget::releaseTexture() {
    if (available) {
        buffer.release();
    }
}
