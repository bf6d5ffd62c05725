#include "scene/fluidoverlay.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(FluidOverlay, CellColour_GreenOverYellowToRedWithSpeed) {
    const struct {
        float g, b;
        std::array<float, 4> colour;
    } cases[] = {{0.0f, 0.0f, {0, 1, 0, 1}},       {0.125f, 0.0f, {0.5f, 1, 0, 1}},
                 {0.0f, -0.375f, {1, 0.5f, 0, 1}}, {0.3f, 0.4f, {1, 0, 0, 1}},
                 {4.0f, 0.0f, {1, 0, 0, 1}},       {NAN, 0.0f, {1, 0, 0, 1}}};
    for (const auto& c : cases) {
        const std::array<float, 4> colour = FluidOverlay::cellColour(c.g, c.b);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(colour[k], c.colour[k], 1e-6f) << c.g << ", " << c.b;
        }
    }
}

TEST(FluidOverlay, LineOffset_AlongTheVelocityCappedWithoutDividingByZero) {
    const struct {
        float g, b, x, y;
    } cases[] = {{0, 0, 0, 0}, {0.1f, -0.05f, 6, -3}, {3, 4, 18, 24}, {INFINITY, 0, 0, 0}, {NAN, 1, 0, 0}};
    for (const auto& c : cases) {
        const vec2 offset = FluidOverlay::lineOffset(c.g, c.b);
        EXPECT_NEAR(offset.x, c.x, 1e-4f) << c.g << ", " << c.b;
        EXPECT_NEAR(offset.y, c.y, 1e-4f) << c.g << ", " << c.b;
    }
}

} // namespace
