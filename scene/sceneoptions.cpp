#include "scene/sceneoptions.h"

#include "base/log.h"
#include "base/tools.h"
#include "input/inputevent.h"

#include <algorithm>

namespace {

constexpr int KeyF2 = KeyF1 + 1;
constexpr int KeyF3 = KeyF1 + 2;
constexpr int KeyF4 = KeyF1 + 3;
constexpr int KeyF5 = KeyF1 + 4;
constexpr int KeyF6 = KeyF1 + 5;
constexpr int KeyF7 = KeyF1 + 6;
constexpr int KeyF8 = KeyF1 + 7;
constexpr int KeyF9 = KeyF1 + 8;
constexpr int KeyF11 = KeyF1 + 10;
// Manual blend units per second of holding "," or ".".
constexpr float kBlendSpeed = 2.0f;

} // namespace

void SceneOptions::restoreDefaults() {
    const bool keptOverlay = fluidOverlay;
    const bool keptSlowMotion = slowMotion;
    const bool keptHints = moveHints;
    *this = SceneOptions();
    fluidOverlay = keptOverlay;
    slowMotion = keptSlowMotion;
    moveHints = keptHints;
}

bool SceneOptions::handleKey(int key, KeyPhase phase, double dt) {
    bool* toggled = nullptr;
    switch (key) {
    case KeyF2:
        toggled = &autoBlend;
        break;
    case KeyF3:
        toggled = &caustics;
        break;
    case KeyF4:
        toggled = &fog;
        break;
    case KeyF5:
        toggled = &wireframe;
        break;
    case KeyF6:
        toggled = &addReflection;
        break;
    case KeyF7:
        toggled = &models;
        break;
    case KeyF8:
        toggled = &staticMeshes;
        break;
    case KeyF9:
        toggled = &fluidOverlay;
        break;
    case KeyF11:
        toggled = &debug;
        break;
    case 'b':
    case 'B':
        toggled = &slowMotion;
        break;
    case 'h':
    case 'H':
        toggled = &moveHints;
        break;
    case ',':
        blendManual = std::min(blendManual + kBlendSpeed * static_cast<float>(dt), 1.0f);
        return true;
    case '.':
        blendManual = std::max(blendManual - kBlendSpeed * static_cast<float>(dt), 0.0f);
        return true;
    case '#':
        restoreDefaults();
        return true;
    default:
        return false;
    }
    if (phase == KeyPhase::Up) {
        *toggled = !*toggled;
        if (key == KeyF8) {
            log(DEBUG, "global", staticMeshes ? "using static meshes" : "using dynamic meshes");
        }
    }
    return true;
}
