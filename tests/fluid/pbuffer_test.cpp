#include "fluid/pbuffer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(PBufferFormat, RealisesWhatAFramebufferObjectCanBe) {
    const struct {
        const char* mode;
        bool found;
        GLenum colour, depth;
        bool isTexture;
    } cases[] = {
        {"float=16 alpha textureRECT", true, GL_RGBA16F, GL_NONE, true},
        {"float=32 alpha", true, GL_RGBA32F, GL_NONE, false},
        {"rgb alpha", true, GL_RGBA8, GL_NONE, false},
        {"rgb textureRECT", true, GL_RGBA8, GL_NONE, true},
        {"rgb depth=24", true, GL_RGBA8, GL_DEPTH_COMPONENT24, false},
        {"rgb depth=24 stencil", true, GL_RGBA8, GL_DEPTH24_STENCIL8, false},
        {"", true, GL_RGBA8, GL_NONE, false},
        {nullptr, true, GL_RGBA8, GL_NONE, false},
        {"textureCUBE", false, 0, 0, false},
        {"rgb samples=4", false, 0, 0, false},
        {"texture=depth", false, 0, 0, false},
        {"float=64", false, 0, 0, false},
        {"float=0", false, 0, 0, false},
        {"depth=48", false, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode != nullptr ? c.mode : "(null)");
        testing::internal::CaptureStderr();
        const auto buffer = std::make_unique<PBuffer>(c.mode);
        testing::internal::GetCapturedStderr();
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

// Without a window there is no context: every operation fails harmlessly.
TEST(PBufferWithoutWindow, EveryOperationFailsHarmlessly) {
    testing::internal::CaptureStderr();
    PBuffer buffer("float=16 alpha textureRECT");
    EXPECT_FALSE(buffer.initialize(66, 66, false, false));
    buffer.makeCurrent();
    PBuffer::makeWindowCurrent();
    buffer.bind();
    buffer.release();
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(buffer.isInitialized());
}

} // namespace
