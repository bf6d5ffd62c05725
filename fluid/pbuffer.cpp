#include "fluid/pbuffer.h"

#include "fluid/rendercontext.h"
#include "resources/material.h"

#include <cstdio>
#include <cstdlib>

namespace {

using A = PBufferAttribute;

constexpr int kColourBits = 8;
constexpr int kStencilBits = 8;
constexpr int kHalfFloatBits = 16;
constexpr int kFullFloatBits = 32;
constexpr int kPackedDepthBits = 24;

constexpr GLenum kSamplingParameters[4] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S,
                                           GL_TEXTURE_WRAP_T};

const char* const kNoPixelFormat = "pbuffer creation error:  Couldn't find a suitable pixel format.\n";
const char* const kCreateFailed = "pbuffer creation error:  wglCreatePbufferARB() failed\n";
const char* const kInvalidPixelFormat = "error:  ERROR_INVALID_PIXEL_FORMAT\n";
const char* const kNoSystemResources = "error:  ERROR_NO_SYSTEM_RESOURCES\n";
const char* const kInvalidData = "error:  ERROR_INVALID_DATA\n";

void add(std::vector<int32_t>& list, A attribute, int32_t value) {
    list.push_back(static_cast<int32_t>(attribute));
    list.push_back(value);
}

void add(std::vector<int32_t>& list, A attribute, A value) {
    add(list, attribute, static_cast<int32_t>(value));
}

