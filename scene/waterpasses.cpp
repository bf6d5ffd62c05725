#include <GL/glew.h>

#include "scene/waterpasses.h"

#include <GL/glu.h>

namespace {

constexpr double kFieldOfView = 60.0;
constexpr double kNear = 1.0;
constexpr double kFar = 3000.0;

// Plane equations in world coordinates: keep z <= 0, keep z >= 0.
constexpr GLdouble kBelowWater[4] = {0.0, 0.0, -1.0, 0.0};
constexpr GLdouble kAboveWater[4] = {0.0, 0.0, 1.0, 0.0};

} // namespace

bool WaterPasses::create() {
    const bool refractionMade = refraction.create();
    const bool reflectionMade = reflection.create();
    return refractionMade && reflectionMade;
}

void WaterPasses::beginPass(RenderTarget& target, const std::array<float, 16>& viewMatrix, float aspect,
                            const std::array<float, 4>& clear) {
    glGetFloatv(GL_COLOR_CLEAR_VALUE, savedClear.data());
    target.begin();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, aspect > 0.0f ? aspect : 1.0f, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadMatrixf(viewMatrix.data());
    glShadeModel(GL_SMOOTH);
    // The first frame's passes run before any main pass switched it on.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
}

void WaterPasses::endPass(RenderTarget& target) {
    glDisable(GL_CLIP_PLANE0);
    glCullFace(GL_BACK);
    target.end();
    glClearColor(savedClear[0], savedClear[1], savedClear[2], savedClear[3]);
}

void WaterPasses::renderRefraction(const std::array<float, 16>& viewMatrix, float aspect,
                                   const Draw& drawScene) {
    if (!refraction.isAvailable()) {
        return;
    }
    beginPass(refraction, viewMatrix, aspect, skyDrawn ? kRefractionClear : kSkylessClear);
    glCullFace(GL_BACK);
    glClipPlane(GL_CLIP_PLANE0, kBelowWater);
    glEnable(GL_CLIP_PLANE0);
    if (drawScene) {
        drawScene();
    }
    endPass(refraction);
}

void WaterPasses::renderReflection(const std::array<float, 16>& viewMatrix, float aspect,
                                   const Draw& drawWhole, const Draw& drawAbove) {
    if (!reflection.isAvailable()) {
        return;
    }
    beginPass(reflection, viewMatrix, aspect, skyDrawn ? kReflectionClear : kSkylessClear);
    // The mirror turns every triangle's winding around.
    glCullFace(GL_FRONT);
    glScalef(1.0f, 1.0f, -1.0f);
    if (drawWhole) {
        drawWhole();
    }
    // Given under the mirrored camera, the plane cuts the world before mirroring.
    glClipPlane(GL_CLIP_PLANE0, kAboveWater);
    glEnable(GL_CLIP_PLANE0);
    if (drawAbove) {
        drawAbove();
    }
    endPass(reflection);
}
