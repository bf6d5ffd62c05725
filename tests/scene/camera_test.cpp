#include "input/inputevent.h"
#include "scene/camera.h"
#include "scene/cameracontrol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

constexpr float kTolerance = 1e-4f;

// The ordinary look-at view (eye, centre, up), column-major.
Camera::Matrix4 ordinaryLookAt(const vec3& eye, const vec3& centre, const vec3& up) {
    const vec3 f = (centre - eye).normalized();
    const vec3 s = cross(f, up).normalized();
    const vec3 u = cross(s, f);
    return {s.x, u.x, -f.x, 0, s.y,          u.y,          -f.y,        0,
            s.z, u.z, -f.z, 0, -dot(s, eye), -dot(u, eye), dot(f, eye), 1};
}

// Holds key for the given number of frames of dt seconds: down, held frames, up.
void hold(CameraControl& control, Camera& camera, int key, int frames, double dt) {
    control.handleKey(camera, key, KeyPhase::Down, 0.0);
    for (int i = 0; i < frames; ++i) {
        control.handleKey(camera, key, KeyPhase::Held, dt);
    }
    control.handleKey(camera, key, KeyPhase::Up, dt);
    if (control.isOrbitMode()) {
        control.placeOnOrbit(camera);
    }
}

} // namespace

TEST(Camera, ViewMatrix_EqualsTheOrdinaryLookAt) {
    const struct {
        vec3 eye, target;
    } cases[] = {{{32, -29.4f, 33.6f}, {32, 32, -5}}, {{0, 0, 10}, {64, 64, 0}}, {{100, 50, 5}, {-3, 7, 2}}};
    for (const auto& c : cases) {
        Camera camera;
        camera.setPosition(c.eye.x, c.eye.y, c.eye.z);
        camera.lookAt(c.target.x, c.target.y, c.target.z);
        const Camera::Matrix4 actual = camera.viewMatrix();
        const Camera::Matrix4 expected = ordinaryLookAt(c.eye, c.target, {0, 0, 1});
        for (size_t i = 0; i < actual.size(); ++i) {
            EXPECT_NEAR(actual[i], expected[i], kTolerance) << "element " << i;
        }
    }
}

TEST(Camera, LookAtWithoutDirection_KeepsTheOrientation) {
    Camera camera;
    camera.setPosition(1, 2, 3);
    camera.lookAt(5, 5, 5);
    const mat3 before = camera.getOrientation();
    camera.lookAt(1, 2, 3);  // the eye itself
    camera.lookAt(1, 2, 50); // straight along up: no side axis
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(camera.getOrientation().m[i], before.m[i]);
        EXPECT_FALSE(std::isnan(camera.getOrientation().m[i]));
    }
}

TEST(Camera, HeldKeys_StopAtTheirLimits) {
    const struct {
        int key;
        float expectedElevation, expectedDistance;
    } cases[] = {
        {KeyArrowUp, CameraControl::kMaxElevation, CameraControl::kInitialDistance},
        {KeyArrowDown, CameraControl::kMinElevation, CameraControl::kInitialDistance},
        {'+', CameraControl::kInitialElevation, CameraControl::kMinDistance},
        {'-', CameraControl::kInitialElevation, CameraControl::kMaxDistance},
    };
    for (const auto& c : cases) {
        Camera camera;
        CameraControl control;
        hold(control, camera, c.key, 1000, 0.05);
        EXPECT_FLOAT_EQ(control.getElevation(), c.expectedElevation) << c.key;
        EXPECT_FLOAT_EQ(control.getDistance(), c.expectedDistance) << c.key;
        const float eyeToCentre = (camera.getPosition() - vec3(32, 32, 0)).length();
        EXPECT_NEAR(eyeToCentre, c.expectedDistance, 1e-3f) << c.key;
    }
}

TEST(Camera, FreeModeTap_MovesTwoUnitsAlongTheCameraFrame) {
    Camera camera;
    CameraControl control;
    control.placeOnOrbit(camera);
    hold(control, camera, KeyF1, 0, 0.0);
    ASSERT_FALSE(control.isOrbitMode());
    const struct {
        int key, axis;
        float sign;
    } cases[] = {{'w', 1, 1}, {'s', 1, -1}, {'a', 0, -1}, {'d', 0, 1},
                 {'e', 2, 1}, {'q', 2, -1}, {'W', 1, 1}};
    for (const auto& c : cases) {
        const vec3 before = camera.getPosition();
        for (const auto& [frames, units] : {std::pair{0, 2.0f}, std::pair{3, 7.0f}}) {
            hold(control, camera, c.key, frames, 0.01);
            const vec3 expected = before + camera.getOrientation().column(c.axis) * (units * c.sign);
            EXPECT_NEAR((camera.getPosition() - expected).length(), 0.0f, kTolerance)
                << c.key << " " << frames;
        }
    }
}

// Turns a frame at a time about the camera's own up and side axes, as the
// arrow keys make them: rounding must not build up in the orientation, or the
// view would stretch and shear after a long flight.
TEST(Camera, LongTurns_KeepTheOrientationARightHandedRotation) {
    Camera camera;
    camera.setPosition(32, -30, 30);
    camera.lookAt(32, 32, 0);
    for (int frame = 0; frame < 200000; ++frame) {
        camera.rotate(frame % 3 == 0 ? vec3(1, 0, 0) : vec3(0, 1, 0), frame % 7 < 4 ? 0.016f : -0.011f);
    }
    const mat3& m = camera.getOrientation();
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            EXPECT_NEAR(dot(m.column(a), m.column(b)), a == b ? 1.0f : 0.0f, 1e-5f) << a << ", " << b;
        }
    }
    // camera-up = forward x side, as the view expects.
    EXPECT_NEAR(dot(cross(m.column(2), m.column(0)), m.column(1)), 1.0f, 1e-5f);
}

TEST(Camera, FreeModeArrows_TurnTheViewTheirWay) {
    Camera camera;
    camera.setPosition(0, 0, 0);
    camera.lookAt(0, 10, 0); // north, z up
    CameraControl control;
    control.handleKey(camera, KeyF1, KeyPhase::Up, 0.0);
    control.handleKey(camera, KeyArrowLeft, KeyPhase::Held, 0.1);
    EXPECT_LT(camera.getOrientation().column(2).x, 0.0f); // turned west
    control.handleKey(camera, KeyArrowUp, KeyPhase::Held, 0.1);
    EXPECT_GT(camera.getOrientation().column(2).z, 0.0f); // tilted up
}
