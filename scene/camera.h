#pragma once

#include "mesh/vectormath.h"

#include <array>

// Where the viewer stands and where they look. The orientation's columns are
// the camera frame: x = side (towards the left of the screen), y = camera-up,
// z = forward.
class Camera {
public:
    // Column-major, as glLoadMatrixf takes it.
    using Matrix4 = std::array<float, 16>;

    void setPosition(float x, float y, float z) { position = {x, y, z}; }
    const vec3& getPosition() const { return position; }
    const mat3& getOrientation() const { return orientation; }
    // In world axes.
    void move(float dx, float dy, float dz);
    // Along the camera frame: side, camera-up, forward.
    void moveRelative(float dx, float dy, float dz);
    // axis in the camera's own frame; angle in radians.
    void rotate(const vec3& axis, float angle);
    // Faces the target. A target at the eye, or one straight along up, has no
    // defined orientation: the previous one is kept.
    void lookAt(float x, float y, float z);
    void setUp(float x, float y, float z) { up = {x, y, z}; }
    void setPerspective(float newFov, float newAspect);
    float getFov() const { return fov; }
    float getAspect() const { return aspect; }

    // World into camera coordinates: looks along forward, camera-up up the screen.
    Matrix4 viewMatrix() const;
    // Loads viewMatrix() into the current OpenGL matrix.
    void apply() const;

private:
    vec3 position;
    mat3 orientation;
    vec3 up{0.0f, 0.0f, 1.0f};
    float fov = 60.0f;
    float aspect = 4.0f / 3.0f;
};
