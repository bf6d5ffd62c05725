#include <GL/glew.h>

#include "fluid/fluidsimulation.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <vector>

namespace {

constexpr int kN = 64;

// A quad in buffer coordinates; added through addSource, or drawn between
// beginSources and endSources.
struct Quad {
    float x, y, w, h;
    std::array<float, 4> colour;
    bool added;
};

std::vector<float> stateAfterAStep(const std::vector<Quad>& quads, bool drawAll) {
    FluidSimulation fluid(kN, kN, FluidSimulation::Path::Cpu);
    EXPECT_TRUE(fluid.isAvailable());
    for (const Quad& q : quads) {
        if (q.added && !drawAll) {
            fluid.addSource(q.x, q.y, q.w, q.h, q.colour);
            continue;
        }
        fluid.beginSources();
        glColor4fv(q.colour.data());
        glRectf(q.x, q.y, q.x + q.w, q.y + q.h);
        fluid.endSources();
    }
    fluid.step(0.0);
    std::vector<float> state(kN * kN * 4);
    fluid.readState(state.data());
    return state;
}

// The processor's path takes added sources without drawing them: the fluid
// must come out as if each had been drawn, in the order given.
TEST(FluidSourcesGl, AddedSources_ReachTheFluidAsDrawnOnes) {
    LogCapture logs;
    constexpr float kCell = 1.0f / (kN + 2);
    const Quad aligned = {11 * kCell, 4 * kCell, 2 * kCell, 2 * kCell, {1.0f, 0.9f, 0.2f, 0.0f}, true};
    const Quad between = {0.1234f, 0.377f, 0.0521f, 0.0333f, {100.0f, 0.1f, 0.7f, 0.4f}, true};
    Quad drawnOver = between;
    drawnOver.x += 0.02f;
    drawnOver.colour = {0.0f, 0.5f, 0.5f, 1.0f};
    drawnOver.added = false;
    const std::vector<Quad> cases[] = {
        {aligned}, {between}, {between, drawnOver}, {drawnOver, between}, {aligned, drawnOver, between},
    };
    for (size_t c = 0; c < std::size(cases); ++c) {
        EXPECT_EQ(stateAfterAStep(cases[c], false), stateAfterAStep(cases[c], true)) << "case " << c;
    }
}

} // namespace
