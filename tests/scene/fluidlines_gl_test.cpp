#include <GL/glew.h>

#include "base/tools.h"
#include "fluid/fluidsimulation.h"
#include "scene/fluidinput.h"
#include "scene/fluidoverlay.h"
#include "support/glcontext.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <cmath>

// From above, a cell 8 pixels wide. The picture drawn over the lines fails
// the depth test on them, so a line's pixels keep its colour: blue 0, red or
// green full; the picture's own pixels have blue.
TEST(FluidLinesGl, StirredFluid_EachMovingCellsLineLeavesItsCentre) {
    setAssetDirectory(assetDir());
    FluidSimulation fluid(64, 64);
    FluidInput input;
    for (float angle = 0.0f; angle < 6.0f; angle += 0.1f) {
        input.rightButton(false, 32 + 12 * std::cos(angle), 32 + 12 * std::sin(angle));
        input.feed(&fluid, 32 + 12 * std::cos(angle), 32 + 12 * std::sin(angle), 0.02);
    }
    glViewport(0, 0, 512, 512);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    FluidOverlay().draw(&fluid);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    setAssetDirectory("");

    const std::vector<uint8_t> rgba = GlTest::readPixels(0, 0, 512, 512);
    std::vector<float> state(64 * 64 * 4);
    fluid.readState(state.data());
    int moving = 0, missing = 0;
    for (int cell = 0; cell < 64 * 64; ++cell) {
        const vec2 offset = FluidOverlay::lineOffset(state[cell * 4 + 1], state[cell * 4 + 2]);
        if (std::hypot(offset.x, offset.y) < 0.5f) {
            continue;
        }
        bool found = false;
        for (int d = 0; d < 9; ++d) {
            const uint8_t* p = &rgba[((8 * (cell / 64) + 3 + d / 3) * 512 + 8 * (cell % 64) + 3 + d % 3) * 4];
            found = found || (p[2] == 0 && (p[0] == 255 || p[1] == 255));
        }
        ++moving;
        missing += !found;
    }
    EXPECT_GT(moving, 1000);
    EXPECT_EQ(missing, 0);
}
