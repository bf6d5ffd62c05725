#include "resources/texturemanager.h"

#include "base/log.h"
#include "base/tools.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"

#include <memory>

namespace {
const char* const kSource = "TextureManager";

std::unique_ptr<TextureManager>& theInstance() {
    static std::unique_ptr<TextureManager> manager;
    return manager;
}
} // namespace

TextureManager& TextureManager::instance() {
    std::unique_ptr<TextureManager>& manager = theInstance();
    if (!manager) {
        manager.reset(new TextureManager());
    }
    return *manager;
}

void TextureManager::destroy() {
    theInstance().reset();
}

bool TextureManager::process(Resource& handle) {
    log(NOTE, kSource, handle.toString());
    return true;
}

void TextureManager::listTextures() {
    ResourceManager::instance().processAll(Texture(), *this);
}
