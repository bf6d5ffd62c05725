#include <GL/glew.h>

#include "base/tools.h"
#include "fluid/fluidsimulation.h"
#include "scene/fluidinput.h"
#include "scene/fluidoverlay.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kGrid = 64;

// The program files and the fog texture come from the generated assets.
class FluidGlScene : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        setAssetDirectory(assetDir());
    }
    void TearDown() override { setAssetDirectory(""); }
};

TEST_F(FluidGlScene, HoldingTheLeftButton_DensityStaysFiniteAndGrowsAtMostOneAFrame) {
    FluidSimulation fluid(kGrid, kGrid);
    ASSERT_TRUE(fluid.isAvailable());
    FluidInput input;
    std::vector<float> state(kGrid * kGrid * 4);
    constexpr int kFrames = 2000;
    constexpr int kCheckEvery = 250;
    for (int frame = 1; frame <= kFrames; ++frame) {
        input.leftButton(false);
        input.feed(&fluid, 32.5f, 32.5f, 0.02);
        if (frame % kCheckEvery != 0) {
            continue;
        }
        fluid.readState(state.data());
        const bool finite = std::all_of(state.begin(), state.end(), [](float v) { return std::isfinite(v); });
        ASSERT_TRUE(finite) << "frame " << frame;
        float densest = 0.0f;
        for (size_t i = 0; i < state.size(); i += 4) {
            densest = std::max(densest, state[i]);
        }
        ASSERT_LE(densest, frame + 1e-3f) << "frame " << frame;
    }
}

TEST_F(FluidGlScene, OverlayWithoutAWorkingSimulation_ShowsTheFogAndNoLines) {
    // A grid too wide for any buffer leaves the simulation without its fields.
    GLint limit = 0;
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &limit);
    LogCapture logs;
    testing::internal::CaptureStderr();
    FluidSimulation broken(limit, 4);
    testing::internal::GetCapturedStderr();
    ASSERT_FALSE(broken.isAvailable());
    FluidOverlay overlay;
    overlay.load();

    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(GlTest::kWidth) / GlTest::kHeight, 1.0, 3000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(32, 32, 60, 32, 32, 0, 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    overlay.draw(&broken);
    overlay.release();

    const std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
    size_t red = 0;
    size_t lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        red += pixels[i] > 200 && pixels[i + 1] < 60 && pixels[i + 2] < 60;
        lit += pixels[i] + pixels[i + 1] + pixels[i + 2] > 0;
    }
    EXPECT_EQ(red, 0u);
    EXPECT_GT(lit, pixels.size() / 8); // the fog covers the board
}

} // namespace
