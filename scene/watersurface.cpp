#include <GL/glew.h>

#include "scene/watersurface.h"

#include "resources/material.h"
#include "scene/matrix4.h"
#include "scene/rendertarget.h"
#include "scene/scenetexture.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextureUnits = 2;
constexpr int kSequence = 0;
constexpr double kKeyDuration = 1.0;
// How far the slope of the surface bends the line of sight, in world units per
// unit of height difference.
constexpr float kRefractionShift = 10.0f;
// A drop: this high at its centre, falling off with the distance in vertices.
constexpr float kDropHeight = 2.0f;

// The camera's lens in every pass and in the main pass.
constexpr double kFieldOfView = 60.0;
constexpr double kNear = 1.0;
constexpr double kFar = 3000.0;
constexpr double kDegreesToRadians = 3.14159265358979323846 / 180.0;

// Blend value from the camera's elevation: a steep view sees into the water.
// Even the flattest view shows some of the board: 0.39 there, 0.525 at the
// default elevation, 0.975 at the steepest.
constexpr float kElevationShare = 0.45f;
constexpr float kBaseShare = 0.3f;

using Matrix = Matrix4x4<float>;

Matrix identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix scale(float x, float y, float z) {
    Matrix m = identity();
    m[0] = x;
    m[5] = y;
    m[10] = z;
    return m;
}

