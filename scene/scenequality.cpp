#include "scene/scenequality.h"

#include "base/log.h"

#include <cstring>

namespace {
const char* const kSource = "quality";
const char* const kFull = "full";
const char* const kFast = "fast";
} // namespace

SceneQuality SceneQuality::choose(const char* argument, bool softwareRenderer) {
    if (argument != nullptr && std::strcmp(argument, kFull) == 0) {
        return SceneQuality(Level::Full);
    }
    if (argument != nullptr && std::strcmp(argument, kFast) == 0) {
        return SceneQuality(Level::Fast);
    }
    if (argument != nullptr) {
        log(WARNING, kSource,
            std::string("unknown quality \"") + argument +
                "\" ignored (full or fast); choosing by the renderer");
    }
    return SceneQuality(softwareRenderer ? Level::Fast : Level::Full);
}

std::string SceneQuality::describe(const char* argument) const {
    const bool given =
        argument != nullptr && (std::strcmp(argument, kFull) == 0 || std::strcmp(argument, kFast) == 0);
    std::string line = std::string("quality: ") + name();
    if (given) {
        return line + " (quality= on the command line)";
    }
    return line +
           (level == Level::Fast ? " (chosen for the software renderer)" : " (chosen for the graphics card)");
}
