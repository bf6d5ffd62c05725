#include <GL/glew.h>

#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/material.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "support/assettest.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

GLint parameterOf(GLuint texture, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

class TextureGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        PngFiles::write(assets.file("fog.png"), PngFiles::pattern(256, 128, PNG_COLOR_TYPE_RGB));
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        Material::resetLastApplied();
    }
    void TearDown() override {
        glPopAttrib();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    TempAssets assets;
};

TEST_F(TextureGlTest, TwoTexturesOfOneFile_ShareTheFirstUpload) {
    Image2D firstImage("fog.png");
    Image2D secondImage("fog.png");
    ImageTexture2D first(firstImage, true, true);
    ImageTexture2D second(secondImage, false, true);
    ASSERT_NE(first.getId(), 0u);
    EXPECT_EQ(first.getId(), second.getId());
    EXPECT_EQ(&first.getFlags(), &second.getFlags());
    EXPECT_EQ(ResourceManager::instance().getEntryCount("class ImageTexture2D"), 1u);
    // The first upload has the mipmap chain down to 1 x 1 at level 8.
    const auto& data = dynamic_cast<const Texture2D::Texture2DData&>(second.getData());
    EXPECT_EQ(data.levelCount, 8);
    EXPECT_EQ(data.width, 256);
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, second.getId());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 8, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    // Only the OpenGL copy of the pixels stays.
    EXPECT_THROW(firstImage.getFlags(), IllegalStateException);
    EXPECT_THROW(secondImage.getFlags(), IllegalStateException);
}

TEST_F(TextureGlTest, AfterTheLastHandle_ANewTextureDecodesTheFileAgain) {
    GLuint oldName = 0;
    {
        ImageTexture2D texture = ImageTexture2D::fromFile("fog.png");
        oldName = texture.getId();
    }
    EXPECT_FALSE(glIsTexture(oldName));
    EXPECT_EQ(ResourceManager::instance().getEntryCount("class ImageTexture2D"), 0u);
    PngFiles::write(assets.file("fog.png"), PngFiles::pattern(4, 2, PNG_COLOR_TYPE_RGB));
    Image2D image("fog.png");
    ImageTexture2D texture(image, false, true);
    EXPECT_EQ(dynamic_cast<const Texture2D::Texture2DData&>(texture.getData()).width, 4);
    // Without mipmaps: one level and a linear minifying filter.
    EXPECT_EQ(texture.getData().levelCount, 1);
    texture.bind();
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_MIN_FILTER), GL_LINEAR);
}

TEST_F(TextureGlTest, Bind_SendsTheParametersOfTheSharedFlags) {
    Image2D image("fog.png");
    ImageTexture2D first(image, true, true);
    ImageTexture2D second(image, true, true);
    first.bind();
    // Set on one handle, changed behind the texture's back: the next bind of
    // another handle sends everything again.
    first.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP);
    first.getFlags().parameters.insert_or_assign(
        GL_TEXTURE_BORDER_COLOR, TextureParameter(std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    second.bind();
    EXPECT_EQ(parameterOf(second.getId(), GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(parameterOf(second.getId(), GL_TEXTURE_WRAP_T), GL_REPEAT);
    GLfloat border[4] = {};
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    EXPECT_FLOAT_EQ(border[2], 0.75f);
    // A kind without an OpenGL function fails after the parameters before it.
    second.setParameter(GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    second.getFlags().parameters.insert_or_assign(GL_TEXTURE_WRAP_S, TextureParameter(2.0));
    EXPECT_THROW(second.bind(), IllegalArgumentException);
    EXPECT_EQ(parameterOf(second.getId(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
}

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

using MaterialGlTest = TextureGlTest;

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
    GLfloat diffuseAndShininess[5] = {};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuseAndShininess);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, diffuseAndShininess + 4);
    EXPECT_TRUE(diffuseAndShininess[1] == 0.25f && diffuseAndShininess[4] == 32.0f);
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
    for (const unsigned unit : {0u, 2u}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glEnable(GL_TEXTURE_2D);
    }
    Material material;
    material.setTextureCount(2);
    material.setTexture(1, ImageTexture2D::fromFile("fog.png"));
    material.apply();
    EXPECT_EQ(integerOf(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_TEXTURE_BINDING_2D)), material.getTexture(1).getId());
    EXPECT_TRUE(enabledOnUnit(1, GL_TEXTURE_2D));
    EXPECT_FALSE(enabledOnUnit(0, GL_TEXTURE_2D));
    EXPECT_TRUE(enabledOnUnit(2, GL_TEXTURE_2D));
}

} // namespace
