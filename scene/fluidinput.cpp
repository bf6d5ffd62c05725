#include "scene/fluidinput.h"

#include "fluid/fluidsimulation.h"

#include <cmath>

namespace {

constexpr float kPulse = 1.0f;
// The velocity channels hold (v + 1) / 2: this is no velocity at all.
constexpr float kNoVelocity = 0.5f;
const std::array<float, 4> kNothingAdded = {0.0f, kNoVelocity, kNoVelocity, 0.0f};
// Pulses and dye cover 2 x 2 cells.
constexpr int kBlock = 2;

int whole(float value) {
    return static_cast<int>(value);
}

} // namespace

void FluidInput::leftButton(bool released) {
    fluidStrength = released ? 0.0f : kStrength;
}

void FluidInput::middleButton(bool released) {
    if (released) {
        pulse = 0.0f;
        return;
    }
    if (pulse <= 0.0f) {
        pulse = kPulse;
        pulseApplied = false;
    }
}

void FluidInput::rightButton(bool released, float hoverX, float hoverY) {
    stirX = 0.0f;
    stirY = 0.0f;
    if (released || lastPointX < 0.0f) {
        return;
    }
    const float dx = hoverX - lastPointX;
    const float dy = hoverY - lastPointY;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0f && std::isfinite(length)) {
        stirX = dx / length;
        stirY = dy / length;
    }
}

const std::vector<FluidSource>& FluidInput::collect(float hoverX, float hoverY, int gridWidth,
                                                    int gridHeight) {
    sources.clear();
    const float cw = 1.0f / static_cast<float>(gridWidth + 2);
    const float ch = 1.0f / static_cast<float>(gridHeight + 2);
    if (hoverX >= 0.0f && gridWidth > 0 && gridHeight > 0) {
        const int cx = whole(hoverX);
        const int cy = whole(hoverY);
        const int lx = whole(lastPointX);
        const int ly = whole(lastPointY);
        const bool moved = (cx / kBlock != lx / kBlock || cy / kBlock != ly / kBlock) && lx >= 0;
        if (pulse > 0.0f && (moved || !pulseApplied)) {
            // A pulse pushes nowhere: it carries dye, not velocity.
            sources.push_back({kBlock * (cx / kBlock) * cw + cw,
                               kBlock * (cy / kBlock) * ch + ch,
                               kBlock * cw,
                               kBlock * ch,
                               {0.0f, kNoVelocity, kNoVelocity, pulse}});
            pulseApplied = true;
        } else if (pulse <= 0.0f) {
            sources.push_back({cx * cw + cw,
                               cy * ch + ch,
                               kBlock * cw,
                               kBlock * ch,
                               {fluidStrength, (stirX + 1.0f) / 2.0f, (stirY + 1.0f) / 2.0f, 0.0f}});
        }
    }
    lastPointX = hoverX;
    lastPointY = hoverY;
    return sources;
}

void FluidInput::feed(FluidSimulation* fluid, float hoverX, float hoverY, double dt) {
    if (fluid == nullptr || !fluid->isAvailable()) {
        lastPointX = hoverX;
        lastPointY = hoverY;
        return;
    }
    for (const FluidSource& s : collect(hoverX, hoverY, fluid->getWidth(), fluid->getHeight())) {
        // The pointer over the board with no button down adds nothing, and
        // is left out every frame the game is played.
        if (s.colour != kNothingAdded) {
            fluid->addSource(s.x, s.y, s.width, s.height, s.colour);
        }
    }
    fluid->step(dt);
}
