#include "resources/texture.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"

#include <GL/glu.h>

#include <algorithm>

namespace {
const char* const kSource = "Texture";
const char* const kEmptyReference = "illegal use of empty smart reference";

static_assert(kImageFormatRgba == GL_RGBA, "images hand their pixels to OpenGL as GL_RGBA");
} // namespace

std::unique_ptr<Resource::Data::Flags> Texture::TextureData::TextureFlags::clone() const {
    auto copy = std::make_unique<TextureFlags>();
    copy->parameters = parameters;
    return copy;
}

Texture::TextureData::~TextureData() {
    TextureData::destroy();
}

const char* Texture::TextureData::typeName(int depth) const {
    return depth == 0 ? typeNameOf<Texture>() : Data::typeName(depth - 1);
}

std::unique_ptr<Resource::Data::Flags> Texture::TextureData::createFlags() const {
    return std::make_unique<TextureFlags>();
}

void Texture::TextureData::load(Image2D&, bool) {}

void Texture::TextureData::destroy() {
    if (textureId != 0) {
        glDeleteTextures(1, &textureId);
        textureId = 0;
    }
}

void Texture::TextureData::bind(const TextureFlags* flags) const {
    if (textureId == 0) {
        throw IllegalStateException("use load() first");
    }
    const GLenum target = getTarget();
    glBindTexture(target, textureId);
    if (flags == nullptr) {
        return;
    }
    for (const auto& [name, parameter] : flags->parameters) {
        if (!parameter.apply(target, name)) {
            throw IllegalArgumentException("function for the type of at least one stored parameter is NULL.");
        }
    }
}

Texture::Texture() : Texture(emptyData<TextureData>()) {}

Texture::Texture(const Texture& other) : Resource(other) {}

Texture& Texture::operator=(const Texture& other) {
    assign(other);
    return *this;
}

Resource& Texture::assign(const Resource& other) {
    checkAssignable<TextureData>(other);
    return Resource::assign(other);
}

Texture::TextureData& Texture::getData() const {
    return downcast<TextureData>(data, kEmptyReference);
}

Texture::TextureData::TextureFlags& Texture::getFlags() const {
    return downcast<TextureData::TextureFlags>(flags, kEmptyReference);
}

void Texture::bind() const {
    getData().bind(dynamic_cast<const TextureData::TextureFlags*>(flags));
}

void Texture::setParameter(GLenum name, GLint value) {
    getFlags().parameters.insert_or_assign(name, TextureParameter(static_cast<int32_t>(value)));
}

const char* Texture2D::Texture2DData::typeName(int depth) const {
    return depth == 0 ? typeNameOf<Texture2D>() : TextureData::typeName(depth - 1);
}

void Texture2D::Texture2DData::load(Image2D& image, bool mipmaps) {
    if (image.isEmpty()) {
        throw IllegalArgumentException("image is empty!!!");
    }
    image.ensureLoaded();
    if (textureId != 0) {
        return;
    }
    const int imageWidth = image.getWidth();
    const int imageHeight = image.getHeight();
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize > 0 && (imageWidth > maxSize || imageHeight > maxSize)) {
        const std::string& fileName = image.getData().fileName;
        image.unload();
        log(WARNING, kSource,
            "image is larger than the largest texture of " + ::toString(maxSize) + " pixels " + fileName);
        throw InstantiationException("error opening image " + fileName);
    }
    width = imageWidth;
    height = imageHeight;
    levelCount = mipmaps ? std::max(log2(width), log2(height)) : image.getMipmapCount();
    format = image.getFormat();

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &textureId);
    bind(nullptr);
    if (mipmaps) {
        const GLint result = gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA,
                                               GL_UNSIGNED_BYTE, image.getMipmap(0));
        if (result != 0) {
            log(WARNING, kSource,
                std::string("building mipmaps failed: ") +
                    reinterpret_cast<const char*>(gluErrorString(result)));
        }
    } else {
        for (int level = 0; level < levelCount; ++level) {
            glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(format), std::max(1, width >> level),
                         std::max(1, height >> level), 0, format, GL_UNSIGNED_BYTE, image.getMipmap(level));
        }
    }
    image.unload();
}

Texture2D::Texture2D() : Texture2D(emptyData<Texture2DData>()) {}

Texture2D::Texture2D(const Texture2D& other) : Texture(other) {}

Texture2D& Texture2D::operator=(const Texture2D& other) {
    assign(other);
    return *this;
}

Resource& Texture2D::assign(const Resource& other) {
    checkAssignable<Texture2DData>(other);
    return Resource::assign(other);
}

ImageTexture2D::ImageTexture2DData::ImageTexture2DData(Image2D& source, bool mipmaps, bool flag)
    : image(source), flag(flag) {
    // The copy drops the pixels it may have shared: after the upload only the
    // OpenGL copy stays resident.
    image.unload();
    load(source, mipmaps);
}

const char* ImageTexture2D::ImageTexture2DData::typeName(int depth) const {
    return depth == 0 ? typeNameOf<ImageTexture2D>() : Texture2DData::typeName(depth - 1);
}

std::string ImageTexture2D::ImageTexture2DData::describe(const Flags*) const {
    return image.toString();
}

std::unique_ptr<Resource::Data> ImageTexture2D::ImageTexture2DData::clone() const {
    throw InstantiationException("ImageTexture2D can't be cloned");
}

bool ImageTexture2D::ImageTexture2DData::equals(const Data& other) const {
    const auto* texture = dynamic_cast<const ImageTexture2DData*>(&other);
    return texture != nullptr && image.equals(texture->image);
}

ImageTexture2D::ImageTexture2D() : Texture2D(emptyData<ImageTexture2DData>()) {}

ImageTexture2D::ImageTexture2D(Image2D& image, bool mipmaps, bool flag)
    : Texture2D(std::make_unique<ImageTexture2DData>(image, mipmaps, flag)) {
    if (shareRegistered(emptyData<ImageTexture2DData>())) {
        return;
    }
    makeFlagsMutable();
    setParameter(GL_TEXTURE_WRAP_S, GL_REPEAT);
    setParameter(GL_TEXTURE_WRAP_T, GL_REPEAT);
    setParameter(GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // A mipmap filter on a texture without its mipmap chain would leave the
    // texture incomplete, and it would not show at all.
    setParameter(GL_TEXTURE_MIN_FILTER, mipmaps ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    manage();
}

ImageTexture2D::ImageTexture2D(const ImageTexture2D& other) : Texture2D(other) {}

ImageTexture2D& ImageTexture2D::operator=(const ImageTexture2D& other) {
    assign(other);
    return *this;
}

ImageTexture2D ImageTexture2D::fromFile(const std::string& fileName) {
    Image2D image(fileName);
    return ImageTexture2D(image, true, true);
}

Resource& ImageTexture2D::assign(const Resource& other) {
    checkAssignable<ImageTexture2DData>(other);
    return Resource::assign(other);
}
