#pragma once

#include <array>
#include <vector>

class FluidSimulation;

// A rectangle of fluid sources in the simulation's input coordinates (the
// unit square with one border cell on each side) and what it adds: red
// density, green and blue a velocity v written as (v + 1) / 2, alpha a
// second dye.
struct FluidSource {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    std::array<float, 4> colour{};
};

// What the mouse does to the fluid under the board: the left button pours
// dye, the right button stirs in the direction the pointer moves, the middle
// button sends one pulse into each 2 x 2 block of cells the pointer enters.
// Positions are board points (0 to 64; x < 0 when the pointer is off the board).
class FluidInput {
public:
    // Dye poured per frame while the left button is down.
    static constexpr float kStrength = 100.0f;

    // A button's key-down or held event (released false) or its key-up.
    void leftButton(bool released);
    void middleButton(bool released);
    void rightButton(bool released, float hoverX, float hoverY);

    // The sources of this frame for a grid of gridWidth x gridHeight cells,
    // valid until the next call; remembers the hover point as the last point.
    const std::vector<FluidSource>& collect(float hoverX, float hoverY, int gridWidth, int gridHeight);
    // Draws this frame's sources into the simulation and steps it (OpenGL);
    // nothing without a working simulation.
    void feed(FluidSimulation* fluid, float hoverX, float hoverY, double dt);

    float getStrength() const { return fluidStrength; }
    float getPulse() const { return pulse; }
    float getStirX() const { return stirX; }
    float getStirY() const { return stirY; }

private:
    float fluidStrength = 0.0f;
    float pulse = 0.0f;
    bool pulseApplied = false;
    float stirX = 0.0f;
    float stirY = 0.0f;
    float lastPointX = 0.0f;
    float lastPointY = 0.0f;
    // Refilled every frame: its room is kept.
    std::vector<FluidSource> sources;
};