Matrix translate(float x, float y, float z) {
    Matrix m = identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix perspective(double aspect) {
    const double f = 1.0 / std::tan(kFieldOfView * kDegreesToRadians / 2.0);
    Matrix m{};
    m[0] = static_cast<float>(f / aspect);
    m[5] = static_cast<float>(f);
    m[10] = static_cast<float>((kFar + kNear) / (kNear - kFar));
    m[11] = -1.0f;
    m[14] = static_cast<float>(2.0 * kFar * kNear / (kNear - kFar));
    return m;
}

// Shows a pass picture through the active unit with its projection, or
// switches the unit off when there is no picture.
void usePicture(RenderTarget* picture, const Matrix& matrix) {
    if (picture == nullptr || !picture->isAvailable()) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    picture->bindTexture();
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(matrix.data());
}

void releasePicture(RenderTarget* picture) {
    if (picture != nullptr && picture->isAvailable()) {
        picture->releaseTexture();
    }
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

} // namespace

WaterSurface::WaterSurface(int cellsX, int cellsY, float sizeX, float sizeY)
    : cellsX(std::max(cellsX, 1)), cellsY(std::max(cellsY, 1)), sizeX(sizeX), sizeY(sizeY) {
    const int vertices = (this->cellsX + 1) * (this->cellsY + 1);
    allocate(vertices, kTextureUnits, 1, 2 * this->cellsX * this->cellsY);

    auto sequence = std::make_unique<AnimationSequence>();
    for (int f = 0; f < 2; ++f) {
        auto frame = std::make_unique<AnimationFrame>(vertices, kTextureUnits);
        for (int j = 0; j <= this->cellsY; ++j) {
            for (int i = 0; i <= this->cellsX; ++i) {
                const int k = vertexIndex(i, j);
                const float x = static_cast<float>(i) / this->cellsX * sizeX;
                const float y = static_cast<float>(j) / this->cellsY * sizeY;
                frame->positions[k] = vec3(x, y, 0.0f);
                frame->normals[k] = vec3(0.0f, 0.0f, 1.0f);
                for (int u = 0; u < kTextureUnits; ++u) {
                    frame->texCoords.at(k, u) = vec2(x, y);
                }
            }
        }
        frames[f] = frame.get();
        reach[f] = reachOf(*frame);
        sequence->addFrame(std::move(frame));
        sequence->addKey(std::make_unique<AnimationKey>(f, kKeyDuration));
    }
    addSequence(std::move(sequence));

    Triangle* triangles = getTriangles(0);
    for (int j = 0; j < this->cellsY; ++j) {
        for (int i = 0; i < this->cellsX; ++i) {
            const uint32_t v = static_cast<uint32_t>(vertexIndex(i, j));
            const uint32_t up = static_cast<uint32_t>(this->cellsX + 1);
            Triangle* cell = triangles + 2 * (j * this->cellsX + i);
            cell[0] = Triangle{{v, v + 1, v + up}};
            cell[1] = Triangle{{v + 1, v + up + 1, v + up}};
        }
    }

    auto surfaceMaterial = std::make_unique<Material>();
    surfaceMaterial->setAmbient(0.2f, 0.2f, 0.2f, 1.0f);
    surfaceMaterial->setDiffuse(1.0f, 1.0f, 1.0f, 1.0f);
    surfaceMaterial->setSpecular(1.0f, 1.0f, 1.0f, 1.0f);
    surfaceMaterial->setShininess(50.0f);
    surfaceMaterial->disable(GL_BLEND);
    surfaceMaterial->setBlendFunc(GL_ONE, GL_ONE);
    surfaceMaterial->enable(GL_LIGHTING);
    setMaterial(std::move(surfaceMaterial));
    animate(kSequence, displayTime());
}

void WaterSurface::update(double dt) {
    if (!std::isfinite(dt) || dt < 0.0) {
        return;
    }
    stepTime += dt;
    while (stepTime >= stepInterval) {
        step();
        stepTime -= stepInterval;
        current = 1 - current;
    }
    // Kept in step with the clock, so that heights asked for before the
    // water is drawn this frame are this frame's; drawing blends again only
    // after a drop.
    animate(kSequence, displayTime());
    dropped = false;
}

void WaterSurface::step() {
    AnimationFrame& written = *frames[current];
    const AnimationFrame& read = *frames[1 - current];
    auto h = [this](const AnimationFrame& frame, int i, int j) -> float {
        return frame.positions[vertexIndex(i, j)].z;
    };
    for (int j = 1; j < cellsY; ++j) {
        for (int i = 1; i < cellsX; ++i) {
            float& height = written.positions[vertexIndex(i, j)].z;
            height =
                (h(read, i - 1, j) + h(read, i + 1, j) + h(read, i, j - 1) + h(read, i, j + 1)) / spread -
                height;
            height -= height / damping;
        }
    }
    for (int j = 1; j < cellsY; ++j) {
        for (int i = 1; i < cellsX; ++i) {
            const int k = vertexIndex(i, j);
            const float dx = h(written, i + 1, j) - h(written, i - 1, j);
            const float dy = h(written, i, j + 1) - h(written, i, j - 1);
            written.normals[k] = vec3(-dx, -dy, 1.0f) / std::sqrt(dx * dx + dy * dy + 1.0f);
            const float x = static_cast<float>(i) / cellsX * sizeX;
            const float y = static_cast<float>(j) / cellsY * sizeY;
            written.texCoords.at(k, 0) = vec2(x + kRefractionShift * dx, y + kRefractionShift * dy);
            written.texCoords.at(k, 1) = vec2(x - kRefractionShift * dx, y - kRefractionShift * dy);
        }
    }
    // Once a step rather than every frame: the passes ask for it each frame.
    reach[current] = reachOf(written);
}

std::array<float, 4> WaterSurface::reachOf(const AnimationFrame& frame) const {
    std::array<float, 4> area = {0.0f, 0.0f, sizeX, sizeY};
    const NArray2<vec2>& coords = frame.texCoords;
    for (size_t unit = 0; unit < coords.getColumns(); ++unit) {
        for (size_t k = 0; k < coords.getRows(); ++k) {
            const vec2& c = coords.at(k, unit);
            area = {std::min(area[0], c.x), std::min(area[1], c.y), std::max(area[2], c.x),
                    std::max(area[3], c.y)};
        }
    }
    return area;
}

std::array<float, 4> WaterSurface::sampledArea() const {
    const std::array<float, 4>& a = reach[0];
    const std::array<float, 4>& b = reach[1];
    return {std::min(a[0], b[0]), std::min(a[1], b[1]), std::max(a[2], b[2]), std::max(a[3], b[3])};
}

int WaterSurface::column(float x) const {
    return static_cast<int>(std::floor(x / sizeX * cellsX + 0.5f));
}

int WaterSurface::row(float y) const {
    return static_cast<int>(std::floor(y / sizeY * cellsY + 0.5f));
}

void WaterSurface::drop(float x, float y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    const int ci = column(x);
    const int cj = row(y);
    AnimationFrame& newest = *frames[1 - current];
    for (int dj = -1; dj <= 1; ++dj) {
        for (int di = -1; di <= 1; ++di) {
            const int i = ci + di;
            const int j = cj + dj;
            // Border vertices are never stepped: a hill there would stand for ever.
            if (i < 1 || i >= cellsX || j < 1 || j >= cellsY) {
                continue;
            }
            newest.positions[vertexIndex(i, j)].z =
                kDropHeight - std::sqrt(static_cast<float>(di * di + dj * dj));
            dropped = true;
        }
    }
}

float WaterSurface::heightAt(float x, float y) const {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return 0.0f;
    }
    const int i = column(x);
    const int j = row(y);
    if (i < 1 || i > cellsX || j < 1 || j > cellsY) {
        return 0.0f;
    }
    return positions[vertexIndex(i, j)].z;
}

