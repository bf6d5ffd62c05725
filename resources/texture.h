#pragma once

#include <GL/glew.h>

#include "resources/image.h"
#include "resources/resource.h"
#include "resources/textureparameter.h"

#include <map>
#include <memory>

// A texture resource: its data owns one OpenGL texture object, its flags
// hold the parameters sent whenever it is bound.
class Texture : public Resource {
public:
    class TextureData : public Data {
    public:
        class TextureFlags : public Flags {
        public:
            std::unique_ptr<Flags> clone() const override;

            // Applied in ascending name order.
            std::map<GLenum, TextureParameter> parameters;
        };

        TextureData() = default;
        // Deletes the OpenGL texture.
        ~TextureData() override;

        const char* typeName(int depth) const override;
        std::unique_ptr<Flags> createFlags() const override;
        bool isEmpty() const override { return textureId == 0; }

        virtual GLenum getTarget() const { return 0; }
        // Uploads an image; nothing in this class.
        virtual void load(Image2D& image, bool mipmaps);
        virtual void destroy();

        // Binds the texture and sends every parameter of flags (may be null).
        // IllegalStateException "use load() first" before an upload;
        // IllegalArgumentException when a parameter kind has no OpenGL
        // function (the ones before it have been sent).
        void bind(const TextureFlags* flags) const;

        int levelCount = 0;
        GLenum format = GL_RGBA;
        GLuint textureId = 0; // 0: no texture object
    };

    Texture();
    Texture(const Texture& other);
    Texture& operator=(const Texture& other);
    Texture(Texture&&) = delete;
    Texture& operator=(Texture&&) = delete;

    Resource& assign(const Resource& other) override;

    // IllegalStateException "illegal use of empty smart reference" when the
    // handle holds no texture data / no texture flags.
    TextureData& getData() const;
    TextureData::TextureFlags& getFlags() const;

    void bind() const;
    // 0 for a texture never uploaded.
    GLuint getId() const { return getData().textureId; }
    // Changes the flags in place: every handle sharing them sends the new
    // value at its next bind().
    void setParameter(GLenum name, GLint value);

protected:
    explicit Texture(Data* shared) : Resource(shared) {}
    explicit Texture(std::unique_ptr<Data> fresh) : Resource(std::move(fresh)) {}
};

// A two-dimensional texture.
class Texture2D : public Texture {
public:
    class Texture2DData : public TextureData {
    public:
        const char* typeName(int depth) const override;
        GLenum getTarget() const override { return GL_TEXTURE_2D; }
        // Decodes the image if needed, uploads it with a mipmap chain (or its
        // own levels), then lets go of the image's pixels. Throws
        // IllegalArgumentException "image is empty!!!", the image's decoding
        // failure, or InstantiationException when the image is larger than
        // OpenGL's largest texture.
        void load(Image2D& image, bool mipmaps) override;

        int width = -1;
        int height = -1;
    };

    Texture2D();
    Texture2D(const Texture2D& other);
    Texture2D& operator=(const Texture2D& other);
    Texture2D(Texture2D&&) = delete;
    Texture2D& operator=(Texture2D&&) = delete;

    Resource& assign(const Resource& other) override;

protected:
    explicit Texture2D(Data* shared) : Texture(shared) {}
    explicit Texture2D(std::unique_ptr<Data> fresh) : Texture(std::move(fresh)) {}
};

// The texture of an image file. All textures of the same file share one
// OpenGL texture and one parameter set through the ResourceManager.
class ImageTexture2D : public Texture2D {
public:
    class ImageTexture2DData : public Texture2DData {
    public:
        ImageTexture2DData() = default;
        // Uploads image (see Texture2DData::load) and keeps a handle on it
        // without its pixels.
        ImageTexture2DData(Image2D& image, bool mipmaps, bool flag);

        const char* typeName(int depth) const override;
        // The image's own description.
        std::string describe(const Flags* flags) const override;
        std::unique_ptr<Data> clone() const override;
        bool isManaged() const override { return true; }
        // Same image file.
        bool equals(const Data& other) const override;
        uint32_t hash() const override { return image.getSharedData().hash(); }

        // Identifies the texture and keeps the image's registry entry alive.
        Image2D image;
        bool flag = false; // recorded, not read
    };

    ImageTexture2D();
    // Shares the texture of image's file when one is registered (its first
    // upload and parameters are kept); otherwise uploads image and sets the
    // default parameters (repeat, linear magnification, linear
    // mipmap-nearest minification). Failures propagate; nothing stays
    // registered or allocated.
    ImageTexture2D(Image2D& image, bool mipmaps, bool flag);
    ImageTexture2D(const ImageTexture2D& other);
    ImageTexture2D& operator=(const ImageTexture2D& other);
    ImageTexture2D(ImageTexture2D&&) = delete;
    ImageTexture2D& operator=(ImageTexture2D&&) = delete;

    // ImageTexture2D(Image2D(fileName), true, true).
    static ImageTexture2D fromFile(const std::string& fileName);

    Resource& assign(const Resource& other) override;
};
