#include "fluid/fluidsolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

TEST(FluidSolver, ToHalf_RoundsToNearestEvenAndOverflowsToInfinity) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float value, half;
    } cases[] = {
        {1.0f / 3.0f, 0.333251953125f},
        {-1.0f / 3.0f, -0.333251953125f},
        {1.0f + 1.0f / 2048.0f, 1.0f},                  // a tie goes to the even neighbour
        {1.0f + 3.0f / 2048.0f, 1.0f + 2.0f / 1024.0f}, // and up when that one is even
        {65504.0f, 65504.0f},
        {65519.0f, 65504.0f},
        {65520.0f, inf},
        {std::ldexp(1.0f, -25), 0.0f},                  // half the smallest step, a tie to 0
        {std::ldexp(3.0f, -25), std::ldexp(1.0f, -23)}, // below 2^-14 the step stays 2^-24
        {std::ldexp(1.0f, -14) - std::ldexp(1.0f, -26), std::ldexp(1.0f, -14)},
        {inf, inf},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FluidSolver::toHalf(c.value), c.half) << c.value;
    }
    EXPECT_TRUE(std::isnan(FluidSolver::toHalf(std::nanf(""))));
}

// Passes round with the processor's conversion where it has one; it must
// agree with the integer rounding over signs, exponents and fractions.
TEST(FluidSolver, ToHalf_PassRoundingAgreesWithTheIntegerRounding) {
    constexpr uint32_t kStride = 0x12345; // odd: every fraction pattern class is met
    std::vector<float> values;
    for (uint64_t bits = 0; bits <= 0xffffffffu; bits += kStride) {
        const uint32_t pattern = static_cast<uint32_t>(bits);
        std::memcpy(&values.emplace_back(), &pattern, sizeof pattern);
    }
    values.resize(values.size() / 4 * 4);
    std::vector<FluidSolver::Cell> cells(values.size() / 4);
    std::memcpy(cells.data(), values.data(), values.size() * sizeof(float));
    FluidSolver::toHalf(cells.data(), cells.size());
    for (size_t k = 0; k < values.size(); ++k) {
        const float pass = cells[k / 4].v[k % 4], integer = FluidSolver::toHalf(values[k]);
        ASSERT_TRUE(std::isnan(integer) ? std::isnan(pass) : pass == integer) << values[k] << ": " << pass;
    }
}

// Sources are clamped to 0...1 as they are taken in; green and blue become
// velocities in -1...1.
TEST(FluidSolver, TakeSources_ClampsEachColourToTheUnitRange) {
    constexpr int kN = 4;
    constexpr int kCells = (kN + 2) * (kN + 2);
    std::vector<float> colours(kCells * 4, 0.5f);
    const float strong[4] = {100.0f, 100.0f, -100.0f, std::nanf("")};
    std::copy(strong, strong + 4, colours.begin() + 4 * (2 * (kN + 2) + 2));
    FluidSolver solver(kN, kN);
    solver.takeSources(colours.data());
    std::vector<float> sources(kCells * 4);
    solver.readGrid(FluidSolver::kSources, sources.data());
    const float* cell = &sources[4 * (2 * (kN + 2) + 2)];
    EXPECT_EQ(std::vector<float>(cell, cell + 4), (std::vector<float>{1.0f, 1.0f, -1.0f, 0.0f}));
    EXPECT_EQ(std::vector<float>(sources.begin(), sources.begin() + 4),
              (std::vector<float>{0.5f, 0.0f, 0.0f, 0.5f}));
}

// The overlay skips its quad over the board while the picture is black, so
// black must mean still water and nothing else.
TEST(FluidSolver, Picture_BlackOnlyWhileTheWaterIsStill) {
    constexpr int kN = 8;
    std::vector<float> colours;
    for (int k = 0; k < (kN + 2) * (kN + 2); ++k) {
        colours.insert(colours.end(), {0.0f, 0.5f, 0.5f, 0.0f});
    }
    FluidSolver solver(kN, kN);
    solver.takeSources(colours.data());
    solver.step();
    EXPECT_TRUE(solver.isPictureBlack());
    colours[4 * (4 * (kN + 2) + 4)] = 1.0f;
    solver.takeSources(colours.data());
    solver.step();
    EXPECT_FALSE(solver.isPictureBlack());
}

} // namespace
