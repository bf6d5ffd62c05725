#include "scene/fluidinput.h"
#include "scene/fluidoverlay.h"
#include "scene/particlesystem.h"
#include "scene/sceneoptions.h"
#include "scene/watersurface.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// The world point of grid vertex (i, j) of the default surface.
float at(int i) {
    return i / 50.0f * 64.0f;
}

TEST(WaterSurface, HeightAt_FlatWithoutDrops_OuterRowsAndOutsideZeroEvenAfterDropsAtTheEdge) {
    WaterSurface water;
    water.update(5.0);
    for (int i = 0; i <= 50; i += 7) {
        EXPECT_EQ(water.heightAt(at(i), at(50 - i)), 0.0f); // no drop, no wave: the figures stand at 0
    }
    EXPECT_EQ(water.sampledArea(), (std::array<float, 4>{0.0f, 0.0f, 64.0f, 64.0f}));
    // Drops reaching the border must not leave a hill there for ever.
    for (const float edge : {0.0f, 64.0f}) {
        water.drop(edge, 32.0f);
        water.drop(32.0f, edge);
    }
    water.update(0.25);
    const float points[][2] = {{0, 32}, {64, 32}, {32, 0}, {32, 64}, {-10, 32}, {32, 90}, {NAN, 1}};
    for (const auto& p : points) {
        EXPECT_EQ(water.heightAt(p[0], p[1]), 0.0f) << p[0] << ", " << p[1];
    }
    EXPECT_NE(water.heightAt(at(1), 32.0f), 0.0f);
    // The slopes bend the pictures' coordinates past every edge; the passes
    // must draw there too.
    const std::array<float, 4> area = water.sampledArea();
    EXPECT_LT(area[0], 0.0f);
    EXPECT_LT(area[1], 0.0f);
    EXPECT_GT(area[2], 64.0f);
    EXPECT_GT(area[3], 64.0f);
}

TEST(WaterSurface, Update_RunsWholeStepsAndKeepsTheRest) {
    WaterSurface water;
    water.update(0.35);
    EXPECT_EQ(water.getCurrent(), 1); // three steps from frame 0
    EXPECT_NEAR(water.getStepTime(), 0.05, 1e-9);
    for (const double bad : {-1.0, double(NAN), double(INFINITY)}) {
        water.update(bad);
        EXPECT_NEAR(water.getStepTime(), 0.05, 1e-9);
    }
}

TEST(WaterSurface, BlendValue_FollowsElevationOrManualWithinZeroToOne) {
    const struct {
        bool automatic;
        float elevation, manual, expected;
    } cases[] = {{true, 0.5f, 0.1f, 0.525f}, {true, 1.5f, 0.1f, 0.975f}, {true, 2.0f, 0.1f, 1.0f},
                 {false, 0.5f, 0.3f, 0.3f},  {false, 0.5f, -2.0f, 0.0f}, {false, 0.5f, 1.7f, 1.0f}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(WaterSurface::blendValue(c.automatic, c.elevation, c.manual), c.expected);
    }
}

TEST(WaterSurface, ProjectionToPicture_MapsWhatTheCameraSeesOntoZeroToOne) {
    std::array<float, 16> view = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1}; // eye 10 above
    const float aspect = 2.0f;
    const float edge = 10.0f * std::tan(3.14159265f / 6.0f) * aspect; // right border of the view
    for (const bool mirrored : {false, true}) {
        const std::array<float, 16> m = WaterSurface::projectionToPicture(view, aspect, mirrored);
        auto picture = [&m](float x, float y) {
            const float s = m[0] * x + m[4] * y + m[12];
            const float t = m[1] * x + m[5] * y + m[13];
            const float q = m[3] * x + m[7] * y + m[15];
            return std::array<float, 2>{s / q, t / q};
        };
        EXPECT_NEAR(picture(0, 0)[0], 0.5f, 1e-5f);
        EXPECT_NEAR(picture(0, 0)[1], 0.5f, 1e-5f);
        EXPECT_NEAR(picture(edge, 0)[0], 1.0f, 1e-5f);
        EXPECT_NEAR(picture(0, -edge / aspect)[1], 0.0f, 1e-5f);
    }
}

constexpr int kRandomMax = 32767;

// Answers the given values in turn, over and over.
ParticleSystem::RandomSource sequence(std::vector<int> values) {
    return [values, next = size_t{0}]() mutable {
        return values[next++ % values.size()];
    };
}

// Angle, rise: short hops (rise 1) alternate with high ones (rise 3). Each
// droplet goes when it lands, the others fly on; slow motion makes each
// flight ten times as long.
TEST(ParticleSystem, EachDropletGoesWhenItLands_EvenInSlowMotion) {
    for (const bool slowMotion : {false, true}) {
        SCOPED_TRACE(slowMotion ? "slow motion" : "normal");
        ParticleSystem particles(sequence({0, 0, 0, kRandomMax}));
        particles.emit({0, 0, 0}, {}, 6);
        SceneOptions options;
        options.slowMotion = slowMotion;
        std::vector<std::pair<double, size_t>> landings; // seconds, droplets left
        for (double seconds = 0.001; !particles.getParticles().empty() && seconds < 100.0; seconds += 0.001) {
            const size_t before = particles.getParticles().size();
            particles.update(options.sceneTime(0.001));
            if (particles.getParticles().size() != before) {
                landings.emplace_back(seconds, particles.getParticles().size());
            }
        }
        const double scale = slowMotion ? 10.0 : 1.0;
        ASSERT_EQ(landings.size(), 2u);
        EXPECT_NEAR(landings[0].first, 0.2 * scale, 0.004 * scale);
        EXPECT_EQ(landings[0].second, 3u);
        EXPECT_NEAR(landings[1].first, 0.6 * scale, 0.012 * scale);
    }
}

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
