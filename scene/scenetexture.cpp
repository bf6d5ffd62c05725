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
