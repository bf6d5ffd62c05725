#include <GL/glew.h>

#include <GL/freeglut.h>

#include "scene/scenemodels.h"

#include "mesh/md3meshloader.h"
#include "resources/material.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kSource = "WaterTable";
// Owner 1 first in each pair.
const std::array<const char*, 2> kLowFiles = {"models/sporlet/spr-slime-low.md3",
                                              "models/sporlet/spr-spike-low.md3"};
const std::array<const char*, 2> kFullFiles = {"models/sporlet/spr-slime.md3",
                                               "models/sporlet/spr-spike.md3"};
const char* const kTableFile = "models/table/table-outside.md3";

// The stand-in spheres wear their side's colours: slimes green, spikes
// crimson, so switching the models off never looks like the sides swapped.
constexpr std::array<std::array<float, 4>, 2> kSphereDiffuse = {
    {{0.1f, 1.0f, 0.1f, 1.0f}, {0.9f, 0.05f, 0.2f, 1.0f}}};
constexpr float kBlack[] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kModelScale = 2.0f;
constexpr float kModelTurnDegrees = 180.0f;
constexpr float kSphereLift = 3.0f;
constexpr float kTableX = 32.0f;
constexpr float kTableY = 32.0f;
constexpr float kTableZ = -12.0f;
constexpr float kTableScale = 64.0f;
// Sphere detail falls from kNearDetail stacks close to the eye to kBaseDetail far off.
constexpr float kNearDistance = 30.0f;
constexpr float kFarDistance = 80.0f;
constexpr float kBaseDetail = 10.0f;
constexpr float kNearDetail = 20.0f;
constexpr float kDetailPerUnit = 0.2f;
constexpr int kExtraSlices = 4;
constexpr int kMaxSlices = 20;

size_t slot(int owner) {
    return static_cast<size_t>(owner - 1);
}

} // namespace

bool SceneModels::useLowDetail(bool requested, float eyeDistance, float from) {
    return requested || eyeDistance >= from;
}

SceneModels::SphereDetail SceneModels::sphereDetail(float eyeDistance) {
    float q = kBaseDetail;
    if (eyeDistance <= kNearDistance) {
        q = kNearDetail;
    } else if (eyeDistance < kFarDistance) {
        q = kBaseDetail + (kFarDistance - eyeDistance) * kDetailPerUnit;
    }
    const int stacks = static_cast<int>(std::floor(q));
    return {stacks, std::min(stacks + kExtraSlices, kMaxSlices)};
}

void SceneModels::load() {
    release();
    MD3MeshLoader loader;
    for (size_t i = 0; i < kOwners; ++i) {
        lowFigures[i] = LoadedModel::load(loader, kLowFiles[i], kSource);
        // Only the static copy of a low-detail model is ever drawn.
        lowFigures[i].group.reset();
    }
    for (size_t i = 0; i < kOwners; ++i) {
        figures[i] = LoadedModel::load(loader, kFullFiles[i], kSource);
    }
    table = LoadedModel::load(loader, kTableFile, kSource);
}

void SceneModels::release() {
    figures = {};
    lowFigures = {};
    table = LoadedModel();
}

void SceneModels::drawFigure(const vec3& at, float size, int owner, bool lowDetail, const vec3& eye,
                             const Style& style) const {
    if (owner != 1 && owner != 2) {
        return;
    }
    const float d = (at - eye).length();
    const LoadedModel& full = figures[slot(owner)];
    const LoadedModel& low = lowFigures[slot(owner)];
    if (!style.models || (!full.isLoaded() && !low.isLoaded())) {
        drawSphere(at, size, owner, d, style.wireframe);
        return;
    }
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    glScalef(kModelScale * size, kModelScale * size, kModelScale * size);
    glRotatef(kModelTurnDegrees, 0.0f, 0.0f, 1.0f);
    // A missing model at one detail is replaced by the other one.
    if ((useLowDetail(lowDetail, d, style.lowDetailDistance) && low.isLoaded()) || !full.isLoaded()) {
        low.still->draw(0);
    } else if (style.staticMeshes) {
        full.still->draw(0);
    } else {
        full.group->draw(0);
        if (style.debug) {
            full.group->drawNormals();
        }
    }
    glPopMatrix();
}

void SceneModels::drawSphere(const vec3& at, float size, int owner, float eyeDistance, bool wireframe) const {
    const SphereDetail detail = sphereDetail(eyeDistance);
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    glDisable(GL_TEXTURE_2D);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kBlack);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kBlack);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kBlack);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, kSphereDiffuse[slot(owner)].data());
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z + kSphereLift);
    if (wireframe) {
        glutWireSphere(size, detail.slices, detail.stacks);
    } else {
        glutSolidSphere(size, detail.slices, detail.stacks);
    }
    glPopMatrix();
    glPopAttrib();
    Material::resetLastApplied();
}

void SceneModels::drawTable() const {
    if (!table.isLoaded()) {
        return;
    }
    glPushAttrib(GL_ENABLE_BIT);
    glPushMatrix();
    glTranslatef(kTableX, kTableY, kTableZ);
    glScalef(kTableScale, kTableScale, kTableScale);
    glEnable(GL_RESCALE_NORMAL);
    table.still->draw(0);
    glPopMatrix();
    glPopAttrib();
}
