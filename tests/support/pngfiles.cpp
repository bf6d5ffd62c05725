#include "support/pngfiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace PngFiles {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// libpng's errors longjmp to the setjmp in the function that called it, so
// libpng is only called from the plain functions below, which hold nothing
// with a destructor.
[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

bool writeRaw(std::FILE* file, const Picture* picture, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    // Out-of-range palette indices are written on purpose by some tests.
    png_set_check_for_invalid_index(png, 1);
    png_set_IHDR(png, info, picture->width, picture->height, picture->bitDepth, picture->colorType,
                 picture->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture->palette.empty()) {
        png_set_PLTE(png, info, picture->palette.data(), static_cast<int>(picture->palette.size()));
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Reads into out, bottom row first, through rows, which it sizes: the
// caller holds everything with a destructor.
bool readRaw(png_structp png, png_infop info, std::FILE* file, Reference* out, std::vector<png_bytep>* rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    png_get_IHDR(png, info, &width, &height, &out->bitDepth, &out->colorType, nullptr, nullptr, nullptr);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != static_cast<size_t>(width) * 4) {
        return false;
    }
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->rgba.assign(rowBytes * height, 0);
    rows->resize(height);
    for (size_t y = 0; y < height; ++y) {
        (*rows)[y] = out->rgba.data() + (height - 1 - y) * rowBytes;
    }
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    return true;
}

struct ReadStruct {
    ReadStruct() = default;
    ~ReadStruct() { png_destroy_read_struct(&png, &info, nullptr); }
    ReadStruct(const ReadStruct&) = delete;
    ReadStruct& operator=(const ReadStruct&) = delete;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
};

} // namespace

Picture pattern(int width, int height, int colorType) {
    Picture picture{width, height, colorType, 8, false, {}, {}};
    // Bytes per pixel of the colour types grey, -, RGB, palette, grey and alpha, -, RGBA.
    constexpr size_t kPixelBytes[] = {1, 0, 3, 1, 2, 0, 4};
    const size_t rowBytes = static_cast<size_t>(width) * kPixelBytes[colorType];
    picture.rows.resize(rowBytes * height);
    for (size_t i = 0; i < picture.rows.size(); ++i) {
        picture.rows[i] = static_cast<uint8_t>(i * 7 + i / rowBytes * 13);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < 256; ++i) {
            picture.palette.push_back(png_color{static_cast<png_byte>(i), static_cast<png_byte>(255 - i),
                                                static_cast<png_byte>(i * 3)});
        }
    }
    return picture;
}

void write(const std::string& path, const Picture& picture) {
    File file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        throw std::runtime_error("cannot create " + path);
    }
    const size_t rowBytes = picture.height == 0 ? 0 : picture.rows.size() / picture.height;
    std::vector<uint8_t> rows = picture.rows;
    std::vector<png_bytep> pointers(picture.height);
    for (int y = 0; y < picture.height; ++y) {
        pointers[y] = rows.data() + y * rowBytes;
    }
    if (!writeRaw(file.get(), &picture, pointers.data())) {
        throw std::runtime_error("libpng refused to write " + path);
    }
}

bool readReference(const std::string& path, Reference& out) {
    File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    ReadStruct read;
    std::vector<png_bytep> rows;
    if (!file || read.png == nullptr || read.info == nullptr ||
        !readRaw(read.png, read.info, file.get(), &out, &rows)) {
        return false;
    }
    if ((out.colorType & PNG_COLOR_MASK_ALPHA) == 0) {
        // Transparency chunks give no alpha in the decoder under test.
        for (size_t i = 3; i < out.rgba.size(); i += 4) {
            out.rgba[i] = 0xff;
        }
    }
    return true;
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace PngFiles
