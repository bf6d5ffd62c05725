#pragma once

#include "scene/keyphase.h"

// The water table's option keys and the values they switch.
class SceneOptions {
public:
    static constexpr float kDefaultBlend = 0.5f;
    // The floor keeps this share of its own colour in the fog: more fog
    // hides which field is light and which dark.
    static constexpr float kDefaultFogDepth = 0.7f;
    // Scene time runs at this fraction of real time in slow motion.
    static constexpr double kSlowMotionFactor = 0.1;

    // True when key is an option key. "#" restores the defaults except the
    // fluid overlay, slow motion and the move hints.
    bool handleKey(int key, KeyPhase phase, double dt);
    // The scene's share of a real frame time.
    double sceneTime(double dt) const { return slowMotion ? dt * kSlowMotionFactor : dt; }

    bool autoBlend = true;
    bool caustics = true;
    bool fog = true;
    bool wireframe = false;
    bool addReflection = false;
    bool models = true;
    bool staticMeshes = true;
    bool fluidOverlay = true;
    bool debug = false;
    bool slowMotion = false;
    // The fields a selected figure can reach (H).
    bool moveHints = true;
    float blendManual = kDefaultBlend;
    float fogDepth = kDefaultFogDepth;

private:
    void restoreDefaults();
};
