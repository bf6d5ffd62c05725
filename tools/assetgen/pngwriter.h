#pragma once

#include "tools/assetgen/canvas.h"

#include <string>

// Writes 8-bit, non-interlaced RGB or RGBA PNG files: the only formats the
// game's loader needs, and no time stamp, so the bytes depend on the picture
// alone.
class PngWriter {
public:
    // Throws std::runtime_error naming the path when the file cannot be written.
    static void write(const std::string& path, const Canvas& image, PixelFormat format);
};
