#include <GL/glew.h>

#include "fluid/pbuffer.h"
#include "fluid/rendercontext.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kFloatMode = "float=16 alpha textureRECT";
const char* const kDisplayMode = "rgb textureRECT";

// A buffer built and initialised with its standard-error output swallowed.
std::unique_ptr<PBuffer> makeBuffer(const char* mode, int width, int height, bool shared = false) {
    testing::internal::CaptureStderr();
    auto buffer = std::make_unique<PBuffer>(mode);
    const bool ok = buffer->initialize(width, height, shared, false);
    testing::internal::GetCapturedStderr();
    return ok ? std::move(buffer) : nullptr;
}

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::array<GLfloat, 4> floats4(GLenum name) {
    std::array<GLfloat, 4> value{};
    glGetFloatv(name, value.data());
    return value;
}

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> value{};
    glGetIntegerv(GL_VIEWPORT, value.data());
    return value;
}

std::array<GLfloat, 16> matrix(GLenum name) {
    std::array<GLfloat, 16> value{};
    glGetFloatv(name, value.data());
    return value;
}

// The bound rectangle texture's texels as RGBA floats.
std::vector<float> boundTexels(int width, int height) {
    std::vector<float> texels(static_cast<size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, GL_FLOAT, texels.data());
    return texels;
}

class PBufferGl : public ::testing::Test {
protected:
    void TearDown() override {
        PBuffer::makeWindowCurrent();
        glUseProgram(0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_RECTANGLE, 0);
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

// Creation ----------------------------------------------------------------------

TEST_F(PBufferGl, Initialize_ExactSizeAndCreatedLine) {
    PBuffer buffer(kDisplayMode);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(buffer.initialize(66, 34, false, false));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Created a 66 x 34 pbuffer\n");
    EXPECT_EQ(buffer.getWidth(), 66);
    EXPECT_EQ(buffer.getHeight(), 34);
    buffer.makeCurrent();
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 66, 34}));
}

TEST_F(PBufferGl, Initialize_SizeBeyondTheLimit_FailsInsteadOfShrinking) {
    const GLint limit = integer(GL_MAX_RECTANGLE_TEXTURE_SIZE);
    for (const std::array<int, 2>& size : {std::array<int, 2>{limit + 1, 8}, {8, 0}, {-4, 8}}) {
        PBuffer buffer(kDisplayMode);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(buffer.initialize(size[0], size[1], false, false));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "pbuffer creation error:  wglCreatePbufferARB() failed\nerror:  ERROR_INVALID_DATA\n");
        EXPECT_FALSE(buffer.isInitialized());
        testing::internal::CaptureStderr();
        buffer.makeCurrent();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "PBuffer::makeCurrent() failed.\n");
    }
}

TEST_F(PBufferGl, Initialize_UnrealisableFormat_NoSuitablePixelFormat) {
    PBuffer buffer("textureCUBE");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(buffer.initialize(16, 16, false, false));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pbuffer creation error:  Couldn't find a suitable pixel format.\n");
}

TEST_F(PBufferGl, Initialize_WithDepth_AttachesADepthBuffer) {
    auto buffer = makeBuffer("rgb depth=24", 8, 8);
    ASSERT_NE(buffer, nullptr);
    buffer->makeCurrent();
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint depthBits = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depthBits);
    EXPECT_GE(depthBits, 24);
}

// Binding as a texture -------------------------------------------------------------

TEST_F(PBufferGl, Bind_ShowsTheImageThroughTheBoundTexture_ReleasePutsTheNameBack) {
    auto buffer = makeBuffer(kFloatMode, 4, 3);
    ASSERT_NE(buffer, nullptr);
    buffer->makeCurrent();
    glClearColor(-2.5f, 0.25f, 40.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    PBuffer::makeWindowCurrent();

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_RECTANGLE, name);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    buffer->bind();
    const std::vector<float> texels = boundTexels(4, 3);
    ASSERT_EQ(texels.size(), 48u);
    for (size_t i = 0; i < texels.size(); i += 4) {
        EXPECT_EQ(texels[i], -2.5f);
        EXPECT_EQ(texels[i + 1], 0.25f);
        EXPECT_EQ(texels[i + 2], 40.0f);
    }
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    buffer->release();
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_RECTANGLE), static_cast<GLint>(name));
    glDeleteTextures(1, &name);
}

