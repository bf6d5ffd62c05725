#pragma once

#include "mesh/vectormath.h"

#include <vector>

// The scene's lights. OpenGL has eight light slots: lights beyond the eighth
// are kept but not used.
class LightList {
public:
    static constexpr int kMaxLights = 8;

    struct Light {
        vec4 position; // w = 1 positional, 0 directional
        vec4 color;
        float attenuation = 0.0f; // quadratic
    };

    // color: red, green, blue; alpha is 1.
    void add(const vec3& position, bool positional, const vec3& color, float attenuation);
    void clear() { lights.clear(); }
    int size() const { return static_cast<int>(lights.size()); }
    const Light& get(int i) const { return lights[static_cast<size_t>(i)]; }
    // Lighting on, the first eight lights in their slots, the other slots off.
    // Positions are taken through the current modelview matrix, so call it
    // once the camera is set.
    void apply() const;

private:
    std::vector<Light> lights;
};
