#include "scene/fieldpicker.h"

#include "scene/camera.h"

#include <cmath>

namespace {

constexpr float kHalfFovRadians = 0.5235988f;
constexpr float kBoardUnits = 64.0f;
// Points from this coordinate up belong to no field.
constexpr float kBoardPickLimit = 63.0f;
// A figure is hit when its centre lies this close to the ray.
constexpr float kFigureRadius = 3.0f;
constexpr float kFigureCentreHeight = 3.0f;
constexpr float kFigureInset = 3.0f;
constexpr float kNoHit = 3000.0f;
constexpr float kHitBelow = 2999.0f;
// Where the ray meets the plane z = height in front of the eye; false behind it or along it.
bool meetPlane(const vec3& eye, const vec3& r, float height, vec3& p) {
    if (r.z == 0.0f) {
        return false;
    }
    const float t = (height - eye.z) / r.z;
    if (t <= 0.0f) {
        return false;
    }
    p = eye + r * t;
    return true;
}

// The field holding a board point, as the plane pick cuts it; false off the picked area.
bool fieldAt(const vec3& p, int& x, int& y) {
    if (p.x < 0.0f || p.y < 0.0f || p.x >= kBoardPickLimit || p.y >= kBoardPickLimit) {
        return false;
    }
    x = static_cast<int>(std::floor(p.x)) * MoveAnimation::kSize / static_cast<int>(kBoardUnits);
    y = static_cast<int>(std::floor(p.y)) * MoveAnimation::kSize / static_cast<int>(kBoardUnits);
    return true;
}

bool isReachable(const MoveHints::Fields& reachable, int x, int y) {
    return x >= 0 && y >= 0 && x < MoveHints::kSize && y < MoveHints::kSize &&
           reachable[static_cast<size_t>(x)][static_cast<size_t>(y)] != MoveHints::None;
}

} // namespace

vec3 FieldPicker::ray(const Camera& camera, float aspect, float mouseX, float mouseY) {
    const float h = 2.0f * std::tan(kHalfFovRadians);
    const float w = h * aspect;
    const float viewX = (mouseX - 0.5f) * w;
    const float viewY = (0.5f - mouseY) * h;
    // View x runs to the right of the screen, the opposite of the camera's side axis.
    const mat3& frame = camera.getOrientation();
    return frame.column(0) * -viewX + frame.column(1) * viewY + frame.column(2);
}

FieldPicker::Pick FieldPicker::pick(const Camera& camera, float aspect, float mouseX, float mouseY,
                                    const MoveAnimation::ShownFields& shown,
                                    const MoveHints::Fields* reachable, bool marksShown) {
    const vec3 eye = camera.getPosition();
    const vec3 r = ray(camera, aspect, mouseX, mouseY);
    Pick result;
    vec3 p;
    int x = -1;
    int y = -1;
    if (reachable != nullptr && marksShown && meetPlane(eye, r, kMarkHeight, p)) {
        // The mark whose field's marker point lies nearest under the pointer.
        const auto nearest = [](float at) {
            return static_cast<int>(
                std::floor((at - kFigureInset) * MoveAnimation::kSize / kBoardUnits + 0.5f));
        };
        const int markX = nearest(p.x);
        const int markY = nearest(p.y);
        const vec3 mark = MoveAnimation::fieldPosition(markX, markY);
        if (isReachable(*reachable, markX, markY) && std::fabs(p.x - mark.x) <= kMarkHalf &&
            std::fabs(p.y - mark.y) <= kMarkHalf) {
            result.x = markX;
            result.y = markY;
            return result;
        }
    }
    if (reachable != nullptr && meetPlane(eye, r, 0.0f, p) && fieldAt(p, x, y) &&
        isReachable(*reachable, x, y)) {
        return {x, y, p.x, p.y};
    }
    float best = kNoHit;
    for (int j = 0; j < MoveAnimation::kSize; ++j) {
        for (int i = 0; i < MoveAnimation::kSize; ++i) {
            if (shown[static_cast<size_t>(i)][static_cast<size_t>(j)] <= 0) {
                continue;
            }
            const vec3 c(static_cast<float>(i) / MoveAnimation::kSize * kBoardUnits + kFigureInset,
                         static_cast<float>(j) / MoveAnimation::kSize * kBoardUnits + kFigureInset,
                         kFigureCentreHeight);
            vec3 v = c - eye;
            const float along = dot(v, r);
            if (along > 0.0f) {
                v -= r * (along / r.lengthSquared());
            }
            const float distance = (c - eye).length();
            if (v.lengthSquared() < kFigureRadius * kFigureRadius && distance < best) {
                best = distance;
                result.x = i;
                result.y = j;
            }
        }
    }
    if (best < kHitBelow) {
        return result;
    }
    result.x = -1;
    result.y = -1;
    // A plane behind the eye is no hit: with the free camera looking up, the
    // line's continuation backwards must not pick a field.
    if (!meetPlane(eye, r, 0.0f, p) || !fieldAt(p, result.x, result.y)) {
        result.x = -1;
        result.y = -1;
        return result;
    }
    result.pointX = p.x;
    result.pointY = p.y;
    return result;
}
