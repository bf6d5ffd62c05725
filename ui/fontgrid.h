#pragma once

// The glyph grids of the two bitmap fonts: the game's text samples its cells
// with them and the asset generator draws the font pictures to them. The
// pictures are square; the row counts are fractional because the cells do not
// fill a picture exactly.
struct FontGridSize {
    int textureSize;
    float columns;
    float rows;
};

constexpr FontGridSize kBigFontGrid{512, 17.0f, 10.25f};
constexpr FontGridSize kSmallFontGrid{256, 23.0f, 7.2f};
// "!": the space has no cell.
constexpr int kFontFirstChar = 33;
