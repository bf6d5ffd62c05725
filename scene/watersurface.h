#pragma once

#include "mesh/animatedmesh.h"

#include <array>

class RenderTarget;

// How the water is seen in one frame: the two pictures it shows, the camera
// that saw them, and how they are mixed.
struct WaterView {
    RenderTarget* refraction = nullptr; // not owned; null: no picture under the water
    RenderTarget* reflection = nullptr; // not owned; null: no mirrored picture
    std::array<float, 16> viewMatrix{}; // the camera's, column-major as OpenGL keeps it
    float aspect = 1.0f;                // window width / height
    // Share of the picture under the water; the rest is the reflection.
    float blend = 0.5f;
    bool addReflection = false; // the reflection is added instead of mixed in
    bool drawNormals = false;
};

// The rippling water over the board: a height field on a grid of
// (cellsX + 1) x (cellsY + 1) vertices stepped at a fixed rate, drawn as an
// animated mesh whose two key frames are the last two steps, so the surface
// moves smoothly between steps whatever the frame rate.
class WaterSurface : public AnimatedMesh {
public:
    static constexpr int kCells = 50;
    static constexpr float kSize = 64.0f;
    static constexpr double kStepInterval = 0.1;

    WaterSurface(int cellsX = kCells, int cellsY = kCells, float sizeX = kSize, float sizeY = kSize);

    // Runs as many steps as dt completes, keeping the remainder; a time that
    // is negative or not finite changes nothing.
    void update(double dt);
    // Raises a small hill around the vertex nearest to (x, y).
    void drop(float x, float y);
    // The displayed height at the vertex nearest to (x, y); 0 outside the grid.
    float heightAt(float x, float y) const;

    using AnimatedMesh::draw;
    // Draws the surface with both pictures projected onto it (OpenGL);
    // leaves the modelview matrix current.
    void draw(const WaterView& view);

    // Share of the picture under the water: from the camera's elevation
    // (radians) when automatic, else the manual value; within 0 to 1.
    static float blendValue(bool automatic, float elevation, float manual);
    // The texture matrix that takes a point of the water plane to where the
    // camera saw it in a pass picture (0 to 1 across the picture).
    static std::array<float, 16> projectionToPicture(const std::array<float, 16>& viewMatrix, float aspect,
                                                     bool mirrored);

    // The rectangle of the water plane (z = 0) that the surface's texture
    // coordinates reach in either key frame, as {minX, minY, maxX, maxY}:
    // the pictures are sampled nowhere else.
    std::array<float, 4> sampledArea() const;

    // Height of vertex (i, j) in key frame 0 or 1.
    float frameHeight(int frame, int i, int j) const;
    // The frame the next step writes; the other one holds the newest step.
    int getCurrent() const { return current; }
    double getStepTime() const { return stepTime; }

private:
    void step();
    // The rectangle frame's texture coordinates reach, with the surface's own.
    std::array<float, 4> reachOf(const AnimationFrame& frame) const;
    int vertexIndex(int i, int j) const { return j * (cellsX + 1) + i; }
    // Nearest vertex to a world point, rounding as the drops and figures do.
    int column(float x) const;
    int row(float y) const;
    // The time that shows the older step blending into the newer one.
    double displayTime() const { return stepTime / stepInterval + current; }

    int cellsX;
    int cellsY;
    float sizeX;
    float sizeY;
    double stepInterval = kStepInterval;
    double stepTime = 0.0;
    int current = 0;
    float damping = 30.0f;
    float spread = 2.2f;
    std::array<AnimationFrame*, 2> frames{}; // not owned: held by the animation sequence
    // The texture coordinates' reach in each key frame, kept as they are written.
    std::array<std::array<float, 4>, 2> reach{};
    // A drop changed a key frame since the mesh was last blended from them.
    bool dropped = false;
};
