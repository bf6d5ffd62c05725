#include <GL/glew.h>

#include "scene/lightlist.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<float, 4> light(int i, GLenum name) {
    std::array<float, 4> value{};
    glGetLightfv(static_cast<GLenum>(GL_LIGHT0 + i), name, value.data());
    return value;
}

} // namespace

TEST(LightListGl, Apply_UsesTheFirstEightLightsAndSwitchesTheOtherSlotsOff) {
    glPushAttrib(GL_LIGHTING_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    LightList lights;
    for (int i = 0; i < 9; ++i) {
        const float f = static_cast<float>(i);
        lights.add({f, 2 * f, 3 * f}, i % 2 == 0, {0.1f * f, 0.5f, 1.0f - 0.1f * f}, 0.25f * f);
    }
    lights.apply();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int i = 0; i < LightList::kMaxLights; ++i) {
        const float f = static_cast<float>(i);
        EXPECT_TRUE(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + i))) << i;
        EXPECT_EQ(light(i, GL_POSITION), (std::array<float, 4>{f, 2 * f, 3 * f, i % 2 == 0 ? 1.0f : 0.0f}))
            << i;
        const std::array<float, 4> color{0.1f * f, 0.5f, 1.0f - 0.1f * f, 1.0f};
        EXPECT_EQ(light(i, GL_DIFFUSE), color) << i;
        EXPECT_EQ(light(i, GL_SPECULAR), color) << i;
        float attenuation = -1.0f;
        glGetLightfv(static_cast<GLenum>(GL_LIGHT0 + i), GL_QUADRATIC_ATTENUATION, &attenuation);
        EXPECT_EQ(attenuation, 0.25f * f) << i;
    }

    LightList two;
    two.add({0, 0, 1}, true, {1, 1, 1}, 0.0f);
    two.add({0, 0, -1}, true, {0, 0, 1}, 1.0f);
    two.apply();
    for (int i = 0; i < LightList::kMaxLights; ++i) {
        EXPECT_EQ(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + i)), i < 2 ? GL_TRUE : GL_FALSE) << i;
    }
    glPopAttrib();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
