#pragma once

#include "scene/keyphase.h"

class Camera;

// The water table's camera keys: by default an orbit around the board centre,
// switchable (F1) to a free-flying camera.
class CameraControl {
public:
    static constexpr float kInitialAzimuth = 1.57075f;
    static constexpr float kInitialElevation = 0.5f;
    static constexpr float kInitialDistance = 70.0f;
    static constexpr float kMinElevation = 0.2f;
    static constexpr float kMaxElevation = 1.5f;
    static constexpr float kMinDistance = 70.0f;
    static constexpr float kMaxDistance = 150.0f;

    // True when key is a camera key; dt is the seconds the event stands for.
    bool handleKey(Camera& camera, int key, KeyPhase phase, double dt);
    // Puts the camera on the orbit and turns it to the orbit's centre.
    void placeOnOrbit(Camera& camera) const;

    float getAzimuth() const { return azimuth; }
    float getElevation() const { return elevation; }
    float getDistance() const { return orbitDistance; }
    bool isOrbitMode() const { return orbitMode; }
    void setOrbitMode(bool on) { orbitMode = on; }
    // Elevation and distance are held to their ranges.
    void setOrbit(float newAzimuth, float newElevation, float newDistance);

private:
    void turn(Camera& camera, int key, float dt);

    float azimuth = kInitialAzimuth;
    float elevation = kInitialElevation;
    float orbitDistance = kInitialDistance;
    bool orbitMode = true;
};
