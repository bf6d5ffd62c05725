#include <GL/glew.h>

#include "resources/material.h"
#include "scene/basin.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

constexpr std::array<float, 4> kBoard = {0.0f, 0.0f, 64.0f, 64.0f};
constexpr std::array<float, 4> kRipplesPastTheRim = {-12.0f, -3.0f, 70.0f, 80.0f};

// The basin from above with fog and no textures: the floor's shade follows
// the fog depth, and the lip shows against the green around it.
std::vector<uint8_t> drawn(Basin& basin, float fogDepth, const std::array<float, 4>& area) {
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    glClearColor(0, 1, 0, 1);
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
    glClearColor(0, 0, 0, 0);
    return GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
}

// The basin keeps what it blends between frames: drawn again after the fog
// depth or the sampled area changed, it must look as a new basin does.
TEST(BasinGl, DrawnAgainAfterAChange_LooksAsANewBasin) {
    GlTest::ensureContext();
    Basin kept;
    const std::vector<uint8_t> shallow = drawn(kept, 0.5f, kBoard);
    const std::vector<uint8_t> deep = drawn(kept, 0.1f, kBoard);
    const std::vector<uint8_t> wide = drawn(kept, 0.1f, kRipplesPastTheRim);
    EXPECT_NE(deep, shallow);
    EXPECT_NE(wide, deep);
    Basin deepNew;
    EXPECT_EQ(deep, drawn(deepNew, 0.1f, kBoard));
    Basin wideNew;
    EXPECT_EQ(wide, drawn(wideNew, 0.1f, kRipplesPastTheRim));
    EXPECT_EQ(drawn(kept, 0.5f, kBoard), shallow);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
