#pragma once

#include "resources/resourceprocessor.h"

// Writes the descriptions of textures to the log. Created on first use,
// deleted at shutdown.
class TextureManager : public ResourceProcessor {
public:
    static TextureManager& instance();
    static void destroy();

    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    // Logs handle.toString() as a NOTE and asks for the next handle.
    bool process(Resource& handle) override;
    // One line per registered texture, of every texture kind.
    void listTextures();

private:
    TextureManager() = default;
};
