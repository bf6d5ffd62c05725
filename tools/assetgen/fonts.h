#pragma once

#include "ui/fontgrid.h"

#include <cmath>
#include <string>

class AssetSet;

// The glyph grid the game's text drawing reads (its own FontGridSize): cells
// of cellWidth by cellHeight pixels, the first character in the top left,
// counted in rows from the top edge of the picture.
struct FontGrid : FontGridSize {
    const char* name;
    // Outline radius in pixels, whether a drop shadow fits, how far below the
    // cell centre the glyphs sit (0 centred, 1 at the bottom), and the width of
    // the glyphs relative to the font's design (the cells are tall and narrow).
    float outline;
    bool dropShadow;
    float lowering;
    float widthScale;
    // The em size as a fraction of the largest that fits the cells: button
    // captions need room around them.
    float sizeScale;
    // Where the middle of the capitals sits, in pixels below the cell's middle
    // (or NaN to place the glyphs by `lowering`), and how many pixels left of
    // the cell's middle the glyphs are centred. A button draws its label 6
    // pixels right of and 4 up from the middle of its pill.
    float capsBelowMiddle;
    float shiftLeft;

    // The same look in the grid of another of the game's sizes: every
    // length in proportion.
    constexpr FontGrid scaled(int percent) const {
        const float factor = static_cast<float>(percent) / kFontFullSize;
        FontGrid grid = *this;
        static_cast<FontGridSize&>(grid) = scaledFontGrid(*this, percent);
        grid.outline = outline * factor;
        grid.capsBelowMiddle = capsBelowMiddle * factor;
        grid.shiftLeft = shiftLeft * factor;
        return grid;
    }
    float factor() const { return cellWidth / cellWidthAtFullSize; }
    // For the lengths given in pixels at the full size.
    float cellWidthAtFullSize;
};

constexpr int kFirstChar = kFontFirstChar;
constexpr int kLastChar = 126;
constexpr FontGrid kBigFont{kBigFontGrid, "fontbig", 2.0f, true, 0.35f,
                            0.92f,        0.85f,     2.0f, 6.0f, kBigFontGrid.cellWidth};
constexpr FontGrid kSmallFont{kSmallFontGrid, "fontsmall", 1.0f, false, 0.0f,
                              0.78f,          1.0f,        NAN,  0.0f,  kSmallFontGrid.cellWidth};

// textures/fonts/fontbig0..2.png and fontsmall0..2.png: plain, mouse-over and
// pressed looks of ASCII 33..126 and kFontExtraChars from the monospaced font files (the small
// font from the bold one); and the same at each of the game's other sizes
// (fontFileName).
void makeFontTextures(AssetSet& out, const std::string& monoFont, const std::string& monoBoldFont);
