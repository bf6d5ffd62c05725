#include <GL/glew.h>

#include "core/material.h"
#include "resources/image.h"
#include "resources/texture.h"
#include "support/glcontext.h"
#include "support/pngfiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

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
        Material::resetLastApplied();
        PngFiles::Picture picture = PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB);
        for (size_t i = 0; i < picture.rows.size(); i += 3) {
            picture.rows[i] = 40;
            picture.rows[i + 1] = 160;
            picture.rows[i + 2] = 220;
        }
        PngFiles::write(dir.file("swatch.png"), picture);
        PngFiles::write(dir.file("other.png"), PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB));
    }
    void TearDown() override {
        glActiveTexture(GL_TEXTURE0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    PngFiles::TempDir dir;
};

// State set on apply ----------------------------------------------------------------------

TEST_F(MaterialGlTest, Apply_SetsCapabilitiesBlendFunctionAndLightingColours) {
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    Material material = overlay();
    material.setDiffuse(0.5f, 0.25f, 0.125f, 1.0f);
    material.setShininess(32.0f);
    material.apply();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(integerOf(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integerOf(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    GLfloat diffuse[4] = {};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[1], 0.25f);
    GLfloat shininess = 0.0f;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 32.0f);
}

TEST_F(MaterialGlTest, EnabledDepthTestAndCulling_GetLessAndBack) {
    glDepthFunc(GL_ALWAYS);
    glCullFace(GL_FRONT);
    Material material;
    material.enable(GL_DEPTH_TEST);
    material.enable(GL_CULL_FACE);
    material.apply();
    EXPECT_EQ(integerOf(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(integerOf(GL_CULL_FACE_MODE), GL_BACK);
    glDisable(GL_CULL_FACE);
}

TEST_F(MaterialGlTest, BlendEnabledThenDisabled_LeavesBlendingOffAndItsFunctionAlone) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE);
    Material material;
    material.enable(GL_BLEND);
    material.disable(GL_BLEND);
    material.setBlendFunc(GL_ONE, GL_ONE);
    material.apply();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integerOf(GL_BLEND_SRC), GL_ZERO);
}

// Skipping a repeated apply ---------------------------------------------------------------

TEST_F(MaterialGlTest, SecondApply_IsSkipped) {
    Material material = overlay();
    material.apply();
    glDisable(GL_BLEND);
    material.apply();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(MaterialGlTest, AfterReset_ApplySendsTheStateAgain) {
    Material material = overlay();
    material.apply();
    glDisable(GL_BLEND);
    Material::resetLastApplied();
    material.apply();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(MaterialGlTest, ChangedAfterApply_NextApplySendsTheChange) {
    Material material = overlay();
    material.apply();
    material.setBlendFunc(GL_ONE, GL_ONE);
    material.apply();
    EXPECT_EQ(integerOf(GL_BLEND_SRC), GL_ONE);
}

TEST_F(MaterialGlTest, NewMaterialWhereAnAppliedOneDied_IsApplied) {
    std::optional<Material> slot;
    slot.emplace(overlay());
    slot->apply();
    glDisable(GL_BLEND);
    slot.reset();
    slot.emplace(overlay());
    slot->apply();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(MaterialGlTest, AnotherMaterialInBetween_IsNotSkipped) {
    Material blending = overlay();
    Material opaque;
    opaque.disable(GL_BLEND);
    blending.apply();
    opaque.apply();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    blending.apply();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

// Texture units ---------------------------------------------------------------------------

TEST_F(MaterialGlTest, EmptySlot_DisablesTexturingOnItsUnit) {
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    Material material;
    material.setTextureCount(1);
    material.apply();
    EXPECT_FALSE(enabledOnUnit(0, GL_TEXTURE_2D));
}

TEST_F(MaterialGlTest, TextureSlots_BindPerUnit_UnitsAboveTheCountUntouched) {
    glActiveTexture(GL_TEXTURE2);
    glEnable(GL_TEXTURE_2D);
    Material material;
    material.setTextureCount(2);
    Image2D first(dir.file("swatch.png"));
    Image2D second(dir.file("other.png"));
    material.setTexture(0, ImageTexture2D(first, true, true));
    material.setTexture(1, ImageTexture2D(second, true, true));
    material.apply();
    EXPECT_EQ(integerOf(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_TEXTURE_BINDING_2D)), material.getTexture(1).getId());
    EXPECT_TRUE(enabledOnUnit(1, GL_TEXTURE_2D));
    EXPECT_TRUE(enabledOnUnit(0, GL_TEXTURE_2D));
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_TEXTURE_BINDING_2D)), material.getTexture(0).getId());
    EXPECT_TRUE(enabledOnUnit(2, GL_TEXTURE_2D));
    for (unsigned unit : {0u, 1u, 2u}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_2D);
    }
}

// Drawing ---------------------------------------------------------------------------------

TEST_F(MaterialGlTest, TexturedQuad_ShowsThePictureUpright) {
    // Top row red, green; bottom row blue, white.
    PngFiles::Picture picture = PngFiles::pattern(2, 2, PNG_COLOR_TYPE_RGB);
    picture.rows = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    PngFiles::write(dir.file("quadrants.png"), picture);
    Material material = overlay();
    material.setTextureCount(1);
    ImageTexture2D texture = ImageTexture2D::fromFile(dir.file("quadrants.png"));
    texture.setParameter(GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    texture.setParameter(GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    material.setTexture(0, texture);
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    material.apply();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-0.5f, -0.5f);
    glTexCoord2f(1, 0);
    glVertex2f(0.5f, -0.5f);
    glTexCoord2f(1, 1);
    glVertex2f(0.5f, 0.5f);
    glTexCoord2f(0, 1);
    glVertex2f(-0.5f, 0.5f);
    glEnd();
    glFinish();
    const std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
    if (const char* shots = std::getenv("SPORRIK_SHOTS")) {
        GlTest::savePng(std::string(shots) + "/material_textured_quad.png", pixels, GlTest::kWidth,
                        GlTest::kHeight);
    }
    // Window coordinates from the bottom left.
    const auto colourAt = [&](int x, int y) {
        const size_t at = (static_cast<size_t>(y) * GlTest::kWidth + x) * 4;
        return std::vector<uint8_t>(pixels.begin() + at, pixels.begin() + at + 3);
    };
    EXPECT_EQ(colourAt(400, 500), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(colourAt(600, 500), (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_EQ(colourAt(400, 250), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(colourAt(600, 250), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(colourAt(10, 10), (std::vector<uint8_t>{0, 0, 0}));
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

} // namespace