float WaterSurface::frameHeight(int frame, int i, int j) const {
    if (frame < 0 || frame > 1 || i < 0 || i > cellsX || j < 0 || j > cellsY) {
        return 0.0f;
    }
    return frames[frame]->positions[vertexIndex(i, j)].z;
}

float WaterSurface::blendValue(bool automatic, float elevation, float manual) {
    const float value = automatic ? elevation * kElevationShare + kBaseShare : manual;
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 1.0f;
}

std::array<float, 16> WaterSurface::projectionToPicture(const std::array<float, 16>& viewMatrix, float aspect,
                                                        bool mirrored) {
    // From clip space (-1 to 1) to picture space (0 to 1).
    const Matrix bias = multiply(translate(0.5f, 0.5f, 0.0f), scale(0.5f, 0.5f, 0.0f));
    Matrix m = multiply(multiply(bias, perspective(aspect > 0.0f ? aspect : 1.0f)), viewMatrix);
    return mirrored ? multiply(m, scale(1.0f, 1.0f, -1.0f)) : m;
}

void WaterSurface::draw(const WaterView& view) {
    glActiveTexture(GL_TEXTURE0);
    usePicture(view.refraction, projectionToPicture(view.viewMatrix, view.aspect, true));
    // The picture under the water is already lit by its own pass: lit again by
    // the surface, the lights' fall-off would count twice and leave the board's
    // corners black. The surface's glints are added after the pictures.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    glActiveTexture(GL_TEXTURE1);
    usePicture(view.reflection, projectionToPicture(view.viewMatrix, view.aspect, false));
    if (view.addReflection) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    } else {
        // previous * a + reflection * (1 - a), a = the blend value.
        interpolateWithPrevious(std::clamp(view.blend, 0.0f, 1.0f));
    }
    glMatrixMode(GL_MODELVIEW);

    // The highlights glint on top of both pictures instead of being mixed
    // away with the one under the water.
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    if (dropped) {
        animate(kSequence, displayTime());
        dropped = false;
    }
    DynamicMesh::draw(0);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
    if (view.drawNormals) {
        glDisable(GL_LIGHTING);
        glActiveTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_TEXTURE_2D);
        drawNormals();
        glEnable(GL_LIGHTING);
    }

    glActiveTexture(GL_TEXTURE1);
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, white);
    releasePicture(view.reflection);
    glActiveTexture(GL_TEXTURE0);
    releasePicture(view.refraction);
    glMatrixMode(GL_MODELVIEW);
    // Texturing changed behind the materials' back.
    Material::resetLastApplied();
}