void addColourBits(std::vector<int32_t>& list, int32_t bits) {
    add(list, A::RedBits, bits);
    add(list, A::GreenBits, bits);
    add(list, A::BlueBits, bits);
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The integer after the first "=", 1 when there is none.
int tokenValue(const std::string& token) {
    const size_t equals = token.find('=');
    if (equals == std::string::npos || equals + 1 == token.size()) {
        return 1;
    }
    return std::atoi(token.c_str() + equals + 1);
}

std::vector<std::string> splitAtSpaces(const std::string& text) {
    std::vector<std::string> tokens;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        // Doubled spaces give no empty attribute.
        if (end > start) {
            tokens.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return tokens;
}

// The value of attribute in a 0-terminated pair list, or fallback.
int32_t valueOf(const std::vector<int32_t>& list, A attribute, int32_t fallback) {
    int32_t value = fallback;
    for (size_t i = 0; i + 1 < list.size() && list[i] != 0; i += 2) {
        if (list[i] == static_cast<int32_t>(attribute)) {
            value = list[i + 1];
        }
    }
    return value;
}

GLenum bindingQuery(GLenum target) {
    return target == GL_TEXTURE_2D ? GL_TEXTURE_BINDING_2D : GL_TEXTURE_BINDING_RECTANGLE;
}

} // namespace

PBuffer::PBuffer(const char* modeText) : mode(modeText != nullptr ? modeText : "") {
    add(pixelFormatAttribs, A::DrawToPbuffer, 1);
    add(pixelFormatAttribs, A::SupportOpenGL, 1);
    add(pixelFormatAttribs, A::PixelType, A::TypeRgba);
    add(pbufferAttribs, A::PbufferLargest, 1);
    parseMode();
    pixelFormatAttribs.push_back(0);
    pbufferAttribs.push_back(0);
}

PBuffer::~PBuffer() {
    if (isInitialized()) {
        letGo();
    }
}

bool PBuffer::isDrawTarget() const {
    return RenderContext::current() == context.get() && context->getFramebuffer() == framebuffer.get();
}

void PBuffer::letGo() {
    if (isBound) {
        release();
    }
    // Deleting the drawable in use would leave its context drawing nowhere.
    if (isDrawTarget()) {
        makeWindowCurrent();
    }
}

void PBuffer::freeTargets() {
    framebuffer.reset();
    colourTexture.reset();
    depthBuffer.reset();
}

void PBuffer::parseMode() {
    const std::vector<std::string> tokens = splitAtSpaces(mode);
    bool isFloat = false;
    bool hasTexture = false;
    bool hasAlpha = false;
    for (const std::string& token : tokens) {
        isFloat = isFloat || token.find("float") != std::string::npos;
        hasTexture = hasTexture || token.find("texture") != std::string::npos;
        hasAlpha = hasAlpha || token.find("alpha") != std::string::npos;
    }
    for (const std::string& token : tokens) {
        const int value = tokenValue(token);
        if (token == "rgb" && !isFloat) {
            addColourBits(pixelFormatAttribs, kColourBits);
        } else if (token == "alpha" && !isFloat) {
            add(pixelFormatAttribs, A::AlphaBits, kColourBits);
        } else if (startsWith(token, "depth")) {
            add(pixelFormatAttribs, A::DepthBits, value);
        } else if (startsWith(token, "stencil")) {
            add(pixelFormatAttribs, A::StencilBits, kStencilBits);
        } else if (startsWith(token, "samples")) {
            add(pixelFormatAttribs, A::SampleBuffers, 1);
            add(pixelFormatAttribs, A::Samples, value);
        } else if (token == "double") {
            add(pixelFormatAttribs, A::DoubleBuffer, 1);
        } else if (startsWith(token, "float")) {
            addColourBits(pixelFormatAttribs, value);
            if (hasAlpha) {
                add(pixelFormatAttribs, A::AlphaBits, value);
            }
            add(pixelFormatAttribs, A::FloatComponents, 1);
        } else if (startsWith(token, "texture")) {
            if (startsWith(token, "textureRECT") || isFloat) {
                add(pbufferAttribs, A::TextureTarget, A::TextureRectangle);
            } else if (startsWith(token, "textureCUBE")) {
                add(pbufferAttribs, A::TextureTarget, A::TextureCubeMap);
            } else {
                add(pbufferAttribs, A::TextureTarget, A::Texture2D);
            }
            if (isFloat) {
                add(pixelFormatAttribs, A::BindToTextureRectangleFloatRgba, 1);
                add(pbufferAttribs, A::TextureFormat, A::TextureFloatRgba);
            } else {
                add(pixelFormatAttribs, A::BindToTextureRgba, 1);
                add(pbufferAttribs, A::TextureFormat, A::TextureRgba);
            }
            const size_t equals = token.find('=');
            if (equals != std::string::npos && token.compare(equals + 1, std::string::npos, "depth") == 0) {
                add(pixelFormatAttribs, A::BindToTextureDepth, 1);
                add(pbufferAttribs, A::DepthTextureFormat, A::TextureDepthComponent);
            }
        } else if (startsWith(token, "mipmap") && hasTexture) {
            add(pbufferAttribs, A::MipmapTexture, 1);
        } else {
            std::fprintf(stderr, "unknown pbuffer attribute: %s\n", token.c_str());
        }
    }
}

bool PBuffer::chooseFormat(const std::vector<int32_t>& pixelFormat, const std::vector<int32_t>& pbuffer,
                           PBufferFormat* out) {
    PBufferFormat format;
    // Multisampled images and depth images cannot be read as the colour
    // texture a framebuffer object renders into.
    if (valueOf(pixelFormat, A::SampleBuffers, 0) != 0 ||
        valueOf(pixelFormat, A::BindToTextureDepth, 0) != 0) {
        return false;
    }
    format.isFloat = valueOf(pixelFormat, A::FloatComponents, 0) != 0;
    if (format.isFloat) {
        const int bits = valueOf(pixelFormat, A::RedBits, 0);
        if (bits <= 0 || bits > kFullFloatBits) {
            return false;
        }
        format.colourFormat = bits <= kHalfFloatBits ? GL_RGBA16F : GL_RGBA32F;
    } else {
        if (valueOf(pixelFormat, A::RedBits, 0) > kColourBits ||
            valueOf(pixelFormat, A::AlphaBits, 0) > kColourBits) {
            return false;
        }
        format.colourFormat = GL_RGBA8;
    }
    const int depthBits = valueOf(pixelFormat, A::DepthBits, 0);
    const bool stencil = valueOf(pixelFormat, A::StencilBits, 0) > 0;
    if (depthBits < 0 || depthBits > kFullFloatBits) {
        return false;
    }
    if (stencil) {
        format.depthFormat = depthBits <= kPackedDepthBits ? GL_DEPTH24_STENCIL8 : GL_DEPTH32F_STENCIL8;
    } else if (depthBits > 0) {
        format.depthFormat = depthBits <= kPackedDepthBits ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT32F;
    }
    const int32_t target = valueOf(pbuffer, A::TextureTarget, static_cast<int32_t>(A::TextureRectangle));
    if (target == static_cast<int32_t>(A::TextureCubeMap)) {
        return false;
    }
    format.textureTarget =
        target == static_cast<int32_t>(A::Texture2D) ? GL_TEXTURE_2D : GL_TEXTURE_RECTANGLE;
    format.isTexture = valueOf(pbuffer, A::TextureFormat, 0) != 0;
    *out = format;
    return true;
}

bool PBuffer::initialize(int requestedWidth, int requestedHeight, bool shared, bool share) {
    if (isInitialized()) {
        letGo();
        freeTargets();
        context.reset();
        isTexture = false;
    }
    RenderContext* creator = RenderContext::current();
    width = requestedWidth;
    height = requestedHeight;
    sharedContext = shared;
    shareObjects = share;

    PBufferFormat format;
    const bool supported = RenderContext::isReady() && GLEW_ARB_framebuffer_object &&
                           chooseFormat(pixelFormatAttribs, pbufferAttribs, &format) &&
                           (!format.isFloat || GLEW_ARB_texture_float) &&
                           (format.textureTarget != GL_TEXTURE_RECTANGLE || GLEW_ARB_texture_rectangle);
    if (!supported) {
        std::fputs(kNoPixelFormat, stderr);
        return false;
    }
    if (!createTargets(format)) {
        return false;
    }
    textureTarget = format.textureTarget;
    // There is one real context, so objects are always shared with the
    // creating one; shareObjects asks for nothing more.
    context = sharedContext ? creator->shared_from_this() : RenderContext::create(width, height);
    isTexture = format.isTexture;
    std::fprintf(stderr, "Created a %d x %d pbuffer\n", width, height);
    return true;
}

bool PBuffer::createTargets(const PBufferFormat& format) {
    GLint maxSize = 0;
    glGetIntegerv(format.textureTarget == GL_TEXTURE_2D ? GL_MAX_TEXTURE_SIZE : GL_MAX_RECTANGLE_TEXTURE_SIZE,
                  &maxSize);
    GLint maxRenderbuffer = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    if (format.depthFormat != GL_NONE && maxRenderbuffer < maxSize) {
        maxSize = maxRenderbuffer;
    }
    // A buffer of another size than asked would make its users read or write
    // outside it: the size is exact or creation fails.
    if (width <= 0 || height <= 0 || width > maxSize || height > maxSize) {
        std::fputs(kCreateFailed, stderr);
        std::fputs(kInvalidData, stderr);
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint previousTexture = 0;
    GLint previousFramebuffer = 0;
    GLint previousRenderbuffer = 0;
    glGetIntegerv(bindingQuery(format.textureTarget), &previousTexture);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &previousRenderbuffer);

    colourTexture = GlTexture::generate();
    glBindTexture(format.textureTarget, colourTexture.get());
    samplingSource = 0;
    for (int i = 0; i < 4; ++i) {
        filterAndWrap[i] = i < 2 ? GL_NEAREST : GL_CLAMP_TO_EDGE;
        glTexParameteri(format.textureTarget, kSamplingParameters[i], filterAndWrap[i]);
    }
    glTexImage2D(format.textureTarget, 0, format.colourFormat, width, height, 0, GL_RGBA,
                 format.isFloat ? GL_FLOAT : GL_UNSIGNED_BYTE, nullptr);
    GLint obtainedWidth = 0;
    GLint obtainedHeight = 0;
    glGetTexLevelParameteriv(format.textureTarget, 0, GL_TEXTURE_WIDTH, &obtainedWidth);
    glGetTexLevelParameteriv(format.textureTarget, 0, GL_TEXTURE_HEIGHT, &obtainedHeight);
    if (format.depthFormat != GL_NONE) {
        depthBuffer = GlRenderbuffer::generate();
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer.get());
        glRenderbufferStorage(GL_RENDERBUFFER, format.depthFormat, width, height);
    }
    framebuffer = GlFramebuffer::generate();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.get());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, format.textureTarget, colourTexture.get(),
                           0);
    if (depthBuffer) {
        const bool packed =
            format.depthFormat == GL_DEPTH24_STENCIL8 || format.depthFormat == GL_DEPTH32F_STENCIL8;
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, packed ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, depthBuffer.get());
    }
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    const GLenum error = glGetError();

    glBindTexture(format.textureTarget, previousTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, previousFramebuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, previousRenderbuffer);

    const bool exact = obtainedWidth == width && obtainedHeight == height;
    if (status == GL_FRAMEBUFFER_COMPLETE && error == GL_NO_ERROR && exact) {
        return true;
    }
    std::fputs(kCreateFailed, stderr);
    std::fputs(error == GL_OUT_OF_MEMORY ? kNoSystemResources : kInvalidPixelFormat, stderr);
    freeTargets();
    return false;
}

