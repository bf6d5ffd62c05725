#pragma once

#include "support/pngfiles.h"
#include "ui/fontgrid.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

// Stand-in user-interface textures with the real file names and sizes, each
// painted so that a test can tell from a pixel which texture and which glyph
// cell was drawn.
namespace UiAssets {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

// Cell (column, row from the top, 0-based) of style s of a font.
inline Rgba glyphColour(int column, int row, int style) {
    return {static_cast<uint8_t>(40 + 10 * column), static_cast<uint8_t>(40 + 15 * row),
            static_cast<uint8_t>(160 + 40 * style), 255};
}
inline const Rgba kNormal = {200, 0, 0, 255};
inline const Rgba kMouseOver = {0, 200, 0, 255};
inline const Rgba kDown = {0, 0, 200, 255};
inline const Rgba kPointer = {255, 255, 0, 255};
inline const Rgba kLogo = {255, 0, 255, 255};

inline void writeRgba(const std::string& path, int width, int height,
                      const std::function<Rgba(int, int)>& paint) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    PngFiles::Picture picture{width, height, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba colour = paint(x, y);
            picture.rows.insert(picture.rows.end(), {colour.r, colour.g, colour.b, colour.a});
        }
    }
    PngFiles::write(path, picture);
}

// On the game's glyph grid at its full size; whole cells are painted, the
// rest of the texture stays transparent.
inline void writeFont(const std::string& directory, const std::string& name, const FontGridSize& grid) {
    // The cell holding a texel's centre.
    const auto cell = [](int at, float cellSize) {
        return static_cast<int>((at + 0.5f) / cellSize);
    };
    const int rows = static_cast<int>(grid.textureHeight / grid.cellHeight);
    for (int style = 0; style < 3; ++style) {
        writeRgba(directory + "/" + fontFileName(name, style, kFontFullSize), grid.textureWidth,
                  grid.textureHeight, [&](int x, int y) {
                      const int row = cell(y, grid.cellHeight);
                      return row < rows ? glyphColour(cell(x, grid.cellWidth), row, style) : Rgba{};
                  });
    }
}

inline void writeAll(const std::string& directory) {
    writeFont(directory, "fontbig", kBigFontGrid);
    writeFont(directory, "fontsmall", kSmallFontGrid);
    const char* const states[] = {"n", "mo", "d"};
    const Rgba colours[] = {kNormal, kMouseOver, kDown};
    for (int state = 0; state < 3; ++state) {
        for (const char* piece : {"a", "b", "c"}) {
            writeRgba(directory + "/textures/buttons/btn1" + piece + "_" + states[state] + ".png", 64, 64,
                      [&](int, int) { return colours[state]; });
        }
    }
    writeRgba(directory + "/textures/cursor/cursor1.png", 32, 32, [](int, int) { return kPointer; });
    writeRgba(directory + "/textures/menu/spr2-logo.png", 512, 128, [](int, int) { return kLogo; });
}

} // namespace UiAssets