TEST_F(PBufferGl, Release_FromAnotherUnit_RestoresTheUnitItWasBoundOn) {
    auto buffer = makeBuffer(kFloatMode, 4, 4);
    ASSERT_NE(buffer, nullptr);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    buffer->bind();
    glActiveTexture(GL_TEXTURE0);
    buffer->release();
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE1);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_RECTANGLE), 0);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(PBufferGl, BindAndRelease_OutOfTurn_Refused) {
    auto buffer = makeBuffer(kFloatMode, 4, 4);
    ASSERT_NE(buffer, nullptr);
    testing::internal::CaptureStderr();
    buffer->release();
    buffer->bind();
    buffer->bind();
    buffer->release();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "PBuffer::Release() failed - pbuffer is not bound.\n"
                                                      "PBuffer::Bind() failed - pbuffer is already bound.\n");
}

TEST_F(PBufferGl, Bind_WithoutTextureMode_Refused) {
    auto buffer = makeBuffer("float=16", 4, 4);
    ASSERT_NE(buffer, nullptr);
    testing::internal::CaptureStderr();
    buffer->bind();
    buffer->release();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "PBuffer::Bind() failed - pbuffer format does not support render to texture!\n"
              "PBuffer::Release() failed - pbuffer format does not support render to texture!\n");
}

TEST_F(PBufferGl, Bind_WhileDrawingIntoIt_FailsAndIsNotMarkedBound) {
    auto buffer = makeBuffer(kFloatMode, 4, 4);
    ASSERT_NE(buffer, nullptr);
    buffer->makeCurrent();
    testing::internal::CaptureStderr();
    buffer->bind();
    buffer->release();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "PBuffer::Bind() failed.\nPBuffer::Release() failed - pbuffer is not bound.\n");
}

// Emulated contexts ----------------------------------------------------------------

TEST_F(PBufferGl, OwnContext_StartsFreshAndKeepsItsStateAcrossTheWindow) {
    auto buffer = makeBuffer(kFloatMode, 16, 8);
    ASSERT_NE(buffer, nullptr);
    glEnable(GL_BLEND);
    glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
    buffer->makeCurrent();
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 16, 8}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0, 0, 0, 0}));

    glViewport(1, 2, 3, 4);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, 1, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    glEnable(GL_CULL_FACE);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    glColor4f(2, 1, 1, 0);
    const auto projection = matrix(GL_PROJECTION_MATRIX);
    const auto modelview = matrix(GL_MODELVIEW_MATRIX);

    PBuffer::makeWindowCurrent();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    buffer->makeCurrent();
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{1, 2, 3, 4}));
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(floats4(GL_CURRENT_COLOR), (std::array<GLfloat, 4>{2, 1, 1, 0}));
    PBuffer::makeWindowCurrent();
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
}

TEST_F(PBufferGl, BorrowedContext_SharesTheLenderState) {
    auto lender = makeBuffer(kFloatMode, 16, 16);
    ASSERT_NE(lender, nullptr);
    lender->makeCurrent();
    auto borrower = makeBuffer(kFloatMode, 16, 16, true);
    ASSERT_NE(borrower, nullptr);
    glClearColor(0.7f, 0, 0, 1);
    glEnable(GL_BLEND);
    borrower->makeCurrent();
    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.7f, 0, 0, 1}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_NE(integer(GL_FRAMEBUFFER_BINDING), 0);
    PBuffer::makeWindowCurrent();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    lender->makeCurrent();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(PBufferGl, WindowCurrent_RestoresEveryKeptPieceOfWindowState) {
    auto buffer = makeBuffer(kFloatMode, 8, 8);
    ASSERT_NE(buffer, nullptr);
    glViewport(10, 20, 300, 200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(30, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glActiveTexture(GL_TEXTURE1);
    const auto projection = matrix(GL_PROJECTION_MATRIX);
    const auto modelview = matrix(GL_MODELVIEW_MATRIX);

    buffer->makeCurrent();
    glViewport(0, 0, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glClearColor(1, 1, 1, 1);
    glColor4f(5, 5, 5, 5);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);

    PBuffer::makeWindowCurrent();
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{10, 20, 300, 200}));
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(floats4(GL_CURRENT_COLOR), (std::array<GLfloat, 4>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(RenderContext::current(), RenderContext::window());

    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glClearColor(0, 0, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST_F(PBufferGl, Destroying_TheBufferDrawnInto_ReturnsToTheWindow) {
    glClearColor(0.5f, 0, 0, 1);
    {
        auto buffer = makeBuffer(kFloatMode, 8, 8);
        ASSERT_NE(buffer, nullptr);
        buffer->makeCurrent();
        EXPECT_NE(integer(GL_FRAMEBUFFER_BINDING), 0);
    }
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.5f, 0, 0, 1}));
    glClearColor(0, 0, 0, 0);
}

} // namespace
