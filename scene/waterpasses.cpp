#include <GL/glew.h>

#include "scene/waterpasses.h"

#include "scene/matrix4.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFieldOfView = 60.0;
constexpr double kNear = 1.0;
constexpr double kFar = 3000.0;

// Plane equations in world coordinates: keep z <= 0, keep z >= 0.
constexpr GLdouble kBelowWater[4] = {0.0, 0.0, -1.0, 0.0};
constexpr GLdouble kAboveWater[4] = {0.0, 0.0, 1.0, 0.0};

// Linear filtering reads one pixel beyond a sampled point; one more is kept
// for rounding.
constexpr int kScissorMargin = 2;
// A corner this near the camera's plane (or behind it) has no place in the
// picture; the whole picture is drawn then.
constexpr double kMinClipW = 1e-3;

} // namespace

bool WaterPasses::create(int size) {
    const bool refractionMade = refraction.create(size);
    const bool reflectionMade = reflection.create(size);
    refractionDrawn = Drawn();
    reflectionDrawn = Drawn();
    return refractionMade && reflectionMade;
}

bool WaterPasses::holdsSampledArea(const Drawn& drawn) const {
    if (!drawn.any || drawn.whole) {
        return drawn.any;
    }
    if (!hasSampledArea) {
        return false;
    }
    const std::array<float, 4>& a = drawn.area;
    const std::array<float, 4>& b = sampledArea;
    return a[0] <= b[0] && a[1] <= b[1] && a[2] >= b[2] && a[3] >= b[3];
}

void WaterPasses::beginPass(RenderTarget& target, const std::array<float, 16>& viewMatrix, float aspect,
                            const std::array<float, 4>& clear) {
    target.begin();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, aspect > 0.0f ? aspect : 1.0f, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glLoadMatrixf(viewMatrix.data());
    limitToSampledArea(multiply(perspectiveAsDrawn(kFieldOfView, aspect > 0.0f ? aspect : 1.0f, kNear, kFar),
                                widened(viewMatrix)),
                       target.getSize());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glShadeModel(GL_SMOOTH);
    // The first frame's passes run before any main pass switched it on.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
}

void WaterPasses::limitToSampledArea(const Matrix4x4<double>& m, int size) const {
    if (!hasSampledArea) {
        return;
    }
    double low[2] = {static_cast<double>(size), static_cast<double>(size)};
    double high[2] = {0.0, 0.0};
    for (int corner = 0; corner < 4; ++corner) {
        const double x = sampledArea[corner % 2 == 0 ? 0 : 2];
        const double y = sampledArea[corner < 2 ? 1 : 3];
        double at[2];
        if (!projectToPixels(m, x, y, 0.0, kMinClipW, size, size, at[0], at[1])) {
            return;
        }
        for (int axis = 0; axis < 2; ++axis) {
            low[axis] = std::min(low[axis], at[axis]);
            high[axis] = std::max(high[axis], at[axis]);
        }
    }
    // Widened by the margin and kept on the picture.
    int box[4];
    for (int axis = 0; axis < 2; ++axis) {
        const double from = std::floor(low[axis]) - kScissorMargin;
        const double to = std::ceil(high[axis]) + kScissorMargin;
        box[axis] = static_cast<int>(std::clamp(from, 0.0, static_cast<double>(size)));
        box[axis + 2] = static_cast<int>(std::clamp(to, 0.0, static_cast<double>(size)));
    }
    glScissor(box[0], box[1], box[2] - box[0], box[3] - box[1]);
    glEnable(GL_SCISSOR_TEST);
}

void WaterPasses::endPass(RenderTarget& target) {
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_CLIP_PLANE0);
    glCullFace(GL_BACK);
    target.end();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
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
    refractionDrawn = drawnNow();
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
    reflectionDrawn = drawnNow();
}
