#include <GL/glew.h>

#include "scene/fluidoverlay.h"
#include "support/assettest.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

// Without a simulation and without the fog picture the overlay has nothing
// to show: the board under it stays as it was, not turned white by an
// untextured square blended by its own colour.
TEST(FluidOverlayGl, NeitherSimulationNorFogPicture_LeavesTheBoardAsItWas) {
    GlTest::ensureContext();
    TempAssets empty;
    LogCapture log;
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
    overlay.draw(nullptr);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    const std::vector<uint8_t> middle = GlTest::readPixels(GlTest::kWidth / 2, GlTest::kHeight / 2, 1, 1);
    EXPECT_NEAR(middle[0], 51, 1);
    EXPECT_NEAR(middle[1], 77, 1);
    EXPECT_NEAR(middle[2], 102, 1);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
