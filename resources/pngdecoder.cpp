#include "resources/pngdecoder.h"

#include <cstdint>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace {
constexpr size_t kSignatureLength = 8;
constexpr int kPaletteEntries = 256;
constexpr int kAcceptedBitDepth = 8;
constexpr size_t kRgbaBytes = 4;
constexpr unsigned char kOpaque = 255;
// Deflate turns one byte at most into 1032 (a 258-byte match coded in two
// bits); the zlib header and the first literal add a little.
constexpr size_t kMaxInflateRatio = 1032;
constexpr size_t kInflateSlack = 1024;
// A chunk: its length and type, the data, then its CRC.
constexpr int64_t kChunkHeaderLength = 8;
constexpr int64_t kChunkCrcLength = 4;

// What the header read hands to the C++ side: plain data only.
struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    size_t rowBytes;
    png_color palette[kPaletteEntries];
    int paletteSize;
};

// No message on standard error: the caller reports which file failed.
[[noreturn]] void failDecoding(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// libpng reports errors by a longjmp to the setjmp of the function that
// called it, skipping every frame in between. So libpng is called only from
// readHeader and readRows, after their setjmp, and they hold nothing that
// needs a destructor; the C++ work happens in their caller.
bool readHeader(png_structp png, png_infop info, std::FILE* file, PngHeader* header) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_set_sig_bytes(png, static_cast<int>(kSignatureLength));
    png_read_info(png, info);
    png_get_IHDR(png, info, &header->width, &header->height, &header->bitDepth, &header->colorType, nullptr,
                 nullptr, nullptr);
    // Interlaced files arrive as whole rows after all passes.
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->rowBytes = png_get_rowbytes(png, info);
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) != 0 && palette != nullptr && count > 0) {
        header->paletteSize = count < kPaletteEntries ? count : kPaletteEntries;
        std::memcpy(header->palette, palette, sizeof(png_color) * header->paletteSize);
    }
    return true;
}

bool readRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Whether a file of fileSize bytes can hold the compressed rows at all: each
// row is stored with one filter byte in front. A small file claiming a huge
// picture is refused before the picture's memory is taken.
bool rowsFitInFile(int64_t fileSize, size_t rowBytes, size_t height) {
    return (rowBytes + 1) * height <= static_cast<size_t>(fileSize) * kMaxInflateRatio + kInflateSlack;
}

// Whether every chunk's stated length fits in the rest of the file. libpng
// takes memory for a whole ancillary chunk before reading it and believes
// the length it is told: a 57-byte file claiming a 1 GB chunk cost a
// gigabyte. Leaves the file just after the signature.
bool chunksFitInFile(std::FILE* file, int64_t fileSize) {
    int64_t position = kSignatureLength;
    while (position + kChunkHeaderLength <= fileSize) {
        unsigned char header[kChunkHeaderLength];
        if (fseeko(file, position, SEEK_SET) != 0 ||
            std::fread(header, 1, sizeof(header), file) != sizeof(header)) {
            return false;
        }
        const int64_t length = png_get_uint_32(header);
        position += kChunkHeaderLength + length + kChunkCrcLength;
        if (position > fileSize) {
            return false;
        }
        if (std::memcmp(header + 4, "IEND", 4) == 0) {
            break;
        }
    }
    return fseeko(file, kSignatureLength, SEEK_SET) == 0;
}

bool isPowerOfTwo(png_uint_32 n) {
    return n != 0 && (n & (n - 1)) == 0;
}

// Bytes per stored pixel of the accepted formats, 0 for the others.
size_t storedPixelBytes(const PngHeader& header) {
    if (header.bitDepth != kAcceptedBitDepth) {
        return 0;
    }
    switch (header.colorType) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY:
        return 1;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 0;
    }
}

void expandToRgba(const PngHeader& header, const unsigned char* stored, unsigned char* rgba, size_t pixels) {
    static const png_color kBlack = {0, 0, 0};
    for (size_t i = 0; i < pixels; ++i, rgba += kRgbaBytes) {
        switch (header.colorType) {
        case PNG_COLOR_TYPE_PALETTE: {
            const png_color& entry = stored[i] < header.paletteSize ? header.palette[stored[i]] : kBlack;
            rgba[0] = entry.red;
            rgba[1] = entry.green;
            rgba[2] = entry.blue;
            break;
        }
        case PNG_COLOR_TYPE_GRAY:
            rgba[0] = rgba[1] = rgba[2] = stored[i];
            break;
        default:
            std::memcpy(rgba, stored + i * 3, 3);
            break;
        }
        rgba[3] = kOpaque;
    }
}
} // namespace

PngDecoder::PngDecoder(const std::string& path) {
    file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return;
    }
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failDecoding, ignoreWarning);
    if (png != nullptr) {
        info = png_create_info_struct(png);
    }
}

PngDecoder::~PngDecoder() {
    if (png != nullptr) {
        png_destroy_read_struct(&png, &info, nullptr);
    }
    if (file != nullptr) {
        std::fclose(file);
    }
}

PngDecoder::Result PngDecoder::decode(int maxSize, PngPicture& out) {
    if (file == nullptr || png == nullptr || info == nullptr) {
        return Result::Unreadable;
    }
    unsigned char signature[kSignatureLength];
    if (std::fread(signature, 1, kSignatureLength, file) != kSignatureLength ||
        png_sig_cmp(signature, 0, kSignatureLength) != 0) {
        return Result::Unreadable;
    }
    struct stat status {};
    if (::fstat(fileno(file), &status) != 0 || !chunksFitInFile(file, status.st_size)) {
        return Result::Unreadable;
    }
    PngHeader header{};
    if (!readHeader(png, info, file, &header)) {
        return Result::Unreadable;
    }
    if (!isPowerOfTwo(header.width) || !isPowerOfTwo(header.height)) {
        return Result::NotPowerOfTwo;
    }
    const size_t pixelBytes = storedPixelBytes(header);
    if (pixelBytes == 0) {
        return Result::UnknownFormat;
    }
    const size_t width = header.width;
    const size_t height = header.height;
    if (maxSize <= 0 || width > static_cast<size_t>(maxSize) || height > static_cast<size_t>(maxSize)) {
        return Result::TooLarge;
    }
    const size_t rowBytes = width * pixelBytes;
    if (header.rowBytes != rowBytes) {
        return Result::UnknownFormat;
    }
    if (!rowsFitInFile(status.st_size, rowBytes, height)) {
        return Result::Unreadable;
    }

    auto pixels = std::make_unique<unsigned char[]>(width * height * kRgbaBytes);
    std::unique_ptr<unsigned char[]> storedPixels;
    unsigned char* target = pixels.get();
    if (pixelBytes != kRgbaBytes) {
        storedPixels = std::make_unique<unsigned char[]>(rowBytes * height);
        target = storedPixels.get();
    }
    // Bottom row of the picture first, as OpenGL takes it.
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < height; ++y) {
        rows[y] = target + (height - 1 - y) * rowBytes;
    }
    if (!readRows(png, rows.data())) {
        return Result::Unreadable;
    }
    if (storedPixels) {
        expandToRgba(header, storedPixels.get(), pixels.get(), width * height);
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels = std::move(pixels);
    return Result::Decoded;
}
