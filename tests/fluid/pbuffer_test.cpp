#include "fluid/pbuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using A = PBufferAttribute;

int32_t v(A attribute) {
    return static_cast<int32_t>(attribute);
}

const std::vector<int32_t> kFixedPixelFormat = {
    v(A::DrawToPbuffer), 1, v(A::SupportOpenGL), 1, v(A::PixelType), v(A::TypeRgba)};

std::vector<int32_t> pixelFormatWith(std::vector<int32_t> entries) {
    std::vector<int32_t> list = kFixedPixelFormat;
    list.insert(list.end(), entries.begin(), entries.end());
    list.push_back(0);
    return list;
}

std::vector<int32_t> pbufferWith(std::vector<int32_t> entries) {
    std::vector<int32_t> list = {v(A::PbufferLargest), 1};
    list.insert(list.end(), entries.begin(), entries.end());
    list.push_back(0);
    return list;
}

// Builds a buffer from mode and returns what it wrote to standard error.
std::string constructionOutput(const char* mode, std::unique_ptr<PBuffer>* out = nullptr) {
    testing::internal::CaptureStderr();
    auto buffer = std::make_unique<PBuffer>(mode);
    const std::string text = testing::internal::GetCapturedStderr();
    if (out != nullptr) {
        *out = std::move(buffer);
    }
    return text;
}

// Mode strings -------------------------------------------------------------

TEST(PBufferMode, EmptyOrNullGivesTheFixedPairsOnly) {
    for (const char* mode : {"", static_cast<const char*>(nullptr)}) {
        std::unique_ptr<PBuffer> buffer;
        EXPECT_EQ(constructionOutput(mode, &buffer), "");
        EXPECT_EQ(buffer->getPixelFormatAttribs(), pixelFormatWith({}));
        EXPECT_EQ(buffer->getPbufferAttribs(), pbufferWith({}));
    }
}

TEST(PBufferMode, FloatAlphaRectangle_AlphaTokenFallsThroughButCounts) {
    std::unique_ptr<PBuffer> buffer;
    EXPECT_EQ(constructionOutput("float=16 alpha textureRECT", &buffer),
              "unknown pbuffer attribute: alpha\n");
    EXPECT_EQ(buffer->getPixelFormatAttribs(),
              pixelFormatWith({v(A::RedBits), 16, v(A::GreenBits), 16, v(A::BlueBits), 16, v(A::AlphaBits),
                               16, v(A::FloatComponents), 1, v(A::BindToTextureRectangleFloatRgba), 1}));
    EXPECT_EQ(buffer->getPbufferAttribs(), pbufferWith({v(A::TextureTarget), v(A::TextureRectangle),
                                                        v(A::TextureFormat), v(A::TextureFloatRgba)}));
}

TEST(PBufferMode, RgbRectangle) {
    std::unique_ptr<PBuffer> buffer;
    EXPECT_EQ(constructionOutput("rgb textureRECT", &buffer), "");
    EXPECT_EQ(buffer->getPixelFormatAttribs(),
              pixelFormatWith(
                  {v(A::RedBits), 8, v(A::GreenBits), 8, v(A::BlueBits), 8, v(A::BindToTextureRgba), 1}));
    EXPECT_EQ(buffer->getPbufferAttribs(), pbufferWith({v(A::TextureTarget), v(A::TextureRectangle),
                                                        v(A::TextureFormat), v(A::TextureRgba)}));
}

TEST(PBufferMode, TextureTargetFollowsTokenUnlessFloat) {
    const auto target = [](const char* mode) {
        std::unique_ptr<PBuffer> buffer;
        constructionOutput(mode, &buffer);
        return buffer->getPbufferAttribs()[3];
    };
    EXPECT_EQ(target("float textureCUBE"), v(A::TextureRectangle));
    EXPECT_EQ(target("textureCUBE"), v(A::TextureCubeMap));
    EXPECT_EQ(target("texture"), v(A::Texture2D));
    EXPECT_EQ(target("textureRECT"), v(A::TextureRectangle));
}

TEST(PBufferMode, ValuesAfterEqualsSign) {
    std::unique_ptr<PBuffer> buffer;
    EXPECT_EQ(constructionOutput("depth=24 samples=4 stencil double", &buffer), "");
    EXPECT_EQ(buffer->getPixelFormatAttribs(),
              pixelFormatWith({v(A::DepthBits), 24, v(A::SampleBuffers), 1, v(A::Samples), 4,
                               v(A::StencilBits), 8, v(A::DoubleBuffer), 1}));
}

TEST(PBufferMode, TokenWithoutValueMeansOne) {
    std::unique_ptr<PBuffer> buffer;
    constructionOutput("depth float=", &buffer);
    EXPECT_EQ(buffer->getPixelFormatAttribs(),
              pixelFormatWith({v(A::DepthBits), 1, v(A::RedBits), 1, v(A::GreenBits), 1, v(A::BlueBits), 1,
                               v(A::FloatComponents), 1}));
}

