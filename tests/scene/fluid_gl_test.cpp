#include <GL/glew.h>

#include "base/tools.h"
#include "fluid/fluidsimulation.h"
#include "scene/fluidinput.h"
#include "scene/fluidoverlay.h"
#include "support/assettest.h"
#include "support/glcontext.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class FluidSceneGl : public ::testing::Test {
protected:
    void TearDown() override { setAssetDirectory(""); }
};

TEST_F(FluidSceneGl, HoldingTheLeftButton_DensityStaysFiniteAndGrowsAtMostOneAFrame) {
    constexpr int kGrid = 64;
    setAssetDirectory(assetDir());
    FluidSimulation fluid(kGrid, kGrid);
    ASSERT_TRUE(fluid.isAvailable());
    FluidInput input;
    std::vector<float> state(kGrid * kGrid * 4);
    for (int frame = 1; frame <= 2000; ++frame) {
        input.leftButton(false);
        input.feed(&fluid, 32.5f, 32.5f, 0.02);
        if (frame % 250 == 0) {
            fluid.readState(state.data());
            ASSERT_TRUE(std::all_of(state.begin(), state.end(), [](float v) { return std::isfinite(v); }));
            float densest = 0.0f;
            for (size_t i = 0; i < state.size(); i += 4) {
                densest = std::max(densest, state[i]);
            }
            ASSERT_LE(densest, frame + 1e-3f) << "frame " << frame;
        }
    }
}

// A simulation that failed has no velocities to draw as lines (its state reads
// as ones: fast red lines everywhere); the fog stands in for its picture. With
// neither, the board stays as it was, not turned white by an untextured
// square blended by its own colour.
TEST_F(FluidSceneGl, OverlayWithoutAWorkingSimulation_ShowsTheFogIfAnyAndNoLines) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &limit);
    for (const bool withFog : {true, false}) {
        SCOPED_TRACE(withFog ? "with the fog picture" : "without");
        TempAssets empty;
        setAssetDirectory(withFog ? assetDir() : empty.path());
        LogCapture logs;
        testing::internal::CaptureStderr();
        FluidSimulation broken(limit, 4); // too wide for any buffer
        testing::internal::GetCapturedStderr();
        ASSERT_FALSE(broken.isAvailable());
        FluidOverlay overlay;
        overlay.load();
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-10, 74, -10, 74, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        overlay.draw(&broken);
        overlay.release();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

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

} // namespace
