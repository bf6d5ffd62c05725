#include "fluid/rendercontext.h"

#include <algorithm>
#include <vector>

namespace {

// The capabilities a context keeps for itself: what the scene's materials and
// the buffers' passes switch.
constexpr GLenum kCapabilities[] = {GL_ALPHA_TEST,     GL_BLEND,
                                    GL_COLOR_MATERIAL, GL_CULL_FACE,
                                    GL_DEPTH_TEST,     GL_FOG,
                                    GL_LIGHTING,       GL_LIGHT0,
                                    GL_LIGHT1,         GL_NORMALIZE,
                                    GL_RESCALE_NORMAL, GL_LINE_SMOOTH,
                                    GL_CLIP_PLANE0,    GL_POLYGON_OFFSET_FILL,
                                    GL_SCISSOR_TEST,   GL_STENCIL_TEST};
constexpr GLenum kTextureTargets[] = {GL_TEXTURE_2D, GL_TEXTURE_RECTANGLE};
constexpr GLenum kTextureBindings[] = {GL_TEXTURE_BINDING_2D, GL_TEXTURE_BINDING_RECTANGLE};

RenderContext* gCurrent = nullptr;

std::vector<RenderContext*>& registry() {
    static std::vector<RenderContext*> contexts;
    return contexts;
}

void setCapability(GLenum capability, GLboolean on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

} // namespace

RenderContext::RenderContext() {
    registry().push_back(this);
}

RenderContext::RenderContext(int width, int height) : RenderContext() {
    static_assert(sizeof(kCapabilities) / sizeof(kCapabilities[0]) == kCapabilityCount);
    state.viewport[2] = width;
    state.viewport[3] = height;
}

RenderContext::~RenderContext() {
    if (gCurrent == this) {
        if (isReady()) {
            window()->makeCurrent(0);
        }
        gCurrent = nullptr;
    }
    auto& contexts = registry();
    contexts.erase(std::remove(contexts.begin(), contexts.end(), this), contexts.end());
}

RenderContext* RenderContext::window() {
    static const std::shared_ptr<RenderContext> windowContext(new RenderContext());
    return windowContext.get();
}

std::shared_ptr<RenderContext> RenderContext::create(int width, int height) {
    return std::shared_ptr<RenderContext>(new RenderContext(width, height));
}

RenderContext* RenderContext::current() {
    return gCurrent != nullptr ? gCurrent : window();
}

bool RenderContext::isReady() {
    return glBindFramebuffer != nullptr && glUseProgram != nullptr && glActiveTexture != nullptr &&
           glGetString(GL_VERSION) != nullptr;
}

bool RenderContext::makeCurrent(GLuint newFramebuffer) {
    if (!isReady()) {
        return false;
    }
    RenderContext* previous = current();
    if (previous == this) {
        // The window's own code may bind framebuffers of its own; only the
        // buffers' hot path relies on the cached binding.
        if (framebuffer != newFramebuffer || this == window()) {
            glBindFramebuffer(GL_FRAMEBUFFER, newFramebuffer);
            framebuffer = newFramebuffer;
        }
        return true;
    }
    previous->save();
    gCurrent = this;
    framebuffer = newFramebuffer;
    apply();
    return true;
}

void RenderContext::forgetProgram(GLuint program) {
    for (RenderContext* context : registry()) {
        if (context->boundProgram == program) {
            context->boundProgram = 0;
        }
        if (context != current() && context->state.program == static_cast<GLint>(program)) {
            context->state.program = 0;
        }
    }
    if (isReady()) {
        GLint inUse = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &inUse);
        if (inUse == static_cast<GLint>(program)) {
            glUseProgram(0);
        }
    }
}

void RenderContext::save() {
    State& s = state;
    glGetIntegerv(GL_VIEWPORT, s.viewport);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    for (int i = 0; i < kCapabilityCount; ++i) {
        s.capabilities[i] = glIsEnabled(kCapabilities[i]);
    }
    glGetIntegerv(GL_ACTIVE_TEXTURE, &s.activeTexture);
    for (int unit = 0; unit < kUnitCount; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        for (int t = 0; t < 2; ++t) {
            s.textureEnabled[unit][t] = glIsEnabled(kTextureTargets[t]);
            glGetIntegerv(kTextureBindings[t], &s.textureBinding[unit][t]);
        }
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, s.texCoord[unit]);
    }
    glActiveTexture(s.activeTexture);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, s.clearColour);
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    glGetIntegerv(GL_CURRENT_PROGRAM, &s.program);
    glGetIntegerv(GL_BLEND_SRC_RGB, &s.blend[0]);
    glGetIntegerv(GL_BLEND_DST_RGB, &s.blend[1]);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &s.blend[2]);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &s.blend[3]);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
    glGetBooleanv(GL_COLOR_WRITEMASK, s.colourMask);
    glGetIntegerv(GL_POLYGON_MODE, s.polygonMode);
    glGetIntegerv(GL_PACK_ALIGNMENT, &s.packAlignment);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &s.packRowLength);
    glGetIntegerv(GL_PACK_SKIP_ROWS, &s.packSkipRows);
    glGetIntegerv(GL_PACK_SKIP_PIXELS, &s.packSkipPixels);
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &s.pixelPackBuffer);
}

void RenderContext::apply() const {
    const State& s = state;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(s.projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(s.modelview);
    glMatrixMode(s.matrixMode);
    for (int i = 0; i < kCapabilityCount; ++i) {
        setCapability(kCapabilities[i], s.capabilities[i]);
    }
    for (int unit = 0; unit < kUnitCount; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        for (int t = 0; t < 2; ++t) {
            setCapability(kTextureTargets[t], s.textureEnabled[unit][t]);
            const GLuint name = static_cast<GLuint>(s.textureBinding[unit][t]);
            glBindTexture(kTextureTargets[t], name != 0 && glIsTexture(name) ? name : 0);
        }
        glMultiTexCoord4fv(GL_TEXTURE0 + unit, s.texCoord[unit]);
    }
    glActiveTexture(s.activeTexture);
    glClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2], s.clearColour[3]);
    glColor4fv(s.colour);
    // A program deleted while this context was away must not be revived.
    glUseProgram(s.program != 0 && glIsProgram(s.program) ? s.program : 0);
    glBlendFuncSeparate(s.blend[0], s.blend[1], s.blend[2], s.blend[3]);
    glDepthMask(s.depthMask);
    glColorMask(s.colourMask[0], s.colourMask[1], s.colourMask[2], s.colourMask[3]);
    glPolygonMode(GL_FRONT, s.polygonMode[0]);
    glPolygonMode(GL_BACK, s.polygonMode[1]);
    glPixelStorei(GL_PACK_ALIGNMENT, s.packAlignment);
    glPixelStorei(GL_PACK_ROW_LENGTH, s.packRowLength);
    glPixelStorei(GL_PACK_SKIP_ROWS, s.packSkipRows);
    glPixelStorei(GL_PACK_SKIP_PIXELS, s.packSkipPixels);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, s.pixelPackBuffer);
}
