#pragma once

#include <GL/glew.h>

#include <utility>

// Owns one OpenGL object name and deletes it exactly once. Kind supplies the
// deletion (and, for the generated kinds, the creation) of the name.
template <typename Kind>
class GlName {
public:
    GlName() = default;
    explicit GlName(GLuint name) : name(name) {}
    ~GlName() { reset(); }
    GlName(const GlName&) = delete;
    GlName& operator=(const GlName&) = delete;
    GlName(GlName&& other) noexcept : name(std::exchange(other.name, 0)) {}
    GlName& operator=(GlName&& other) noexcept {
        if (this != &other) {
            reset();
            name = std::exchange(other.name, 0);
        }
        return *this;
    }

    static GlName generate() { return GlName(Kind::create()); }

    GLuint get() const { return name; }
    explicit operator bool() const { return name != 0; }
    void reset() {
        if (name != 0) {
            Kind::destroy(name);
            name = 0;
        }
    }

private:
    GLuint name = 0;
};

struct GlTextureKind {
    static GLuint create() {
        GLuint name = 0;
        glGenTextures(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteTextures(1, &name); }
};

struct GlFramebufferKind {
    static GLuint create() {
        GLuint name = 0;
        glGenFramebuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteFramebuffers(1, &name); }
};

struct GlRenderbufferKind {
    static GLuint create() {
        GLuint name = 0;
        glGenRenderbuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteRenderbuffers(1, &name); }
};

struct GlBufferKind {
    static GLuint create() {
        GLuint name = 0;
        glGenBuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteBuffers(1, &name); }
};

struct GlShaderKind {
    static void destroy(GLuint name) { glDeleteShader(name); }
};

struct GlProgramKind {
    static void destroy(GLuint name) { glDeleteProgram(name); }
};

using GlTexture = GlName<GlTextureKind>;
using GlFramebuffer = GlName<GlFramebufferKind>;
using GlRenderbuffer = GlName<GlRenderbufferKind>;
using GlBuffer = GlName<GlBufferKind>;
using GlShader = GlName<GlShaderKind>;
using GlProgram = GlName<GlProgramKind>;
