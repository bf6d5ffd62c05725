#include <GL/glew.h>

#include "base/tools.h"
#include "fluid/fluidsimulation.h"
#include "resources/material.h"
#include "scene/basin.h"
#include "scene/fluidinput.h"
#include "scene/fluidoverlay.h"
#include "scene/lightlist.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// The basin from above with fog and no textures: the floor's shade follows
// the fog depth, the lip's reach the sampled area.
std::vector<uint8_t> drawn(Basin& basin, float fogDepth, const std::array<float, 4>& area) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 84, -20, 84, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    basin.draw(0.0, false, true, fogDepth, area);
    glDisable(GL_LIGHTING);
    Material::resetLastApplied();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    return GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
}

// The basin keeps what it blends between frames: drawn again after the fog
// depth or the sampled area changed, it must look as a new basin does.
TEST(BasinGl, DrawnAgainAfterAChange_LooksAsANewBasin) {
    const std::array<float, 4> board = {0, 0, 64, 64}, ripples = {-12, -3, 70, 80};
    Basin kept, deepNew, ripplesNew;
    const std::vector<uint8_t> shallow = drawn(kept, 0.5f, board);
    const std::vector<uint8_t> deep = drawn(kept, 0.1f, board);
    const std::vector<uint8_t> wide = drawn(kept, 0.1f, ripples);
    EXPECT_NE(deep, shallow);
    EXPECT_NE(wide, deep);
    EXPECT_EQ(deep, drawn(deepNew, 0.1f, board));
    EXPECT_EQ(wide, drawn(ripplesNew, 0.1f, ripples));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The scene's lights; slots an earlier scene left on are switched off.
TEST(LightListGl, Apply_SetsEachLightAndSwitchesTheOtherSlotsOff) {
    glPushAttrib(GL_LIGHTING_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int i = 0; i < LightList::kMaxLights; ++i) {
        glEnable(static_cast<GLenum>(GL_LIGHT0 + i));
    }
    LightList lights;
    lights.add({1, 2, 3}, true, {1, 0.5f, 0.25f}, 0.0f);
    lights.add({0, 0, -1}, false, {0, 0, 1}, 0.75f);
    lights.apply();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int i = 0; i < LightList::kMaxLights; ++i) {
        EXPECT_EQ(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + i)), i < 2 ? GL_TRUE : GL_FALSE) << i;
    }
    const auto light = [](GLenum slot, GLenum name) {
        std::array<float, 4> value{};
        glGetLightfv(slot, name, value.data());
        return value;
    };
    EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (std::array<float, 4>{1, 2, 3, 1}));
    EXPECT_EQ(light(GL_LIGHT1, GL_POSITION), (std::array<float, 4>{0, 0, -1, 0}));
    EXPECT_EQ(light(GL_LIGHT0, GL_DIFFUSE), (std::array<float, 4>{1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(light(GL_LIGHT1, GL_SPECULAR), (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_EQ(light(GL_LIGHT1, GL_QUADRATIC_ATTENUATION)[0], 0.75f);
    glPopAttrib();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

constexpr int kGrid = 64;

// Draws from straight above, low to high in x and y over the viewport, and
// puts the matrices back.
template <typename Draw>
void fromAbove(float low, float high, Draw draw) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(low, high, low, high, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    draw();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

// A simulation that failed has no velocities to draw as lines (its state reads
// as ones: fast red lines everywhere); the fog stands in for its picture. With
// neither, the board stays as it was, not turned white by an untextured
// square blended by its own colour.
TEST(FluidSceneGl, OverlayWithoutAWorkingSimulation_ShowsTheFogIfAnyAndNoLines) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &limit);
    for (const bool withFog : {true, false}) {
        SCOPED_TRACE(withFog ? "with the fog picture" : "without");
        setAssetDirectory(withFog ? assetDir() : "/nonexistent");
        LogCapture logs;
        testing::internal::CaptureStderr();
        FluidSimulation broken(limit, 4); // too wide for any buffer
        testing::internal::GetCapturedStderr();
        ASSERT_FALSE(broken.isAvailable());
        FluidOverlay overlay;
        overlay.load();
        setAssetDirectory("");
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        fromAbove(-10, 74, [&] { overlay.draw(&broken); });
        const std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
        size_t red = 0, asCleared = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) {
            red += pixels[i] > 200 && pixels[i + 1] < 60 && pixels[i + 2] < 60;
            asCleared += std::abs(pixels[i] - 51) <= 1 && std::abs(pixels[i + 1] - 77) <= 1 &&
                         std::abs(pixels[i + 2] - 102) <= 1;
        }
        EXPECT_EQ(red, 0u);
        if (withFog) {
            EXPECT_LT(asCleared, pixels.size() / 4 / 2); // the fog covers the board
        } else {
            EXPECT_EQ(asCleared, pixels.size() / 4);
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// From above, a cell 8 pixels wide. The picture drawn over the lines fails
// the depth test on them, so a line's pixels keep its colour: blue 0, red or
// green full; the picture's own pixels have blue.
TEST(FluidLinesGl, StirredFluid_EachMovingCellsLineLeavesItsCentre) {
    setAssetDirectory(assetDir());
    FluidSimulation fluid(kGrid, kGrid);
    setAssetDirectory("");
    FluidInput input;
    for (float angle = 0.0f; angle < 6.0f; angle += 0.1f) {
        input.rightButton(false, 32 + 12 * std::cos(angle), 32 + 12 * std::sin(angle));
        input.feed(&fluid, 32 + 12 * std::cos(angle), 32 + 12 * std::sin(angle), 0.02);
    }
    glViewport(0, 0, 512, 512);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    fromAbove(0, kGrid, [&] { FluidOverlay().draw(&fluid); });
    glDisable(GL_DEPTH_TEST);
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);

    const std::vector<uint8_t> rgba = GlTest::readPixels(0, 0, 512, 512);
    std::vector<float> state(kGrid * kGrid * 4);
    fluid.readState(state.data());
    int moving = 0, missing = 0;
    for (int cell = 0; cell < kGrid * kGrid; ++cell) {
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

} // namespace
