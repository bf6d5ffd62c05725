#include "fluid/fluidsimulation.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Quad = FluidSimulation::PassQuad;

void expectCorner(const Quad& quad, int corner, float tx, float ty, float vx, float vy) {
    EXPECT_FLOAT_EQ(quad.texel[corner][0], tx) << "corner " << corner;
    EXPECT_FLOAT_EQ(quad.texel[corner][1], ty) << "corner " << corner;
    EXPECT_FLOAT_EQ(quad.vertex[corner][0], vx) << "corner " << corner;
    EXPECT_FLOAT_EQ(quad.vertex[corner][1], vy) << "corner " << corner;
}

// Pass geometry ---------------------------------------------------------------

TEST(PassQuad, InteriorOfEqualSizes_CoversInteriorCellsOneToOne) {
    const Quad quad = FluidSimulation::passQuad(66, 66, 66, 66, 1, 64, 64);
    const float s = 1.0f / 66.0f;
    expectCorner(quad, 0, 1, 1, s, s);
    expectCorner(quad, 1, 1, 65, s, 65 * s);
    expectCorner(quad, 2, 65, 65, 65 * s, 65 * s);
    expectCorner(quad, 3, 65, 1, 65 * s, s);
}

TEST(PassQuad, WholeBuffer_CoversRingAndUnitSquare) {
    const Quad quad = FluidSimulation::passQuad(66, 66, 66, 66, 0, 64, 64);
    expectCorner(quad, 0, 0, 0, 0, 0);
    expectCorner(quad, 1, 0, 66, 0, 1);
    expectCorner(quad, 2, 66, 66, 1, 1);
    expectCorner(quad, 3, 66, 0, 1, 0);
}

TEST(PassQuad, NonSquareGrid_UsesEachAxisOwnCellSize) {
    const Quad quad = FluidSimulation::passQuad(34, 18, 34, 18, 1, 32, 16);
    expectCorner(quad, 2, 33, 17, 33.0f / 34.0f, 17.0f / 18.0f);
}

TEST(PassQuad, SourceThreeTimesLarger_ShiftsByOneTexel) {
    // (192 / 64 - 1) / 2 = 1 on both axes.
    const Quad quad = FluidSimulation::passQuad(66, 66, 194, 194, 1, 64, 64);
    expectCorner(quad, 0, 0, 0, 1.0f / 66, 1.0f / 66);
    expectCorner(quad, 2, 192, 192, 65.0f / 66, 65.0f / 66);
}

TEST(PassQuad, HalvingTruncates_TwiceLargerOrSmallerSourceHasNoShift) {
    const Quad larger = FluidSimulation::passQuad(66, 66, 130, 66, 1, 64, 64);
    expectCorner(larger, 0, 1, 1, 1.0f / 66, 1.0f / 66);
    expectCorner(larger, 2, 129, 65, 65.0f / 66, 65.0f / 66);
    const Quad smaller = FluidSimulation::passQuad(66, 66, 34, 34, 1, 64, 64);
    expectCorner(smaller, 2, 33, 33, 65.0f / 66, 65.0f / 66);
}

TEST(PassQuad, TargetWithoutInterior_DoesNotDivideByZero) {
    const Quad quad = FluidSimulation::passQuad(2, 2, 66, 66, 1, 0, 0);
    expectCorner(quad, 0, 1, 1, 0.5f, 0.5f);
    expectCorner(quad, 2, 65, 65, 0.5f, 0.5f);
}

// Without a window ------------------------------------------------------------

TEST(FluidSimulationWithoutWindow, ReportsUnsupportedAndDoesNothing) {
    LogCapture logs;
    FluidSimulation simulation(64, 64);
    EXPECT_FALSE(simulation.isAvailable());
    ASSERT_EQ(logs.lines().size(), 1u);
    EXPECT_EQ(logs.lines()[0], "ERROR   from global          :Fragment programming extensions "
                               "(GL_NV_fragment_program) not supported\n");
    std::vector<float> state(64 * 64 * 4, 1.0f);
    simulation.beginSources();
    simulation.endSources();
    simulation.step(0.1);
    simulation.readState(state.data());
    simulation.bindResult();
    simulation.releaseResult();
    EXPECT_EQ(state, std::vector<float>(64 * 64 * 4, 1.0f));
    EXPECT_EQ(logs.lines().size(), 1u);
}

} // namespace