void PBuffer::makeCurrent() {
    if (!isInitialized() || !context->makeCurrent(framebuffer.get())) {
        std::fputs("PBuffer::makeCurrent() failed.\n", stderr);
    }
}

namespace {
GLuint gWindowFramebuffer = 0;
} // namespace

void PBuffer::setWindowFramebuffer(GLuint framebuffer) {
    gWindowFramebuffer = framebuffer;
}

GLuint PBuffer::getWindowFramebuffer() {
    return gWindowFramebuffer;
}

void PBuffer::makeWindowCurrent() {
    if (!RenderContext::window()->makeCurrent(gWindowFramebuffer)) {
        std::fputs("PBuffer::makeWindowCurrent() failed.\n", stderr);
        return;
    }
    // Materials remember the state they last applied; a trip through the
    // buffers' contexts invalidates that memory.
    Material::resetLastApplied();
}

void PBuffer::bind() {
    if (!isTexture) {
        std::fputs("PBuffer::Bind() failed - pbuffer format does not support render to texture!\n", stderr);
        return;
    }
    if (isBound) {
        std::fputs("PBuffer::Bind() failed - pbuffer is already bound.\n", stderr);
        return;
    }
    // Reading the image that is being drawn into has no defined result.
    if (isDrawTarget()) {
        std::fputs("PBuffer::Bind() failed.\n", stderr);
        return;
    }
    // The image cannot become the displaced texture's storage, so the
    // buffer's own texture stands in for it and samples the way it would.
    glGetIntegerv(GL_ACTIVE_TEXTURE, &boundUnit);
    glGetIntegerv(bindingQuery(textureTarget), &displacedTexture);
    // A pass displaces the same name step after step: its sampling is read
    // once, not at every bind.
    if (displacedTexture != samplingSource || displacedTexture == 0) {
        GLint wanted[4];
        for (int i = 0; i < 4; ++i) {
            glGetTexParameteriv(textureTarget, kSamplingParameters[i], &wanted[i]);
        }
        glBindTexture(textureTarget, colourTexture.get());
        for (int i = 0; i < 4; ++i) {
            if (wanted[i] != filterAndWrap[i]) {
                glTexParameteri(textureTarget, kSamplingParameters[i], wanted[i]);
                filterAndWrap[i] = wanted[i];
            }
        }
        samplingSource = displacedTexture;
    } else {
        glBindTexture(textureTarget, colourTexture.get());
    }
    isBound = true;
}

void PBuffer::release() {
    if (!isTexture) {
        std::fputs("PBuffer::Release() failed - pbuffer format does not support render to texture!\n",
                   stderr);
        return;
    }
    if (!isBound) {
        std::fputs("PBuffer::Release() failed - pbuffer is not bound.\n", stderr);
        return;
    }
    GLint activeUnit = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    if (activeUnit != boundUnit) {
        glActiveTexture(boundUnit);
    }
    glBindTexture(textureTarget, displacedTexture);
    if (activeUnit != boundUnit) {
        glActiveTexture(activeUnit);
    }
    isBound = false;
}
