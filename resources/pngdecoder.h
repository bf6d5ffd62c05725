#pragma once

#include <png.h>

#include <cstdio>
#include <memory>
#include <string>

// An 8-bit RGBA picture whose rows run from the bottom of the picture to the top.
struct PngPicture {
    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char[]> pixels;
};

// Reads one PNG file. Owns the open file and libpng's read structures for its
// whole life and frees them on every path.
class PngDecoder {
public:
    enum class Result { Decoded, Unreadable, NotPowerOfTwo, UnknownFormat, TooLarge };

    explicit PngDecoder(const std::string& path);
    ~PngDecoder();
    PngDecoder(const PngDecoder&) = delete;
    PngDecoder& operator=(const PngDecoder&) = delete;

    // Accepts power-of-two sizes up to maxSize of 8-bit palette, grey, RGB or
    // RGBA pixels, interlaced or not. Palette and grey pixels become opaque
    // RGBA; an index beyond the palette gives black. Call once: it consumes
    // the file.
    Result decode(int maxSize, PngPicture& out);

private:
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
};
