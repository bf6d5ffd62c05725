#include <GL/glew.h>

#include "fluid/fluidsimulation.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

namespace {

// A source quad in buffer coordinates, added or drawn between beginSources
// and endSources.
struct SourceQuad {
    float x, y, w, h;
    std::array<float, 4> colour;
    bool added;
};

std::vector<float> stateAfterAStep(const std::vector<SourceQuad>& quads, bool drawAll) {
    FluidSimulation fluid(64, 64, FluidSimulation::Path::Cpu);
    for (const SourceQuad& q : quads) {
        if (q.added && !drawAll) {
            fluid.addSource(q.x, q.y, q.w, q.h, q.colour);
        } else {
            fluid.beginSources();
            glColor4fv(q.colour.data());
            glRectf(q.x, q.y, q.x + q.w, q.y + q.h);
            fluid.endSources();
        }
    }
    fluid.step(0.0);
    std::vector<float> state(64 * 64 * 4);
    fluid.readState(state.data());
    return state;
}

// The processor's path takes added sources without drawing them: the fluid
// must come out as if each had been drawn, in the order given.
TEST(FluidSourcesGl, AddedSources_ReachTheFluidAsDrawnOnes) {
    LogCapture logs;
    const SourceQuad cells = {11 / 66.0f, 4 / 66.0f, 2 / 66.0f, 2 / 66.0f, {1.0f, 0.9f, 0.2f, 0.0f}, true};
    const SourceQuad between = {0.1234f, 0.377f, 0.0521f, 0.0333f, {100.0f, 0.1f, 0.7f, 0.4f}, true};
    const SourceQuad drawnOver = {0.1434f, 0.377f, 0.0521f, 0.0333f, {0.0f, 0.5f, 0.5f, 1.0f}, false};
    for (const std::vector<SourceQuad>& quads : std::vector<std::vector<SourceQuad>>{
             {cells}, {between, drawnOver}, {drawnOver, between}, {cells, drawnOver, between}}) {
        EXPECT_EQ(stateAfterAStep(quads, false), stateAfterAStep(quads, true)) << quads.size();
    }
}

} // namespace
