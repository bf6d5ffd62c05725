#include <GL/glew.h>

#include "fluid/pbuffer.h"
#include "fluid/rendercontext.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char* const kFloatMode = "float=16 alpha textureRECT";

// A buffer built and initialised with its standard-error output swallowed.
std::unique_ptr<PBuffer> makeBuffer(const char* mode, int width, int height, bool shared = false) {
    testing::internal::CaptureStderr();
    auto buffer = std::make_unique<PBuffer>(mode);
    const bool ok = buffer->initialize(width, height, shared, false);
    testing::internal::GetCapturedStderr();
    return ok ? std::move(buffer) : nullptr;
}

template <size_t N>
std::array<GLint, N> integers(GLenum name) {
    std::array<GLint, N> value{};
    glGetIntegerv(name, value.data());
    return value;
}
GLint integer(GLenum name) {
    return integers<1>(name)[0];
}
template <size_t N>
std::array<GLfloat, N> floats(GLenum name) {
    std::array<GLfloat, N> value{};
    glGetFloatv(name, value.data());
    return value;
}

// The tests change the window context's state on purpose; it is put back
// for the tests that run after them in the same process.
class PBufferGl : public ::testing::Test {
protected:
    void SetUp() override {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        for (const GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glPushMatrix();
        }
    }
    void TearDown() override {
        PBuffer::makeWindowCurrent();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        for (const GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glPopMatrix();
        }
        glPopAttrib();
    }
};

TEST_F(PBufferGl, Initialize_ExactSizeOrNothing) {
    auto buffer = makeBuffer("rgb textureRECT", 66, 34);
    ASSERT_NE(buffer, nullptr);
    buffer->makeCurrent();
    EXPECT_EQ(integers<4>(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 66, 34}));
    // A size that cannot be, or a format, leaves nothing half made.
    const GLint limit = integer(GL_MAX_RECTANGLE_TEXTURE_SIZE);
    const std::tuple<const char*, int, int> impossible[] = {{"rgb textureRECT", limit + 1, 8},
                                                            {"rgb textureRECT", 8, 0},
                                                            {"rgb textureRECT", -4, 8},
                                                            {"textureCUBE", 16, 16}};
    for (const auto& [mode, width, height] : impossible) {
        SCOPED_TRACE(std::string(mode) + " " + std::to_string(width) + " x " + std::to_string(height));
        PBuffer failing(mode);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(failing.initialize(width, height, false, false));
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(failing.isInitialized());
    }
}

TEST_F(PBufferGl, Bind_ShowsTheImageThroughTheBoundTexture_ReleasePutsTheNameBack) {
    auto buffer = makeBuffer(kFloatMode, 4, 3);
    ASSERT_NE(buffer, nullptr);
    buffer->makeCurrent();
    glClearColor(-2.5f, 0.25f, 40.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    PBuffer::makeWindowCurrent();

    // Bound on unit 1 in place of name, whose sampling it takes over, and
    // released while unit 0 is active.
    GLuint name = 0;
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_RECTANGLE, name);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    buffer->bind();
    std::vector<float> texels(4 * 3 * 4);
    glGetTexImage(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, GL_FLOAT, texels.data());
    for (size_t i = 0; i < texels.size(); i += 4) {
        EXPECT_TRUE(texels[i] == -2.5f && texels[i + 1] == 0.25f && texels[i + 2] == 40.0f) << i / 4;
    }
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glActiveTexture(GL_TEXTURE0);
    buffer->release();
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE1);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_RECTANGLE), static_cast<GLint>(name));
    glDeleteTextures(1, &name);
}

// Refused out of turn, without a texture mode and while drawing into the
// buffer; a refused bind never marks the buffer bound, so what release puts
// back is always the texture bound before.
TEST_F(PBufferGl, BindAndRelease_Refusals) {
    auto buffer = makeBuffer(kFloatMode, 4, 4);
    auto plain = makeBuffer("float=16", 4, 4);
    ASSERT_TRUE(buffer && plain);
    const GlTexture mine = GlTexture::generate();
    glBindTexture(GL_TEXTURE_RECTANGLE, mine.get());
    const auto bound = [] {
        return integer(GL_TEXTURE_BINDING_RECTANGLE);
    };
    const GLint before = bound();
    testing::internal::CaptureStderr();
    buffer->release();
    EXPECT_EQ(bound(), before);
    buffer->bind();
    EXPECT_NE(bound(), before);
    buffer->bind();
    buffer->release();
    EXPECT_EQ(bound(), before);
    plain->bind();
    plain->release();
    EXPECT_EQ(bound(), before);
    buffer->makeCurrent();
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    buffer->bind();
    EXPECT_EQ(bound(), 0);
    testing::internal::GetCapturedStderr();
}

// An own context starts fresh and keeps its state, a buffer made while it is
// current borrows it, and the window gets all of its own state back.
TEST_F(PBufferGl, OwnBorrowedAndWindowContexts_KeepTheirState) {
    auto buffer = makeBuffer(kFloatMode, 16, 8);
    ASSERT_NE(buffer, nullptr);
    glViewport(10, 20, 300, 200);
    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(30, 0, 0, 1);
    glEnable(GL_BLEND);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glActiveTexture(GL_TEXTURE1);
    const auto state = [] {
        return std::make_tuple(
            integers<4>(GL_VIEWPORT), floats<16>(GL_PROJECTION_MATRIX), floats<16>(GL_MODELVIEW_MATRIX),
            integer(GL_MATRIX_MODE), glIsEnabled(GL_BLEND), glIsEnabled(GL_CULL_FACE),
            floats<4>(GL_COLOR_CLEAR_VALUE), floats<4>(GL_CURRENT_COLOR), integer(GL_ACTIVE_TEXTURE));
    };
    const auto window = state();

    buffer->makeCurrent();
    EXPECT_EQ(integers<4>(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 16, 8}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(floats<4>(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0, 0, 0, 0}));
    glViewport(1, 2, 3, 4);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 1, 0, 1, 1, 50);
    glEnable(GL_CULL_FACE);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    glColor4f(2, 1, 1, 0);
    glActiveTexture(GL_TEXTURE0);
    const auto own = state();
    auto borrower = makeBuffer(kFloatMode, 16, 8, true);
    ASSERT_NE(borrower, nullptr);

    PBuffer::makeWindowCurrent();
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(state(), window);
    borrower->makeCurrent();
    EXPECT_EQ(state(), own);
    EXPECT_NE(integer(GL_FRAMEBUFFER_BINDING), 0);
}

TEST_F(PBufferGl, Destroying_TheBufferDrawnInto_ReturnsToTheWindow) {
    glClearColor(0.5f, 0, 0, 1);
    auto buffer = makeBuffer(kFloatMode, 8, 8);
    ASSERT_NE(buffer, nullptr);
    buffer->makeCurrent();
    buffer.reset();
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(floats<4>(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.5f, 0, 0, 1}));
}

} // namespace
