#include "input/inputevent.h"
#include "scene/camera.h"
#include "scene/cameracontrol.h"
#include "scene/fieldpicker.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kAspect = 1024.0f / 768.0f;
constexpr float kFieldUnits = 64.0f / 9.0f;

// Where a world point appears in the window, as pointer fractions (y from
// the top), through the view matrix and a 60 degree perspective.
void project(const Camera& camera, const vec3& p, float& mouseX, float& mouseY) {
    const Camera::Matrix4 m = camera.viewMatrix();
    const float ex = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
    const float ey = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
    const float ez = m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14];
    const float f = 1.0f / std::tan(30.0f * 3.14159265f / 180.0f);
    mouseX = (f / kAspect * ex / -ez + 1.0f) / 2.0f;
    mouseY = (1.0f - f * ey / -ez) / 2.0f;
}

Camera orbitCamera(int turns) {
    Camera camera;
    CameraControl control;
    for (int i = 0; i < turns; ++i) {
        control.handleKey(camera, KeyArrowLeft, KeyPhase::Held, 0.5);
        control.handleKey(camera, KeyArrowUp, KeyPhase::Held, 0.1);
    }
    control.placeOnOrbit(camera);
    return camera;
}

} // namespace

TEST(FieldPicker, PointerOverAFieldCentre_PicksThatField) {
    const MoveAnimation::ShownFields empty{};
    for (int turns : {0, 3, 7}) {
        const Camera camera = orbitCamera(turns);
        for (int i = 0; i < 9; i += 2) {
            for (int j = 0; j < 9; j += 2) {
                const vec3 centre((i + 0.5f) * kFieldUnits, (j + 0.5f) * kFieldUnits, 0.0f);
                float mx = 0, my = 0;
                project(camera, centre, mx, my);
                const FieldPicker::Pick pick = FieldPicker::pick(camera, kAspect, mx, my, empty);
                EXPECT_EQ(pick.x, i) << turns << ": " << i << "," << j;
                EXPECT_EQ(pick.y, j) << turns << ": " << i << "," << j;
                EXPECT_NEAR(pick.pointX, centre.x, 0.01f);
                EXPECT_NEAR(pick.pointY, centre.y, 0.01f);
            }
        }
    }
}

TEST(FieldPicker, Figures_WinOverTheBoardAndTheNearerOneWins) {
    MoveAnimation::ShownFields shown{};
    shown[4][0] = 1;
    shown[4][1] = 2;
    // Level with the figures' centres, looking along the column: both lie on the ray.
    const vec3 first = MoveAnimation::fieldPosition(4, 0) + vec3(0, 0, 3);
    Camera camera;
    camera.setPosition(first.x, -20.0f, first.z);
    camera.lookAt(first.x, 0.0f, first.z);
    FieldPicker::Pick pick = FieldPicker::pick(camera, kAspect, 0.5f, 0.5f, shown);
    EXPECT_EQ(pick.x, 4);
    EXPECT_EQ(pick.y, 0);
    EXPECT_EQ(pick.pointX, -1.0f);
    shown[4][0] = 0;
    pick = FieldPicker::pick(camera, kAspect, 0.5f, 0.5f, shown);
    EXPECT_EQ(pick.y, 1);

    // From above, the figure is hit before the board behind it.
    const Camera above = orbitCamera(0);
    float mx = 0, my = 0;
    project(above, MoveAnimation::fieldPosition(4, 1) + vec3(0, 0, 3), mx, my);
    EXPECT_EQ(FieldPicker::pick(above, kAspect, mx, my, shown).pointX, -1.0f);
    EXPECT_GT(FieldPicker::pick(above, kAspect, mx, my, MoveAnimation::ShownFields{}).pointX, 0.0f);
}

TEST(FieldPicker, BoardEdgesAndRaysAwayFromTheBoard_PickNothing) {
    Camera down;
    down.setPosition(7.5f, 30.0f, 50.0f);
    down.lookAt(7.5f, 30.01f, 0.0f);
    const MoveAnimation::ShownFields empty{};
    EXPECT_EQ(FieldPicker::pick(down, kAspect, 0.5f, 0.5f, empty).x, 0); // 7.5 is cut to 7: field 0
    down.setPosition(8.0f, 30.0f, 50.0f);
    EXPECT_EQ(FieldPicker::pick(down, kAspect, 0.5f, 0.5f, empty).x, 1);
    down.setPosition(63.5f, 30.0f, 50.0f);
    EXPECT_EQ(FieldPicker::pick(down, kAspect, 0.5f, 0.5f, empty).x, -1);

    Camera up; // a free camera under the board plane's far side, looking up and away
    up.setPosition(32.0f, 32.0f, 10.0f);
    up.lookAt(32.0f, 40.0f, 20.0f);
    const FieldPicker::Pick pick = FieldPicker::pick(up, kAspect, 0.5f, 0.5f, empty);
    EXPECT_EQ(pick.x, -1);
    EXPECT_EQ(pick.pointX, -1.0f);
}
