#pragma once

#include "resources/resource.h"
#include "resources/resourceprocessor.h"

#include <memory>
#include <string>
#include <vector>

// GL_RGBA, kept here so that images need no OpenGL header.
constexpr unsigned kImageFormatRgba = 0x1908;

// An image resource named by a file name, decoded on demand into 8-bit RGBA
// pixel buffers (bottom row first, ready for glTexImage2D) held in its flags.
class ImageA : public Resource, public ResourceProcessor {
public:
    class ImageData : public Data {
    public:
        // The decoded pixels.
        class ImageFlags : public Flags {
        public:
            // Fills the flags from the data's file; on failure the flags stay
            // without levels.
            virtual void load(const ImageData& data) = 0;

            // Mipmap level 0 first, each width x height x 4 bytes.
            std::vector<std::unique_ptr<unsigned char[]>> levels;
            int levelCount = 0;
            unsigned format = kImageFormatRgba;
        };

        ImageData() = default;
        explicit ImageData(std::string fileName) : fileName(std::move(fileName)) {}

        const char* typeName(int depth) const override;
        bool isEmpty() const override { return fileName.empty(); }
        // Exact, case-sensitive file names.
        bool equals(const Data& other) const override;
        uint32_t hash() const override { return hashText(fileName); }

        // Relative to the asset root, as the caller passed it.
        const std::string fileName;
    };

    ImageA();
    ImageA(const ImageA& other);
    ImageA& operator=(const ImageA& other);
    ImageA(ImageA&&) = delete;
    ImageA& operator=(ImageA&&) = delete;

    Resource& assign(const Resource& other) override;

    // Makes this handle hold decoded pixels: adopts those of a handle of the
    // same image, or decodes the file. Throws InstantiationException
    // "error opening image " + file name; a later call tries the file again.
    void ensureLoaded();
    // Lets go of this handle's pixels; the last holder frees them.
    void unload() { releaseFlags(); }

    // IllegalStateException "smart reference is empty" for a released handle.
    ImageData& getData() const;
    // IllegalStateException "smart reference has no flags" before loading.
    ImageData::ImageFlags& getFlags() const;
    int getMipmapCount() const { return getFlags().levelCount; }
    unsigned getFormat() const { return getFlags().format; }
    // IllegalArgumentException "mipmap level out of range".
    const unsigned char* getMipmap(int level) const;

    // Adopts the flags of the first visited handle that has any.
    bool process(Resource& handle) override;

protected:
    explicit ImageA(Data* shared) : Resource(shared) {}
    explicit ImageA(std::unique_ptr<Data> fresh) : Resource(std::move(fresh)) {}
};

// A two-dimensional image from a PNG file: power-of-two sizes of 8-bit
// palette, grey, RGB or RGBA pixels. Handles of the same file share one data
// object through the ResourceManager.
class Image2D : public ImageA {
public:
    class Image2DData : public ImageData {
    public:
        class Image2DFlags : public ImageFlags {
        public:
            std::unique_ptr<Flags> clone() const override;
            // Decodes the PNG file at resolvePath(data.fileName).
            void load(const ImageData& data) override;

            int width = 0;
            int height = 0;
        };

        Image2DData() = default;
        explicit Image2DData(std::string fileName) : ImageData(std::move(fileName)) {}

        const char* typeName(int depth) const override;
        // "class Image2D: file=<name>, width=<w>, height=<h>, loaded (...)" or
        // "class Image2D: file=<name>, unloaded (...)".
        std::string describe(const Flags* flags) const override;
        std::unique_ptr<Data> clone() const override;
        std::unique_ptr<Flags> createFlags() const override;
        bool isManaged() const override { return true; }
    };

    // Width and height above this are refused while decoding; the texture
    // upload checks OpenGL's own limit.
    static constexpr int kMaxSize = 8192;

    Image2D();
    // Shares the data of a registered image of the same file; decodes nothing.
    explicit Image2D(const std::string& fileName);
    Image2D(const Image2D& other);
    Image2D& operator=(const Image2D& other);
    Image2D(Image2D&&) = delete;
    Image2D& operator=(Image2D&&) = delete;

    Resource& assign(const Resource& other) override;

    Image2DData::Image2DFlags& getFlags() const;
    int getWidth() const { return getFlags().width; }
    int getHeight() const { return getFlags().height; }
};
