#pragma once

#include "scene/loadedmodel.h"

struct vec3;

// The sky: a model drawn around the eye, lit by its own emission.
class SkyBox {
public:
    // Loads the model; one without materials or textures is not drawn (logged once).
    void load();
    void release();
    bool isLoaded() const { return drawable; }
    void draw(const vec3& eye) const;

private:
    LoadedModel model;
    bool drawable = false;
};
