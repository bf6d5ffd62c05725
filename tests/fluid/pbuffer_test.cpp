#include "fluid/pbuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using A = PBufferAttribute;
using List = std::vector<int32_t>;

int32_t v(A attribute) {
    return static_cast<int32_t>(attribute);
}

// Builds a buffer from mode and returns what it wrote to standard error.
std::string construct(const char* mode, std::unique_ptr<PBuffer>& out) {
    testing::internal::CaptureStderr();
    out = std::make_unique<PBuffer>(mode);
    return testing::internal::GetCapturedStderr();
}

TEST(PBufferMode, BuildsBothAttributeListsAndReportsUnknownTokens) {
    const int32_t r = v(A::RedBits), g = v(A::GreenBits), b = v(A::BlueBits), target = v(A::TextureTarget),
                  format = v(A::TextureFormat), rect = v(A::TextureRectangle);
    const struct {
        const char* mode;
        std::string standardError;
        List pixelFormat, pbuffer;
    } cases[] = {
        {"", "", {}, {}},
        {nullptr, "", {}, {}},
        // "alpha" falls through in a float mode but still adds the alpha bits.
        {"float=16 alpha textureRECT", "unknown pbuffer attribute: alpha\n",
         List{r, 16, g, 16, b, 16, v(A::AlphaBits), 16, v(A::FloatComponents), 1,
              v(A::BindToTextureRectangleFloatRgba), 1},
         List{target, rect, format, v(A::TextureFloatRgba)}},
        {"rgb textureRECT", "", List{r, 8, g, 8, b, 8, v(A::BindToTextureRgba), 1},
         List{target, rect, format, v(A::TextureRgba)}},
        // A float mode always takes the rectangle target.
        {"float textureCUBE", "",
         List{r, 1, g, 1, b, 1, v(A::FloatComponents), 1, v(A::BindToTextureRectangleFloatRgba), 1},
         List{target, rect, format, v(A::TextureFloatRgba)}},
        {"textureCUBE", "", List{v(A::BindToTextureRgba), 1},
         List{target, v(A::TextureCubeMap), format, v(A::TextureRgba)}},
        {"texture=depth", "", List{v(A::BindToTextureRgba), 1, v(A::BindToTextureDepth), 1},
         List{target, v(A::Texture2D), format, v(A::TextureRgba), v(A::DepthTextureFormat),
              v(A::TextureDepthComponent)}},
        {"depth=24 samples=4 stencil double",
         "",
         List{v(A::DepthBits), 24, v(A::SampleBuffers), 1, v(A::Samples), 4, v(A::StencilBits), 8,
              v(A::DoubleBuffer), 1},
         {}},
        // A token without a value, or with nothing after "=", means 1.
        {"depth float=", "", List{v(A::DepthBits), 1, r, 1, g, 1, b, 1, v(A::FloatComponents), 1}, {}},
        {"mipmap", "unknown pbuffer attribute: mipmap\n", {}, {}},
        {"mipmap textureRECT", "", List{v(A::BindToTextureRgba), 1},
         List{v(A::MipmapTexture), 1, target, rect, format, v(A::TextureRgba)}},
        // Doubled spaces give no empty token.
        {"rgb  bogus  other",
         "unknown pbuffer attribute: bogus\nunknown pbuffer attribute: other\n",
         List{r, 8, g, 8, b, 8},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode != nullptr ? c.mode : "(null)");
        std::unique_ptr<PBuffer> buffer;
        EXPECT_EQ(construct(c.mode, buffer), c.standardError);
        List pixelFormat = {v(A::DrawToPbuffer), 1, v(A::SupportOpenGL), 1, v(A::PixelType), v(A::TypeRgba)};
        pixelFormat.insert(pixelFormat.end(), c.pixelFormat.begin(), c.pixelFormat.end());
        pixelFormat.push_back(0);
        List pbuffer = {v(A::PbufferLargest), 1};
        pbuffer.insert(pbuffer.end(), c.pbuffer.begin(), c.pbuffer.end());
        pbuffer.push_back(0);
        EXPECT_EQ(buffer->getPixelFormatAttribs(), pixelFormat);
        EXPECT_EQ(buffer->getPbufferAttribs(), pbuffer);
    }
}

TEST(PBufferMode, ModeStringIsCopied) {
    char text[] = "rgb textureRECT";
    std::unique_ptr<PBuffer> buffer;
    construct(text, buffer);
    std::memset(text, 'x', std::strlen(text));
    EXPECT_EQ(buffer->getMode(), "rgb textureRECT");
}

TEST(PBufferFormat, RealisesWhatAFramebufferObjectCanBe) {
    const struct {
        const char* mode;
        bool found;
        GLenum colour, depth;
        bool isTexture;
    } cases[] = {
        {"float=16 alpha textureRECT", true, GL_RGBA16F, GL_NONE, true},
        {"float=32 textureRECT", true, GL_RGBA32F, GL_NONE, true},
        {"float=16", true, GL_RGBA16F, GL_NONE, false},
        {"rgb textureRECT", true, GL_RGBA8, GL_NONE, true},
        {"rgb depth=24", true, GL_RGBA8, GL_DEPTH_COMPONENT24, false},
        {"rgb depth=24 stencil", true, GL_RGBA8, GL_DEPTH24_STENCIL8, false},
        {"textureCUBE", false, 0, 0, false},
        {"rgb samples=4", false, 0, 0, false},
        {"texture=depth", false, 0, 0, false},
        {"float=64", false, 0, 0, false},
        {"float=0", false, 0, 0, false},
        {"depth=48", false, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        std::unique_ptr<PBuffer> buffer;
        construct(c.mode, buffer);
        PBufferFormat format;
        ASSERT_EQ(
            PBuffer::chooseFormat(buffer->getPixelFormatAttribs(), buffer->getPbufferAttribs(), &format),
            c.found);
        if (c.found) {
            EXPECT_EQ(format.colourFormat, c.colour);
            EXPECT_EQ(format.depthFormat, c.depth);
            EXPECT_EQ(format.isTexture, c.isTexture);
            EXPECT_EQ(format.isFloat, c.colour != GL_RGBA8);
            EXPECT_EQ(format.textureTarget, static_cast<GLenum>(GL_TEXTURE_RECTANGLE));
        }
    }
}

TEST(PBufferWithoutWindow, EveryOperationFailsWithItsMessage) {
    std::unique_ptr<PBuffer> buffer;
    construct("float=16 alpha textureRECT", buffer);
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
