#include "scene/camera.h"

#include <gtest/gtest.h>

namespace {

// Turns of the free camera, a frame at a time, about its own up and side
// axes as the arrow keys make them: rounding must not build up in the
// orientation, or the view would stretch and shear after a long flight.
TEST(CameraDrift, LongTurns_KeepTheOrientationARotation) {
    Camera camera;
    camera.setPosition(32, -30, 30);
    camera.lookAt(32, 32, 0);
    const vec3 up(0, 1, 0);
    const vec3 side(1, 0, 0);
    for (int frame = 0; frame < 200000; ++frame) {
        camera.rotate(frame % 3 == 0 ? side : up, frame % 7 < 4 ? 0.016f : -0.011f);
    }
    const mat3& m = camera.getOrientation();
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            EXPECT_NEAR(dot(m.column(a), m.column(b)), a == b ? 1.0f : 0.0f, 1e-5f) << a << ", " << b;
        }
    }
    // Still right-handed: camera-up = forward x side, as the view expects.
    const vec3 upAgain = cross(m.column(2), m.column(0));
    EXPECT_NEAR(dot(upAgain, m.column(1)), 1.0f, 1e-5f);
}

} // namespace
