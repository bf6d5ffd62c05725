#include "input/inputevent.h"
#include "scene/camera.h"
#include "scene/cameracontrol.h"
#include "scene/fieldpicker.h"
#include "scene/movehints.h"
#include "support/boarddiagrams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

namespace {

constexpr float kTolerance = 1e-4f;

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

TEST(Camera, LookAtWithoutDirection_KeepsTheOrientation) {
    Camera camera;
    camera.setPosition(1, 2, 3);
    camera.lookAt(5, 5, 5);
    const mat3 before = camera.getOrientation();
    camera.lookAt(1, 2, 3);  // the eye itself
    camera.lookAt(1, 2, 50); // straight along up: no side axis
    // Equal, so no NaN either.
    EXPECT_TRUE(std::equal(std::begin(before.m), std::end(before.m), camera.getOrientation().m));
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

// Free mode: a letter's tap moves two units along the camera frame, each
// frame held one more; the arrows turn the view their way.
TEST(Camera, FreeMode_TapMovesTwoUnitsAlongTheCameraFrame_ArrowsTurnTheView) {
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
    const mat3 before = camera.getOrientation();
    control.handleKey(camera, KeyArrowLeft, KeyPhase::Held, 0.1);
    EXPECT_GT(dot(camera.getOrientation().column(2), cross(vec3(0, 0, 1), before.column(2))), 0.0f); // left
    control.handleKey(camera, KeyArrowUp, KeyPhase::Held, 0.1);
    EXPECT_GT(camera.getOrientation().column(2).z, before.column(2).z); // tilted up
}

constexpr float kAspect = 1024.0f / 768.0f;
constexpr float kFieldUnits = 64.0f / 9.0f;

// Where a world point appears in the window, as pointer fractions (y from
// the top), through the view matrix and a 60 degree perspective.
std::pair<float, float> project(const Camera& camera, const vec3& p) {
    const Camera::Matrix4 m = camera.viewMatrix();
    const float ex = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
    const float ey = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
    const float ez = m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14];
    const float f = 1.0f / std::tan(30.0f * 3.14159265f / 180.0f);
    return {(f / kAspect * ex / -ez + 1.0f) / 2.0f, (1.0f - f * ey / -ez) / 2.0f};
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

TEST(FieldPicker, PointerOverAFieldCentre_PicksThatField) {
    const MoveAnimation::ShownFields empty{};
    for (int turns : {0, 3, 7}) {
        const Camera camera = orbitCamera(turns);
        for (int i = 0; i < 9; i += 2) {
            for (int j = 0; j < 9; j += 2) {
                const vec3 centre((i + 0.5f) * kFieldUnits, (j + 0.5f) * kFieldUnits, 0.0f);
                const auto [mx, my] = project(camera, centre);
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
    const auto [mx, my] = project(above, MoveAnimation::fieldPosition(4, 1) + vec3(0, 0, 3));
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

constexpr int kSize = GameBoard::kBoardSize;

// Two humans, the diagram on the board, player to move with (x, y) clicked.
void setUp(GameBoard& board, const Diagram& diagram, int player, int x, int y) {
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    if (player == GameBoard::kPlayer2) {
        board.clickField(0, 0);
        board.clickField(0, 1);
        board.setMoveDone(true);
    }
    while (board.popMove()) {
    }
    drawDiagram(board, diagram);
    board.clickField(x, y);
    while (board.popMove()) {
    }
}

const Diagram kStartDiagram = {"o........", ".........", ".........", ".........", ".........",
                               ".........", ".........", ".........", "........x"};

// Every figure of either side in several positions, every field: marked
// exactly where the click rule takes a move, as a split where the figure
// stays, and the pulsing figures are exactly those the move wins.
TEST(MoveHints, EveryFieldOfSeveralPositions_MatchesWhatAClickThereDoes) {
    int moves = 0;
    for (const Diagram* diagram : {&kStartDiagram, &kOpeningDiagram, &kMiddleDiagram}) {
        for (int player = 1; player <= 2; ++player) {
            for (int from = 0; from < kSize * kSize; ++from) {
                const int fx = from % kSize, fy = from / kSize;
                GameBoard board;
                setUp(board, *diagram, player, fx, fy);
                if (board.getField(fx, fy) != player) {
                    continue;
                }
                const MoveHints::Fields hints = MoveHints::reachable(board);
                for (int to = 0; to < kSize * kSize; ++to) {
                    const int x = to % kSize, y = to / kSize;
                    SCOPED_TRACE(testing::Message() << fx << "," << fy << " to " << x << "," << y);
                    const bool marked = hints[x][y] != MoveHints::None;
                    EXPECT_EQ(marked, board.getField(x, y) == GameBoard::kEmpty && board.canClickField(x, y));
                    GameBoard after;
                    setUp(after, *diagram, player, fx, fy);
                    ASSERT_EQ(marked, after.clickField(x, y));
                    if (!marked) {
                        continue;
                    }
                    ++moves;
                    EXPECT_EQ(hints[x][y] == MoveHints::Split, after.getField(fx, fy) == player);
                    std::vector<GameBoard::Position> won;
                    for (int i = 0; i < kSize * kSize; ++i) {
                        const GameBoard::Position p{i % kSize, i / kSize};
                        if (board.getField(p.x, p.y) == 3 - player && after.getField(p.x, p.y) == player) {
                            won.push_back(p);
                        }
                    }
                    EXPECT_EQ(MoveHints::conversions(board, hints, x, y), won);
                }
            }
        }
    }
    EXPECT_GT(moves, 300);
}

} // namespace
