#include "tools/assetgen/pngwriter.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {
// Fixed so that every libpng build of the same version makes the same bytes.
constexpr int kCompressionLevel = 6;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// Owns the libpng write and info structures.
class PngWriteStruct {
public:
    PngWriteStruct() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
    }
    ~PngWriteStruct() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
    PngWriteStruct(const PngWriteStruct&) = delete;
    PngWriteStruct& operator=(const PngWriteStruct&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// libpng reports errors by longjmp; this frame holds no C++ objects that
// would need unwinding, so the jump is safe.
bool writeImage(png_structp png, png_infop info, FILE* file, int width, int height, int colorType,
                png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, kCompressionLevel);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}
} // namespace

void PngWriter::write(const std::string& path, const Canvas& image, PixelFormat format) {
    std::vector<uint8_t> data = image.bytes(format);
    size_t stride = static_cast<size_t>(image.width()) * (format == PixelFormat::Rgba ? 4 : 3);
    std::vector<png_bytep> rows(image.height());
    for (int y = 0; y < image.height(); ++y) {
        rows[y] = data.data() + stride * y;
    }

    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        throw std::runtime_error("cannot create " + path);
    }
    PngWriteStruct writer;
    if (writer.png == nullptr || writer.info == nullptr) {
        throw std::runtime_error("libpng could not start writing " + path);
    }
    int colorType = format == PixelFormat::Rgba ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    if (!writeImage(writer.png, writer.info, file.get(), image.width(), image.height(), colorType,
                    rows.data())) {
        throw std::runtime_error("libpng failed writing " + path);
    }
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        throw std::runtime_error("error writing " + path);
    }
}
