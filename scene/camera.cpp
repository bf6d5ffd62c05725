#include <GL/glew.h>

#include "scene/camera.h"

namespace {

// Below this a cross product counts as zero: the vectors were parallel.
constexpr float kDegenerateLength = 1e-6f;

mat3 fromColumns(const vec3& x, const vec3& y, const vec3& z) {
    return {x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z};
}

} // namespace

void Camera::move(float dx, float dy, float dz) {
    position += vec3(dx, dy, dz);
}

void Camera::moveRelative(float dx, float dy, float dz) {
    position += orientation * vec3(dx, dy, dz);
}

void Camera::rotate(const vec3& axis, float angle) {
    const vec3 worldAxis = orientation * axis;
    const float length = worldAxis.length();
    if (length < kDegenerateLength) {
        return;
    }
    orientation = mat3::rotation(worldAxis / length, angle) * orientation;
    // Each product rounds a little; over a long flight the frame would
    // stretch and shear the view. Forward is kept, the others made square to it.
    const vec3 forward = orientation.column(2).normalized();
    const vec3 side = (orientation.column(0) - forward * dot(orientation.column(0), forward)).normalized();
    orientation = fromColumns(side, cross(forward, side), forward);
}

void Camera::lookAt(float x, float y, float z) {
    const vec3 target(x, y, z);
    if (target.equals(position, kVectorEpsilon)) {
        return;
    }
    const vec3 forward = (target - position).normalized();
    const vec3 side = cross(up, forward);
    const float sideLength = side.length();
    if (sideLength < kDegenerateLength) {
        return;
    }
    const vec3 sideUnit = side / sideLength;
    const vec3 cameraUp = cross(forward, sideUnit).normalized();
    orientation = fromColumns(sideUnit, cameraUp, forward);
}

void Camera::setPerspective(float newFov, float newAspect) {
    fov = newFov;
    aspect = newAspect;
}

Camera::Matrix4 Camera::viewMatrix() const {
    // OpenGL's eye space looks down -z with x to the right: right = -side,
    // back = -forward.
    const vec3 right = -orientation.column(0);
    const vec3 cameraUp = orientation.column(1);
    const vec3 back = -orientation.column(2);
    return {right.x,
            cameraUp.x,
            back.x,
            0.0f,
            right.y,
            cameraUp.y,
            back.y,
            0.0f,
            right.z,
            cameraUp.z,
            back.z,
            0.0f,
            -dot(right, position),
            -dot(cameraUp, position),
            -dot(back, position),
            1.0f};
}

void Camera::apply() const {
    const Matrix4 m = viewMatrix();
    glLoadMatrixf(m.data());
}
