#include <GL/glew.h>

#include "core/exceptions.h"
#include "core/system.h"
#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "resources/texturemanager.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A picture of one colour.
PngFiles::Picture plain(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    PngFiles::Picture picture = PngFiles::pattern(width, height, PNG_COLOR_TYPE_RGB);
    for (size_t i = 0; i < picture.rows.size(); i += 3) {
        picture.rows[i] = r;
        picture.rows[i + 1] = g;
        picture.rows[i + 2] = b;
    }
    return picture;
}

GLint parameterOf(GLuint texture, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// The first texel of level 0 of a texture.
std::vector<uint8_t> firstTexel(GLuint texture, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return std::vector<uint8_t>(texels.begin(), texels.begin() + 4);
}

class TextureGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        const std::string argument = "path=" + dir.path();
        const char* arguments[] = {"sporrik_gl_tests", argument.c_str()};
        System::instance()->setArguments(2, arguments);
        PngFiles::write(dir.file("fog.png"), PngFiles::pattern(256, 128, PNG_COLOR_TYPE_RGB));
    }
    void TearDown() override {
        const char* arguments[] = {"sporrik_gl_tests"};
        System::instance()->setArguments(1, arguments);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    PngFiles::TempDir dir;
};

// Sharing -----------------------------------------------------------------------------

TEST_F(TextureGlTest, TwoTexturesOfOneFile_ShareOneOpenGlTexture) {
    Image2D firstImage("fog.png");
    Image2D secondImage("fog.png");
    ImageTexture2D first(firstImage, true, true);
    ImageTexture2D second(secondImage, false, true);
    ASSERT_NE(first.getId(), 0u);
    EXPECT_EQ(first.getId(), second.getId());
    EXPECT_EQ(&first.getData(), &second.getData());
    EXPECT_EQ(&first.getFlags(), &second.getFlags());
    EXPECT_EQ(ResourceManager::instance().getEntryCount("class ImageTexture2D"), 1u);
    // The first request's upload is kept: it has the mipmap chain.
    EXPECT_EQ(first.getData().levelCount, 8);
}

TEST_F(TextureGlTest, Upload_FreesTheDecodedPixels) {
    Image2D image("fog.png");
    ImageTexture2D texture(image, true, true);
    EXPECT_THROW(image.getFlags(), IllegalStateException);
    EXPECT_EQ(texture.toString(), "class Image2D: file=fog.png, unloaded (Data shared 3, no Flags)");
}

TEST_F(TextureGlTest, AfterTheLastHandle_NewTextureDecodesTheFileAgain) {
    PngFiles::write(dir.file("swatch.png"), plain(4, 4, 200, 10, 10));
    GLuint oldName = 0;
    {
        ImageTexture2D texture = ImageTexture2D::fromFile("swatch.png");
        oldName = texture.getId();
        EXPECT_EQ(firstTexel(oldName, 4, 4), (std::vector<uint8_t>{200, 10, 10, 255}));
    }
    EXPECT_FALSE(glIsTexture(oldName));
    EXPECT_EQ(ResourceManager::instance().getEntryCount("class ImageTexture2D"), 0u);
    PngFiles::write(dir.file("swatch.png"), plain(4, 4, 10, 10, 200));
    ImageTexture2D texture = ImageTexture2D::fromFile("swatch.png");
    ASSERT_NE(texture.getId(), 0u);
    EXPECT_EQ(firstTexel(texture.getId(), 4, 4), (std::vector<uint8_t>{10, 10, 200, 255}));
}

// Upload --------------------------------------------------------------------------------

TEST_F(TextureGlTest, MipmapUpload_256x128_RecordsEightLevelsAndBuildsTheChain) {
    Image2D image("fog.png");
    ImageTexture2D texture(image, true, true);
    const Texture2D::Texture2DData& data = dynamic_cast<const Texture2D::Texture2DData&>(texture.getData());
    EXPECT_EQ(data.levelCount, 8);
    EXPECT_EQ(data.width, 256);
    EXPECT_EQ(data.height, 128);
    EXPECT_EQ(data.format, static_cast<GLenum>(GL_RGBA));
    glBindTexture(GL_TEXTURE_2D, texture.getId());
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 8, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 8, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
}

