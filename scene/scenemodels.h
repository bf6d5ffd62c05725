#pragma once

#include "scene/loadedmodel.h"

#include <array>

struct vec3;

// The figures of both players at full and low detail, and the table around
// the basin. A figure whose model is missing is drawn as a sphere in its
// side's colour; a missing table is not drawn.
class SceneModels {
public:
    // From this distance to the eye on, figures use their low-detail model.
    static constexpr float kLowDetailDistance = 70.0f;

    struct Style {
        bool models = true;
        bool staticMeshes = true;
        bool debug = false;
        bool wireframe = false;
        float lowDetailDistance = kLowDetailDistance;
    };
    struct SphereDetail {
        int stacks;
        int slices;
    };

    static bool useLowDetail(bool requested, float eyeDistance, float from = kLowDetailDistance);
    static SphereDetail sphereDetail(float eyeDistance);

    void load();
    void release();
    // owner: 1 or 2; anything else draws nothing.
    void drawFigure(const vec3& at, float size, int owner, bool lowDetail, const vec3& eye,
                    const Style& style) const;
    void drawTable() const;

private:
    static constexpr int kOwners = 2;

    void drawSphere(const vec3& at, float size, int owner, float eyeDistance, bool wireframe) const;

    std::array<LoadedModel, kOwners> figures;
    std::array<LoadedModel, kOwners> lowFigures;
    LoadedModel table;
};
