#include <GL/glew.h>

#include "fluid/fluidsimulation.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

namespace {

// A quad {x, y, width, height} in buffer coordinates and its colour, added
// through addSource or else drawn.
struct SourceQuad {
    std::array<float, 4> rect, colour;
    bool added;
};

std::vector<float> stateAfterAStep(const std::vector<SourceQuad>& quads, bool drawAll) {
    FluidSimulation fluid(64, 64, FluidSimulation::Path::Cpu);
    for (const auto& [r, colour, added] : quads) {
        if (added && !drawAll) {
            fluid.addSource(r[0], r[1], r[2], r[3], colour);
            continue;
        }
        fluid.beginSources();
        glColor4fv(colour.data());
        glRectf(r[0], r[1], r[0] + r[2], r[1] + r[3]);
        fluid.endSources();
    }
    fluid.step(0.0);
    std::vector<float> state(64 * 64 * 4);
    fluid.readState(state.data());
    return state;
}

} // namespace

// The processor's path takes added sources without drawing them: the fluid
// must come out as if each had been drawn, in the order given.
TEST(FluidSourcesGl, AddedSources_ReachTheFluidAsDrawnOnes) {
    LogCapture logs;
    const SourceQuad cells = {{11 / 66.0f, 4 / 66.0f, 2 / 66.0f, 2 / 66.0f}, {1.0f, 0.9f, 0.2f, 0.0f}, true};
    const SourceQuad between = {{0.1234f, 0.377f, 0.0521f, 0.0333f}, {100.0f, 0.1f, 0.7f, 0.4f}, true};
    const SourceQuad drawn = {{0.1434f, 0.377f, 0.0521f, 0.0333f}, {0.0f, 0.5f, 0.5f, 1.0f}, false};
    for (const auto& quads :
         std::vector<std::vector<SourceQuad>>{{between, drawn}, {cells, drawn, between}}) {
        EXPECT_EQ(stateAfterAStep(quads, false), stateAfterAStep(quads, true)) << quads.size();
    }
}