TEST_F(TextureGlTest, UploadWithoutMipmaps_OneLevelAndALinearMinFilter) {
    Image2D image("fog.png");
    ImageTexture2D texture(image, false, true);
    EXPECT_EQ(texture.getData().levelCount, 1);
    texture.bind();
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_MIN_FILTER), GL_LINEAR);
}

TEST_F(TextureGlTest, UploadedPixels_MatchTheDecodedImage) {
    const PngFiles::Picture picture = PngFiles::pattern(8, 4, PNG_COLOR_TYPE_RGB_ALPHA);
    PngFiles::write(dir.file("pattern.png"), picture);
    Image2D image("pattern.png");
    image.ensureLoaded();
    const std::vector<uint8_t> decoded(image.getMipmap(0), image.getMipmap(0) + 8 * 4 * 4);
    ImageTexture2D texture(image, true, true);
    glBindTexture(GL_TEXTURE_2D, texture.getId());
    std::vector<uint8_t> texels(decoded.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, decoded);
}

// Parameters -----------------------------------------------------------------------------

TEST_F(TextureGlTest, Bind_AppliesTheDefaultParameters) {
    Image2D image("fog.png");
    ImageTexture2D texture(image, true, true);
    texture.bind();
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
}

TEST_F(TextureGlTest, SetParameterOnOneHandle_ReachesEverySharingHandleAtItsNextBind) {
    Image2D image("fog.png");
    ImageTexture2D first(image, true, true);
    ImageTexture2D second(image, true, true);
    first.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP);
    // Changed behind the texture's back: the next bind sends everything again.
    glBindTexture(GL_TEXTURE_2D, second.getId());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    second.bind();
    EXPECT_EQ(parameterOf(second.getId(), GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(parameterOf(second.getId(), GL_TEXTURE_WRAP_T), GL_REPEAT);
}

TEST_F(TextureGlTest, ParameterKindWithoutFunction_ThrowsAfterTheOnesBefore) {
    Image2D image("fog.png");
    ImageTexture2D texture(image, true, true);
    auto& parameters = texture.getFlags().parameters;
    parameters.insert_or_assign(GL_TEXTURE_MAG_FILTER, TextureParameter(int32_t{GL_NEAREST}));
    parameters.insert_or_assign(GL_TEXTURE_WRAP_S, TextureParameter(2.0));
    EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { texture.bind(); }),
              "function for the type of at least one stored parameter is NULL.");
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameterOf(texture.getId(), GL_TEXTURE_WRAP_S), GL_REPEAT);
}

TEST_F(TextureGlTest, ArrayParameters_AreSentWithTheirVectorFunctions) {
    Image2D image("fog.png");
    ImageTexture2D texture(image, true, true);
    texture.getFlags().parameters.insert_or_assign(
        GL_TEXTURE_BORDER_COLOR, TextureParameter(std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
    texture.bind();
    GLfloat border[4] = {};
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    EXPECT_FLOAT_EQ(border[0], 0.25f);
    EXPECT_FLOAT_EQ(border[2], 0.75f);
}

// Listing ----------------------------------------------------------------------------------

TEST_F(TextureGlTest, ListTextures_LogsEachTextureAsItsImage) {
    PngFiles::write(dir.file("flare.png"), plain(2, 2, 1, 2, 3));
    ImageTexture2D fog = ImageTexture2D::fromFile("fog.png");
    ImageTexture2D flare = ImageTexture2D::fromFile("flare.png");
    ImageTexture2D again = ImageTexture2D::fromFile("flare.png");
    LogCapture capture;
    TextureManager::instance().listTextures();
    std::vector<std::string> lines = capture.lines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "NOTE    from TextureManager  :class Image2D: file=flare.png, unloaded (Data shared 2, no "
                  "Flags)\n",
                  "NOTE    from TextureManager  :class Image2D: file=fog.png, unloaded (Data shared 2, no "
                  "Flags)\n"}));
}

} // namespace
