#include "resources/image.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "resources/pngdecoder.h"
#include "resources/resourcemanager.h"

namespace {
const char* const kSource = "Image";
const char* const kNoFlags = "smart reference has no flags";

// The warning for a file the decoder refuses; empty for one it cannot read.
std::string refusal(PngDecoder::Result result) {
    switch (result) {
    case PngDecoder::Result::NotPowerOfTwo:
        return "texture dimensions are not power of 2 ";
    case PngDecoder::Result::UnknownFormat:
        return "png file has unknown format ";
    case PngDecoder::Result::TooLarge:
        return "image is larger than " + ::toString(Image2D::kMaxSize) + " pixels ";
    case PngDecoder::Result::Decoded:
    case PngDecoder::Result::Unreadable:
        break;
    }
    return std::string();
}
} // namespace

const char* ImageA::ImageData::typeName(int depth) const {
    return depth == 0 ? typeNameOf<ImageA>() : Data::typeName(depth - 1);
}

bool ImageA::ImageData::equals(const Data& other) const {
    const auto* image = dynamic_cast<const ImageData*>(&other);
    return image != nullptr && image->fileName == fileName;
}

ImageA::ImageA() : ImageA(emptyData<ImageData>()) {}

ImageA::ImageA(const ImageA& other) : Resource(other), ResourceProcessor() {}

ImageA& ImageA::operator=(const ImageA& other) {
    assign(other);
    return *this;
}

Resource& ImageA::assign(const Resource& other) {
    checkAssignable<ImageData>(other);
    return Resource::assign(other);
}

void ImageA::ensureLoaded() {
    if (flags != nullptr) {
        return;
    }
    ResourceManager::instance().processSharing(this, *this);
    if (flags != nullptr) {
        return;
    }
    const ImageData& image = getData();
    std::unique_ptr<Data::Flags> fresh = image.createFlags();
    auto* pixels = dynamic_cast<ImageData::ImageFlags*>(fresh.get());
    if (pixels == nullptr) {
        return;
    }
    // Attached only once decoded: a failed load leaves no flags behind, so the
    // next call reads the file again.
    pixels->load(image);
    takeFlags(std::move(fresh));
}

ImageA::ImageData& ImageA::getData() const {
    return downcast<ImageData>(data, "smart reference is empty");
}

ImageA::ImageData::ImageFlags& ImageA::getFlags() const {
    return downcast<ImageData::ImageFlags>(flags, kNoFlags);
}

const unsigned char* ImageA::getMipmap(int level) const {
    const ImageData::ImageFlags& pixels = getFlags();
    if (level < 0 || level >= pixels.levelCount) {
        throw IllegalArgumentException("mipmap level out of range");
    }
    return pixels.levels[level].get();
}

bool ImageA::process(Resource& handle) {
    if (flags != nullptr) {
        return false;
    }
    if (!holdsFlags(handle)) {
        return true;
    }
    shareFlagsOf(handle);
    return false;
}

std::unique_ptr<Resource::Data::Flags> Image2D::Image2DData::Image2DFlags::clone() const {
    throw InstantiationException("cloning of Image2D Flags not allowed");
}

void Image2D::Image2DData::Image2DFlags::load(const ImageData& data) {
    const std::string path = resolvePath(data.fileName);
    PngPicture picture;
    const PngDecoder::Result result = PngDecoder(path).decode(kMaxSize, picture);
    if (result != PngDecoder::Result::Decoded) {
        const std::string warning = refusal(result);
        if (!warning.empty()) {
            log(WARNING, kSource, warning + path);
        }
        throw InstantiationException("error opening image " + data.fileName);
    }
    levels.clear();
    levels.push_back(std::move(picture.pixels));
    levelCount = 1;
    format = kImageFormatRgba;
    width = picture.width;
    height = picture.height;
}

const char* Image2D::Image2DData::typeName(int depth) const {
    return depth == 0 ? typeNameOf<Image2D>() : ImageData::typeName(depth - 1);
}

std::string Image2D::Image2DData::describe(const Flags* flags) const {
    std::string text = std::string(typeName(0)) + ": file=" + fileName;
    if (flags != nullptr) {
        const auto* pixels = dynamic_cast<const Image2DFlags*>(flags);
        if (pixels != nullptr) {
            text += ", width=" + ::toString(pixels->width) + ", height=" + ::toString(pixels->height);
        }
        text += ", loaded";
    } else {
        text += ", unloaded";
    }
    return text + " (" + Data::describe(flags) + ")";
}

std::unique_ptr<Resource::Data> Image2D::Image2DData::clone() const {
    throw IllegalStateException("cloning not allowed");
}

std::unique_ptr<Resource::Data::Flags> Image2D::Image2DData::createFlags() const {
    return std::make_unique<Image2DFlags>();
}

Image2D::Image2D() : ImageA(emptyData<Image2DData>()) {}

Image2D::Image2D(const std::string& fileName) : ImageA(std::make_unique<Image2DData>(fileName)) {
    if (!shareRegistered(emptyData<Image2DData>()) && !data->isEmpty()) {
        manage();
    }
}

Image2D::Image2D(const Image2D& other) : ImageA(other) {}

Image2D& Image2D::operator=(const Image2D& other) {
    assign(other);
    return *this;
}

Resource& Image2D::assign(const Resource& other) {
    checkAssignable<Image2DData>(other);
    return Resource::assign(other);
}

Image2D::Image2DData::Image2DFlags& Image2D::getFlags() const {
    return downcast<Image2DData::Image2DFlags>(flags, kNoFlags);
}
