#include <GL/glew.h>

#include "resources/softwarerenderer.h"

#include <cstring>

namespace {
const char* const kSoftwareRenderers[] = {"llvmpipe", "softpipe", "Software Rasterizer"};
} // namespace

bool isSoftwareRendererName(const char* renderer) {
    if (renderer == nullptr) {
        return false;
    }
    for (const char* name : kSoftwareRenderers) {
        if (std::strstr(renderer, name) != nullptr) {
            return true;
        }
    }
    return false;
}

bool isSoftwareRenderer() {
    return isSoftwareRendererName(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}