TEST(PBufferMode, TextureEqualsDepthAddsDepthTextureEntries) {
    std::unique_ptr<PBuffer> buffer;
    constructionOutput("texture=depth", &buffer);
    EXPECT_EQ(buffer->getPixelFormatAttribs(),
              pixelFormatWith({v(A::BindToTextureRgba), 1, v(A::BindToTextureDepth), 1}));
    EXPECT_EQ(buffer->getPbufferAttribs(),
              pbufferWith({v(A::TextureTarget), v(A::Texture2D), v(A::TextureFormat), v(A::TextureRgba),
                           v(A::DepthTextureFormat), v(A::TextureDepthComponent)}));
}

TEST(PBufferMode, MipmapNeedsATextureToken) {
    std::unique_ptr<PBuffer> buffer;
    EXPECT_EQ(constructionOutput("mipmap", &buffer), "unknown pbuffer attribute: mipmap\n");
    EXPECT_EQ(buffer->getPbufferAttribs(), pbufferWith({}));
    EXPECT_EQ(constructionOutput("mipmap textureRECT", &buffer), "");
    EXPECT_EQ(buffer->getPbufferAttribs(),
              pbufferWith({v(A::MipmapTexture), 1, v(A::TextureTarget), v(A::TextureRectangle),
                           v(A::TextureFormat), v(A::TextureRgba)}));
}

TEST(PBufferMode, UnknownTokensEachReported_DoubledSpacesGiveNoEmptyToken) {
    EXPECT_EQ(constructionOutput("rgb  bogus  other"),
              "unknown pbuffer attribute: bogus\nunknown pbuffer attribute: other\n");
}

TEST(PBufferMode, ModeStringIsCopied) {
    char text[] = "rgb textureRECT";
    std::unique_ptr<PBuffer> buffer;
    constructionOutput(text, &buffer);
    std::memset(text, 'x', std::strlen(text));
    EXPECT_EQ(buffer->getMode(), "rgb textureRECT");
}

// Formats this platform realises ------------------------------------------------

PBufferFormat formatOf(const char* mode, bool* found) {
    std::unique_ptr<PBuffer> buffer;
    constructionOutput(mode, &buffer);
    PBufferFormat format;
    *found = PBuffer::chooseFormat(buffer->getPixelFormatAttribs(), buffer->getPbufferAttribs(), &format);
    return format;
}

TEST(PBufferFormat, FloatModesBecomeHalfOrFullFloatRectangles) {
    bool found = false;
    PBufferFormat format = formatOf("float=16 alpha textureRECT", &found);
    ASSERT_TRUE(found);
    EXPECT_EQ(format.colourFormat, static_cast<GLenum>(GL_RGBA16F));
    EXPECT_EQ(format.textureTarget, static_cast<GLenum>(GL_TEXTURE_RECTANGLE));
    EXPECT_TRUE(format.isTexture);
    format = formatOf("float=32 textureRECT", &found);
    ASSERT_TRUE(found);
    EXPECT_EQ(format.colourFormat, static_cast<GLenum>(GL_RGBA32F));
}

TEST(PBufferFormat, EightBitModesBecomeRgba8) {
    bool found = false;
    const PBufferFormat format = formatOf("rgb textureRECT", &found);
    ASSERT_TRUE(found);
    EXPECT_EQ(format.colourFormat, static_cast<GLenum>(GL_RGBA8));
    EXPECT_FALSE(format.isFloat);
}

TEST(PBufferFormat, DepthAndStencilGetADepthBuffer) {
    bool found = false;
    EXPECT_EQ(formatOf("rgb depth=24", &found).depthFormat, static_cast<GLenum>(GL_DEPTH_COMPONENT24));
    EXPECT_EQ(formatOf("rgb depth=24 stencil", &found).depthFormat, static_cast<GLenum>(GL_DEPTH24_STENCIL8));
    EXPECT_EQ(formatOf("rgb", &found).depthFormat, static_cast<GLenum>(GL_NONE));
}

TEST(PBufferFormat, WithoutTextureTokenNotBindable) {
    bool found = false;
    EXPECT_FALSE(formatOf("float=16", &found).isTexture);
    EXPECT_TRUE(found);
}

TEST(PBufferFormat, UnrealisableRequestsFindNoFormat) {
    bool found = true;
    for (const char* mode :
         {"textureCUBE", "rgb samples=4", "texture=depth", "float=64", "float=0", "depth=48"}) {
        formatOf(mode, &found);
        EXPECT_FALSE(found) << mode;
    }
}

// Without a window ------------------------------------------------------------

TEST(PBufferWithoutWindow, EveryOperationFailsWithItsMessage) {
    std::unique_ptr<PBuffer> buffer;
    constructionOutput("float=16 alpha textureRECT", &buffer);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(buffer->initialize(66, 66, false, false));
    buffer->makeCurrent();
    PBuffer::makeWindowCurrent();
    buffer->bind();
    buffer->release();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pbuffer creation error:  Couldn't find a suitable pixel format.\n"
              "PBuffer::makeCurrent() failed.\n"
              "PBuffer::makeWindowCurrent() failed.\n"
              "PBuffer::Bind() failed - pbuffer format does not support render to texture!\n"
              "PBuffer::Release() failed - pbuffer format does not support render to texture!\n");
}

} // namespace
