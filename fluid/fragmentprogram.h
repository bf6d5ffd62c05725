#pragma once

#include "fluid/glname.h"

#include <memory>
#include <string>
#include <vector>

class FragmentProgram;
class FragmentProgramContext;

// The fragment profile the fluid programs are written for: GLSL 1.40
// fragment shaders reading rectangle textures, drawn with a vertex stage of
// ours that hands them `in vec2 texel` (the texture coordinate of unit 0, in
// texels) and `in vec4 colour` (the vertex colour, unclamped). Samplers named
// unit0 and unit1 read texture units 0 and 1; the shader writes one output.
enum class ProgramProfile { Fp30 };

enum class ProgramError {
    NoError,
    UnsupportedProfile,
    CompilerError,
    LinkError,
    ProgramNotLoaded,
    InvalidParameter,
};

// A named float parameter (a uniform) of one program; a default-constructed
// one stands for a name the program does not have.
class ProgramParameter {
public:
    ProgramParameter() = default;
    // Takes effect whether or not the program is bound.
    void set(float value);

private:
    friend class FragmentProgram;
    ProgramParameter(FragmentProgram* program, int index) : program(program), index(index) {}

    FragmentProgram* program = nullptr; // not owned: the program the name belongs to
    int index = -1;
};

// One compiled and linked fragment program.
class FragmentProgram {
public:
    ~FragmentProgram();
    FragmentProgram(const FragmentProgram&) = delete;
    FragmentProgram& operator=(const FragmentProgram&) = delete;

    ProgramParameter getNamedParameter(const char* name);
    // Makes the program available for binding.
    bool load();
    // Binds it for the profile in the current context; it draws while the
    // profile is enabled there.
    void bind();

private:
    friend class FragmentProgramContext;
    friend class ProgramParameter;
    struct Uniform {
        std::string name;
        GLint location = -1;
        float value = 0.0f;
        bool hasValue = false;
    };

    explicit FragmentProgram(GlProgram program);
    void setUniform(int index, float value);

    GlProgram program;
    std::vector<Uniform> uniforms;
    bool loaded = false;
};

// Creates programs from source text and reports errors through one
// process-wide callback, which asks getError() and getLastListing() for the
// details.
class FragmentProgramContext {
public:
    using ErrorCallback = void (*)();

    FragmentProgramContext() = default;
    FragmentProgramContext(const FragmentProgramContext&) = delete;
    FragmentProgramContext& operator=(const FragmentProgramContext&) = delete;

    static void setErrorCallback(ErrorCallback callback);
    // The last error, which this call clears.
    static ProgramError getError();
    static const char* getErrorString(ProgramError error);
    // The compiler's or linker's output for the last program this context
    // built, empty when it had none.
    const std::string& getLastListing() const { return lastListing; }

    static bool isProfileSupported(ProgramProfile profile);
    // Profile switches of the current rendering context.
    static void enableProfile(ProgramProfile profile);
    static void disableProfile(ProgramProfile profile);

    // Compiles and links source; null (with the error reported) on failure.
    std::unique_ptr<FragmentProgram> createProgram(const char* source, ProgramProfile profile);

    // Records error and calls the callback.
    static void raise(ProgramError error);

private:
    bool compileVertexStage();

    std::string lastListing;
    GlShader vertexStage;
};
