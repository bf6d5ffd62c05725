#include <GL/glew.h>

#include "resources/material.h"
#include "resources/texture.h"
#include "support/assettest.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

GLint integerOf(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

bool enabledOnUnit(unsigned unit, GLenum cap) {
    glActiveTexture(GL_TEXTURE0 + unit);
    return glIsEnabled(cap) == GL_TRUE;
}

// An overlay material as controls and fonts set it up.
Material overlay() {
    Material material;
    material.enable(GL_BLEND);
    material.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    material.disable(GL_DEPTH_TEST);
    material.disable(GL_LIGHTING);
    return material;
}

class MaterialGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        Material::resetLastApplied();
    }
    void TearDown() override {
        glPopAttrib();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

// Blending switched on and off again stays off, its function untouched.
TEST_F(MaterialGlTest, Apply_SetsCapabilitiesTheirParametersAndTheLightingColours) {
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    Material material = overlay();
    material.setDiffuse(0.5f, 0.25f, 0.125f, 1.0f);
    material.setShininess(32.0f);
    material.apply();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(integerOf(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    GLfloat diffuse[4] = {};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[1], 0.25f);
    GLfloat shininess = 0.0f;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 32.0f);
    Material toggled;
    toggled.enable(GL_BLEND);
    toggled.disable(GL_BLEND);
    toggled.setBlendFunc(GL_ONE, GL_ONE);
    toggled.apply();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integerOf(GL_BLEND_SRC), GL_SRC_ALPHA);
}

TEST_F(MaterialGlTest, SecondApply_IsSkippedUnlessSomethingCameInBetween) {
    std::optional<Material> material(overlay());
    Material other;
    // Whether the second apply() turns blending on again.
    const auto reapplies = [&](const std::function<void()>& between) {
        material->apply();
        glDisable(GL_BLEND);
        between();
        material->apply();
        return glIsEnabled(GL_BLEND) == GL_TRUE;
    };
    EXPECT_FALSE(reapplies([] {}));
    EXPECT_TRUE(reapplies([] { Material::resetLastApplied(); }));
    EXPECT_TRUE(reapplies([&] { material->setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }));
    EXPECT_TRUE(reapplies([&] { other.apply(); }));
    // A new material built where the applied one died.
    EXPECT_TRUE(reapplies([&] { material.emplace(overlay()); }));
}

TEST_F(MaterialGlTest, TextureSlots_BindPerUnit_EmptySlotsDisableTexturing_UnitsAboveUntouched) {
    TempAssets assets;
    PngFiles::write(assets.file("swatch.png"), PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB));
    for (const unsigned unit : {0u, 2u}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glEnable(GL_TEXTURE_2D);
    }
    Material material;
    material.setTextureCount(2);
    material.setTexture(1, ImageTexture2D::fromFile("swatch.png"));
    material.apply();
    EXPECT_EQ(integerOf(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_TEXTURE_BINDING_2D)), material.getTexture(1).getId());
    EXPECT_TRUE(enabledOnUnit(1, GL_TEXTURE_2D));
    EXPECT_FALSE(enabledOnUnit(0, GL_TEXTURE_2D));
    EXPECT_TRUE(enabledOnUnit(2, GL_TEXTURE_2D));
}

} // namespace
