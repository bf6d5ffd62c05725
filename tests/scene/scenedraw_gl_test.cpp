#include <GL/glew.h>

#include "resources/material.h"
#include "scene/basin.h"
#include "scene/lightlist.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <array>
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

} // namespace
