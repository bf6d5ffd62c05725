#pragma once

#include "mesh/vectormath.h"

// One splash droplet.
struct Particle {
    vec3 position;
    vec3 velocity; // world units per tenth of a second
    float depth = 0.0f;
    bool kind = false; // false: a streak, the only kind a splash throws
    vec4 color;        // kept, not drawn
};
