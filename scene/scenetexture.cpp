#include <GL/glew.h>

#include "scene/scenetexture.h"

#include "base/log.h"
#include "base/tools.h"
#include "resources/texture.h"

std::unique_ptr<ImageTexture2D> loadSceneTexture(const std::string& file, const char* source) {
    try {
        const ImageTexture2D texture = ImageTexture2D::fromFile(file);
        return std::make_unique<ImageTexture2D>(texture);
    } catch (const std::exception& e) {
        log(WARNING, source, "texture " + file + " not loaded: " + e.what());
        return nullptr;
    }
}

void interpolateWithPrevious(float alpha) {
    const float constant[4] = {1.0f, 1.0f, 1.0f, alpha};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_INTERPOLATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB, GL_CONSTANT);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
}
