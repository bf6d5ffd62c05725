#include "scene/cameracontrol.h"

#include "input/inputevent.h"
#include "scene/camera.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

namespace {

constexpr float kCentreX = 32.0f;
constexpr float kCentreY = 32.0f;
// The orbit looks a little below the board plane.
constexpr float kCentreZ = -5.0f;
// Units per second that "+" and "-" change the orbit distance.
constexpr float kZoomSpeed = 20.0f;
// Free-flight steps are whole units per event, not scaled by time.
constexpr float kFreeStep = 1.0f;

const vec3 kCameraUpAxis{0.0f, 1.0f, 0.0f};
const vec3 kCameraSideAxis{1.0f, 0.0f, 0.0f};

} // namespace

void CameraControl::placeOnOrbit(Camera& camera) const {
    const float flat = orbitDistance * std::cos(elevation);
    camera.setPosition(kCentreX + flat * std::cos(azimuth), kCentreY - flat * std::sin(azimuth),
                       orbitDistance * std::sin(elevation));
    camera.lookAt(kCentreX, kCentreY, kCentreZ);
}

void CameraControl::setOrbit(float newAzimuth, float newElevation, float newDistance) {
    azimuth = newAzimuth;
    elevation = std::clamp(newElevation, kMinElevation, kMaxElevation);
    orbitDistance = std::clamp(newDistance, kMinDistance, kMaxDistance);
}

void CameraControl::turn(Camera& camera, int key, float dt) {
    // The orbit angle grows the way the free camera turns: Left and Up turn
    // the view left and up in both modes.
    const float sign = (key == KeyArrowLeft || key == KeyArrowUp) ? 1.0f : -1.0f;
    const bool aroundUp = key == KeyArrowLeft || key == KeyArrowRight;
    if (orbitMode) {
        (aroundUp ? azimuth : elevation) += sign * dt;
    } else if (aroundUp) {
        camera.rotate(kCameraUpAxis, sign * dt);
    } else {
        camera.rotate(kCameraSideAxis, -sign * dt);
    }
    elevation = std::clamp(elevation, kMinElevation, kMaxElevation);
}

bool CameraControl::handleKey(Camera& camera, int key, KeyPhase phase, double dt) {
    const float step = static_cast<float>(dt);
    switch (key) {
    case KeyArrowLeft:
    case KeyArrowRight:
    case KeyArrowUp:
    case KeyArrowDown:
        turn(camera, key, step);
        return true;
    case '+':
        orbitDistance = std::max(orbitDistance - kZoomSpeed * step, kMinDistance);
        return true;
    case '-':
        orbitDistance = std::min(orbitDistance + kZoomSpeed * step, kMaxDistance);
        return true;
    case KeyF1:
        if (phase == KeyPhase::Up) {
            orbitMode = !orbitMode;
        }
        return true;
    default:
        break;
    }
    if (key < 0 || key > UCHAR_MAX) {
        return false;
    }
    float side = 0.0f, upward = 0.0f, forward = 0.0f;
    switch (std::tolower(key)) {
    case 'w':
        upward = kFreeStep;
        break;
    case 's':
        upward = -kFreeStep;
        break;
    case 'a':
        side = -kFreeStep;
        break;
    case 'd':
        side = kFreeStep;
        break;
    case 'e':
        forward = kFreeStep;
        break;
    case 'q':
        forward = -kFreeStep;
        break;
    default:
        return false;
    }
    if (!orbitMode) {
        camera.moveRelative(side, upward, forward);
    }
    return true;
}
