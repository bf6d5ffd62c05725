#include <GL/glew.h>

#include "resources/material.h"
#include "scene/basin.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

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

} // namespace
