#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

// PNG files for decoder tests, written and read with libpng itself.
namespace PngFiles {

struct Picture {
    int width = 0, height = 0;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    // Rows from the top, each packed as the format stores it.
    std::vector<uint8_t> rows;
    std::vector<png_color> palette;
};

// An 8-bit picture of the colour type whose bytes follow a simple pattern.
Picture pattern(int width, int height, int colorType);

// Throws std::runtime_error when libpng refuses.
void write(const std::string& path, const Picture& picture);

struct Reference {
    int width = 0, height = 0, colorType = 0, bitDepth = 0;
    // 8-bit RGBA, bottom row first; opaque unless the file has an alpha channel.
    std::vector<uint8_t> rgba;
};

// libpng's own expanding read (palette and grey to RGB, 16 to 8 bits, filler
// alpha, interlace handling). False when libpng fails.
bool readReference(const std::string& path, Reference& out);

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace PngFiles
