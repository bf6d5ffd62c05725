#include "scene/fluidinput.h"
#include "scene/fluidoverlay.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kGrid = 64;
constexpr float kCell = 1.0f / (kGrid + 2);

TEST(FluidInput, LeftButton_PoursDyeOnTwoByTwoCellsUntilReleased) {
    FluidInput input;
    input.leftButton(false);
    std::vector<FluidSource> quads = input.collect(10.7f, 3.2f, kGrid, kGrid);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].x, 11 * kCell);
    EXPECT_FLOAT_EQ(quads[0].y, 4 * kCell);
    EXPECT_FLOAT_EQ(quads[0].width, 2 * kCell);
    EXPECT_EQ(quads[0].colour, (std::array<float, 4>{FluidInput::kStrength, 0.5f, 0.5f, 0.0f}));

    input.leftButton(true);
    EXPECT_EQ(input.collect(10.7f, 3.2f, kGrid, kGrid)[0].colour[0], 0.0f);
    EXPECT_TRUE(input.collect(-1.0f, -1.0f, kGrid, kGrid).empty());
}

TEST(FluidInput, MiddleButton_PulsesWithoutVelocityOncePerBlockEntered) {
    FluidInput input;
    input.collect(20.0f, 20.0f, kGrid, kGrid);
    input.middleButton(false);
    const std::vector<FluidSource> first = input.collect(21.5f, 20.0f, kGrid, kGrid);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].colour, (std::array<float, 4>{0.0f, 0.5f, 0.5f, 1.0f}));
    EXPECT_FLOAT_EQ(first[0].x, 21 * kCell); // the block of cells 20 and 21

    input.middleButton(false); // held: no new pulse
    EXPECT_TRUE(input.collect(20.2f, 21.9f, kGrid, kGrid).empty());
    EXPECT_EQ(input.collect(22.0f, 21.9f, kGrid, kGrid).size(), 1u); // next block
    input.middleButton(true);
    EXPECT_EQ(input.collect(22.0f, 21.9f, kGrid, kGrid)[0].colour[3], 0.0f);
}

TEST(FluidInput, RightButton_StirsAlongTheLastMoveOfThePointer) {
    const struct {
        float lastX, hoverX, hoverY;
        bool released;
        float stirX, stirY;
    } cases[] = {{10, 13, 14, false, 0.6f, 0.8f},
                 {10, 10, 10, false, 0, 0},
                 {10, 13, 14, true, 0, 0},
                 {-1, 13, 14, false, 0, 0}};
    for (const auto& c : cases) {
        FluidInput input;
        input.collect(c.lastX, 10.0f, kGrid, kGrid);
        input.rightButton(c.released, c.hoverX, c.hoverY);
        EXPECT_FLOAT_EQ(input.getStirX(), c.stirX);
        EXPECT_FLOAT_EQ(input.getStirY(), c.stirY);
        const std::vector<FluidSource> quads = input.collect(c.hoverX, c.hoverY, kGrid, kGrid);
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_FLOAT_EQ(quads[0].colour[1], (c.stirX + 1.0f) / 2.0f);
    }
}

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
