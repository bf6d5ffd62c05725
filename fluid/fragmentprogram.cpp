#include "fluid/fragmentprogram.h"

#include "fluid/rendercontext.h"

namespace {

// Passes the quad's texel coordinates and its colour through untouched: the
// colour carries signed and large source values, which the fixed pipeline's
// colour outputs would clamp to 0...1.
const char* const kVertexStage = R"(#version 140
#extension GL_ARB_compatibility : require
out vec2 texel;
out vec4 colour;
void main() {
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    texel = gl_MultiTexCoord0.xy;
    colour = gl_Color;
}
)";

const char* const kSamplerNames[] = {"unit0", "unit1"};

FragmentProgramContext::ErrorCallback gErrorCallback = nullptr;
ProgramError gLastError = ProgramError::NoError;

// The info log of a shader or a program, through its pair of queries.
template <typename GetParameter, typename GetLog>
std::string infoLog(GLuint object, GetParameter getParameter, GetLog getLog) {
    GLint length = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    std::string text(length > 0 ? length : 0, '\0');
    if (length > 0) {
        getLog(object, length, nullptr, text.data());
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    }
    return text;
}

GlShader compile(GLenum kind, const char* source, std::string* listing) {
    GlShader shader(glCreateShader(kind));
    glShaderSource(shader.get(), 1, &source, nullptr);
    glCompileShader(shader.get());
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader.get(), GL_COMPILE_STATUS, &compiled);
    *listing = infoLog(shader.get(), glGetShaderiv, glGetShaderInfoLog);
    if (compiled != GL_TRUE) {
        shader.reset();
    }
    return shader;
}

// Sets an integer or float uniform of a program that need not be in use.
void programUniform(GLuint program, GLint location, float value, bool integer) {
    if (glProgramUniform1f != nullptr && glProgramUniform1i != nullptr) {
        if (integer) {
            glProgramUniform1i(program, location, static_cast<GLint>(value));
        } else {
            glProgramUniform1f(program, location, value);
        }
        return;
    }
    GLint inUse = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &inUse);
    glUseProgram(program);
    if (integer) {
        glUniform1i(location, static_cast<GLint>(value));
    } else {
        glUniform1f(location, value);
    }
    glUseProgram(inUse);
}

} // namespace

void ProgramParameter::set(float value) {
    if (program == nullptr) {
        FragmentProgramContext::raise(ProgramError::InvalidParameter);
        return;
    }
    program->setUniform(index, value);
}

FragmentProgram::FragmentProgram(GlProgram program) : program(std::move(program)) {}

FragmentProgram::~FragmentProgram() {
    RenderContext::forgetProgram(program.get());
}

ProgramParameter FragmentProgram::getNamedParameter(const char* name) {
    const GLint location = glGetUniformLocation(program.get(), name);
    if (location < 0) {
        return ProgramParameter();
    }
    for (size_t i = 0; i < uniforms.size(); ++i) {
        if (uniforms[i].location == location) {
            return ProgramParameter(this, static_cast<int>(i));
        }
    }
    uniforms.push_back(Uniform{name, location, 0.0f, false});
    return ProgramParameter(this, static_cast<int>(uniforms.size() - 1));
}

void FragmentProgram::setUniform(int index, float value) {
    Uniform& uniform = uniforms[index];
    // Every step sets the same values again; an unchanged uniform costs nothing.
    if (uniform.hasValue && uniform.value == value) {
        return;
    }
    programUniform(program.get(), uniform.location, value, false);
    uniform.value = value;
    uniform.hasValue = true;
}

bool FragmentProgram::load() {
    loaded = true;
    return true;
}

void FragmentProgram::bind() {
    if (!loaded) {
        FragmentProgramContext::raise(ProgramError::ProgramNotLoaded);
        return;
    }
    RenderContext* context = RenderContext::current();
    context->setBoundProgram(program.get());
    if (context->isProfileEnabled()) {
        glUseProgram(program.get());
    }
}

void FragmentProgramContext::setErrorCallback(ErrorCallback callback) {
    gErrorCallback = callback;
}

ProgramError FragmentProgramContext::getError() {
    const ProgramError error = gLastError;
    gLastError = ProgramError::NoError;
    return error;
}

const char* FragmentProgramContext::getErrorString(ProgramError error) {
    switch (error) {
    case ProgramError::NoError:
        return "";
    case ProgramError::UnsupportedProfile:
        return "The profile is not supported.";
    case ProgramError::CompilerError:
        return "The compile returned an error.";
    case ProgramError::LinkError:
        return "The program could not be linked.";
    case ProgramError::ProgramNotLoaded:
        return "The program has not been loaded.";
    case ProgramError::InvalidParameter:
        return "Invalid parameter handle.";
    }
    return "";
}

void FragmentProgramContext::raise(ProgramError error) {
    gLastError = error;
    if (gErrorCallback != nullptr) {
        gErrorCallback();
    }
}

bool FragmentProgramContext::isProfileSupported(ProgramProfile) {
    return RenderContext::isReady() && GLEW_VERSION_3_1 && GLEW_ARB_compatibility &&
           GLEW_ARB_texture_rectangle && GLEW_ARB_framebuffer_object && GLEW_ARB_texture_float;
}

void FragmentProgramContext::enableProfile(ProgramProfile) {
    RenderContext* context = RenderContext::current();
    context->setProfileEnabled(true);
    glUseProgram(context->getBoundProgram());
}

void FragmentProgramContext::disableProfile(ProgramProfile) {
    RenderContext::current()->setProfileEnabled(false);
    glUseProgram(0);
}

bool FragmentProgramContext::compileVertexStage() {
    if (!vertexStage) {
        vertexStage = compile(GL_VERTEX_SHADER, kVertexStage, &lastListing);
    }
    return static_cast<bool>(vertexStage);
}

std::unique_ptr<FragmentProgram> FragmentProgramContext::createProgram(const char* source,
                                                                       ProgramProfile profile) {
    lastListing.clear();
    if (!isProfileSupported(profile)) {
        raise(ProgramError::UnsupportedProfile);
        return nullptr;
    }
    if (!compileVertexStage()) {
        raise(ProgramError::CompilerError);
        return nullptr;
    }
    GlShader fragment = compile(GL_FRAGMENT_SHADER, source != nullptr ? source : "", &lastListing);
    if (!fragment) {
        raise(ProgramError::CompilerError);
        return nullptr;
    }
    GlProgram program(glCreateProgram());
    glAttachShader(program.get(), vertexStage.get());
    glAttachShader(program.get(), fragment.get());
    glLinkProgram(program.get());
    GLint linked = GL_FALSE;
    glGetProgramiv(program.get(), GL_LINK_STATUS, &linked);
    glDetachShader(program.get(), vertexStage.get());
    glDetachShader(program.get(), fragment.get());
    if (linked != GL_TRUE) {
        lastListing = infoLog(program.get(), glGetProgramiv, glGetProgramInfoLog);
        raise(ProgramError::LinkError);
        return nullptr;
    }
    for (int unit = 0; unit < 2; ++unit) {
        const GLint location = glGetUniformLocation(program.get(), kSamplerNames[unit]);
        if (location >= 0) {
            programUniform(program.get(), location, static_cast<float>(unit), true);
        }
    }
    return std::unique_ptr<FragmentProgram>(new FragmentProgram(std::move(program)));
}
