#pragma once

#include "fluid/glname.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class RenderContext;

// Names of the attributes, and of their symbolic values, in a buffer's two
// attribute lists. The lists describe the buffer the way a pixel-format and
// pbuffer request would; the buffer is then realised with a framebuffer object.
enum class PBufferAttribute : int32_t {
    DrawToPbuffer = 1,
    SupportOpenGL,
    PixelType,
    TypeRgba,
    RedBits,
    GreenBits,
    BlueBits,
    AlphaBits,
    DepthBits,
    StencilBits,
    SampleBuffers,
    Samples,
    DoubleBuffer,
    FloatComponents,
    BindToTextureRectangleFloatRgba,
    BindToTextureRgba,
    BindToTextureDepth,
    PbufferLargest,
    TextureTarget,
    TextureRectangle,
    TextureCubeMap,
    Texture2D,
    TextureFormat,
    TextureFloatRgba,
    TextureRgba,
    DepthTextureFormat,
    TextureDepthComponent,
    MipmapTexture,
};

// What the attribute lists ask for, in the terms of this platform.
struct PBufferFormat {
    GLenum colourFormat = GL_RGBA8;
    GLenum depthFormat = GL_NONE;
    GLenum textureTarget = GL_TEXTURE_RECTANGLE;
    bool isFloat = false;
    bool isTexture = false;
};

// One offscreen render target described by a mode string ("float=16 alpha
// textureRECT"), bindable as a texture so that a pass can read what the one
// before wrote. It renders with a context of its own or with the one current
// at creation (see RenderContext). Diagnostics go to standard error.
class PBuffer {
public:
    // Builds the attribute lists from mode (copied; null means empty).
    // Creates nothing in OpenGL.
    explicit PBuffer(const char* mode);
    ~PBuffer();
    PBuffer(const PBuffer&) = delete;
    PBuffer& operator=(const PBuffer&) = delete;

    // Creates a buffer of exactly width x height, or fails; must run while
    // the window's OpenGL context exists.
    bool initialize(int width, int height, bool sharedContext, bool shareObjects);
    void makeCurrent();
    // Returns to the window: its context with all its state, and the window's
    // framebuffer (0, or the one set below).
    static void makeWindowCurrent();
    // A framebuffer that takes the window's place while the scene draws into
    // a picture of its own (0 for the window itself): buffers that hand the
    // window back return there.
    static void setWindowFramebuffer(GLuint framebuffer);
    static GLuint getWindowFramebuffer();
    // Shows the buffer's image through the texture unit that is active, in
    // place of the texture bound there and sampled as that name was when it
    // was first displaced, until release().
    void bind();
    void release();

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool isInitialized() const { return static_cast<bool>(framebuffer); }
    const std::string& getMode() const { return mode; }
    // Attribute/value pairs, 0-terminated.
    const std::vector<int32_t>& getPixelFormatAttribs() const { return pixelFormatAttribs; }
    const std::vector<int32_t>& getPbufferAttribs() const { return pbufferAttribs; }

    // The realisation of two attribute lists; false when this platform has
    // no such format.
    static bool chooseFormat(const std::vector<int32_t>& pixelFormat, const std::vector<int32_t>& pbuffer,
                             PBufferFormat* out);

private:
    void parseMode();
    bool createTargets(const PBufferFormat& format);
    void freeTargets();
    // Whether the current context is drawing into this buffer.
    bool isDrawTarget() const;
    // Released and not drawn into, ready to go or to be made anew.
    void letGo();

    std::vector<int32_t> pixelFormatAttribs;
    std::vector<int32_t> pbufferAttribs;
    bool isTexture = false;
    int width = 0;
    int height = 0;
    std::string mode;
    bool sharedContext = false;
    bool shareObjects = false;
    bool isBound = false;

    GlFramebuffer framebuffer;
    GlTexture colourTexture;
    GlRenderbuffer depthBuffer;
    GLenum textureTarget = GL_TEXTURE_RECTANGLE;
    // Own context, or the one borrowed at creation (kept alive while in use).
    std::shared_ptr<RenderContext> context;
    // What bind() displaced, for release() to put back.
    GLint displacedTexture = 0;
    GLint boundUnit = GL_TEXTURE0;
    // Sampling parameters last taken over from a displaced texture, and its
    // name: a name's sampling is read when it is first displaced (the
    // fluid's names keep theirs for life).
    GLint filterAndWrap[4] = {0, 0, 0, 0};
    GLint samplingSource = 0;
};
