#pragma once

#include <string>

// The glyph grids of the two bitmap fonts: the game's text samples its cells
// with them and the asset generator draws the font pictures to them. Cells
// run from the top left of the picture, columns per row; at the full size the
// pictures are square and the cells do not fill them exactly.
struct FontGridSize {
    int textureWidth;
    int textureHeight;
    int columns;
    float cellWidth;
    float cellHeight;
};

// "!": the space has no cell. "~" is the last ASCII character with one.
constexpr int kFontFirstChar = 33;
constexpr int kFontLastChar = 126;
// Beyond ASCII the fonts hold these, in the cells after "~": the middle dot,
// the em dash and the ellipsis, which the network screens write.
constexpr char32_t kFontExtraChars[] = {U'\u00B7', U'\u2014', U'\u2026'};
constexpr int kFontExtraCount = static_cast<int>(sizeof kFontExtraChars / sizeof kFontExtraChars[0]);
constexpr int kFontAsciiCells = kFontLastChar - kFontFirstChar + 1;
constexpr int kFontCellCount = kFontAsciiCells + kFontExtraCount;

// The cell of a character, counted from the first character's; -1 for a
// character the fonts do not hold.
constexpr int fontCellOf(char32_t c) {
    if (c >= static_cast<char32_t>(kFontFirstChar) && c <= static_cast<char32_t>(kFontLastChar)) {
        return static_cast<int>(c) - kFontFirstChar;
    }
    for (int i = 0; i < kFontExtraCount; ++i) {
        if (kFontExtraChars[i] == c) {
            return kFontAsciiCells + i;
        }
    }
    return -1;
}

// The character of a cell (0 to kFontCellCount - 1).
constexpr char32_t fontCharOfCell(int cell) {
    return cell < kFontAsciiCells ? static_cast<char32_t>(kFontFirstChar + cell)
                                  : kFontExtraChars[cell - kFontAsciiCells];
}

constexpr FontGridSize kBigFontGrid{512, 512, 17, 512.0f / 17.0f, 512.0f / 10.25f};
constexpr FontGridSize kSmallFontGrid{256, 256, 23, 256.0f / 23.0f, 256.0f / 7.2f};

// Each font is made in these sizes, in percent of its grid above, so that
// larger text is drawn from larger glyphs instead of stretched ones.
constexpr int kFontPercents[] = {75, 100, 150, 200, 300};
constexpr int kFontFullSize = 100;

// The grid at a size: the cells in proportion, the picture the smallest
// power of two each way that holds every row of characters. The full size is
// the grid itself.
constexpr FontGridSize scaledFontGrid(const FontGridSize& grid, int percent) {
    if (percent == kFontFullSize) {
        return grid;
    }
    const float cellWidth = grid.cellWidth * static_cast<float>(percent) / kFontFullSize;
    const float cellHeight = grid.cellHeight * static_cast<float>(percent) / kFontFullSize;
    const int rows = (kFontCellCount + grid.columns - 1) / grid.columns;
    int width = 1;
    while (static_cast<float>(width) < static_cast<float>(grid.columns) * cellWidth) {
        width *= 2;
    }
    int height = 1;
    while (static_cast<float>(height) < static_cast<float>(rows) * cellHeight) {
        height *= 2;
    }
    return {width, height, grid.columns, cellWidth, cellHeight};
}

// textures/fonts/<name><style>.png at the full size, <name><style>-<percent>.png at the others.
inline std::string fontFileName(const std::string& name, int style, int percent) {
    std::string file = "textures/fonts/" + name + std::to_string(style);
    if (percent != kFontFullSize) {
        file += "-" + std::to_string(percent);
    }
    return file + ".png";
}
