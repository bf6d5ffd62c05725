#include <GL/glew.h>

#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "support/assettest.h"
#include "support/glcontext.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

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
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

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
    ImageTexture2D texture = ImageTexture2D::fromFile("fog.png");
    EXPECT_EQ(dynamic_cast<const Texture2D::Texture2DData&>(texture.getData()).width, 4);
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
    EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { second.bind(); }),
              "function for the type of at least one stored parameter is NULL.");
    EXPECT_EQ(parameterOf(second.getId(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
}

TEST_F(TextureGlTest, UploadWithoutMipmaps_OneLevelAndALinearMinFilter) {
    Image2D image("fog.png");
    ImageTexture2D texture(image, false, true);
    EXPECT_EQ(texture.getData().levelCount, 1);
    texture.bind();
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_MIN_FILTER), GL_LINEAR);
}

} // namespace
