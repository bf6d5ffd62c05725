#pragma once

#include <GL/glew.h>

#include <array>
#include <memory>

// An emulated rendering context. The process has one real OpenGL context, the
// window's; an offscreen buffer that wants a context of its own gets one of
// these, which keeps the state a separate context would keep and swaps it in
// and out of the real one. State outside the kept set is shared with the
// window, as objects (textures, programs) are.
class RenderContext : public std::enable_shared_from_this<RenderContext> {
public:
    ~RenderContext();
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    // The window's context; it is current until something else is made so.
    static RenderContext* window();
    // Contexts are shared by the buffers that render with them.
    static std::shared_ptr<RenderContext> create(int width, int height);
    static RenderContext* current();
    // Whether the OpenGL entry points the emulation needs exist (a window
    // with GLEW initialised).
    static bool isReady();

    // Puts this context in force with framebuffer as its drawable (0: the
    // window). Switching from another context saves that one's state first.
    bool makeCurrent(GLuint framebuffer);
    GLuint getFramebuffer() const { return framebuffer; }

    // The fragment-program binding, kept per context as a separate context
    // would: the program bound for the profile and whether the profile is on.
    GLuint getBoundProgram() const { return boundProgram; }
    void setBoundProgram(GLuint program) { boundProgram = program; }
    bool isProfileEnabled() const { return profileEnabled; }
    void setProfileEnabled(bool enabled) { profileEnabled = enabled; }
    // Drops every reference to a program about to be deleted, in every context.
    static void forgetProgram(GLuint program);

private:
    static constexpr int kCapabilityCount = 16;
    static constexpr int kUnitCount = 2;

    struct State {
        GLint viewport[4] = {0, 0, 0, 0};
        GLint matrixMode = GL_MODELVIEW;
        GLfloat projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        GLfloat modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        std::array<GLboolean, kCapabilityCount> capabilities{};
        // Per texture unit: GL_TEXTURE_2D and GL_TEXTURE_RECTANGLE enables and bindings.
        GLboolean textureEnabled[kUnitCount][2] = {};
        GLint textureBinding[kUnitCount][2] = {};
        GLint activeTexture = GL_TEXTURE0;
        GLfloat clearColour[4] = {0, 0, 0, 0};
        GLfloat colour[4] = {1, 1, 1, 1};
        // Passes give each quad texture coordinates; the window's own must survive them.
        GLfloat texCoord[kUnitCount][4] = {{0, 0, 0, 1}, {0, 0, 0, 1}};
        GLint program = 0;
        GLint blend[4] = {GL_ONE, GL_ZERO, GL_ONE, GL_ZERO};
        GLboolean depthMask = GL_TRUE;
        GLboolean colourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
        GLint polygonMode[2] = {GL_FILL, GL_FILL};
        GLint packAlignment = 4;
        GLint packRowLength = 0;
        GLint packSkipRows = 0;
        GLint packSkipPixels = 0;
        GLint pixelPackBuffer = 0;
    };

    RenderContext();
    // A fresh context whose first drawable is width x height: its viewport
    // starts there, everything else at OpenGL's initial values.
    RenderContext(int width, int height);
    void save();
    void apply() const;

    State state;
    GLuint framebuffer = 0;
    GLuint boundProgram = 0;
    bool profileEnabled = false;
};
