#pragma once

#include <string>

class AssetSet;

// The glyph grid the game's text drawing reads: cells of width
// textureWidth / columns and height textureHeight / rows, character 33 in the
// top left, counted in rows from the top edge of the picture.
struct FontGrid {
    const char* name;
    int textureWidth, textureHeight;
    float columns, rows;
    // Outline radius in pixels, whether a drop shadow fits, how far below the
    // cell centre the glyphs sit (0 centred, 1 at the bottom), and the width of
    // the glyphs relative to the font's design (the cells are tall and narrow).
    float outline;
    bool dropShadow;
    float lowering;
    float widthScale;

    float cellWidth() const { return textureWidth / columns; }
    float cellHeight() const { return textureHeight / rows; }
};

constexpr int kFirstChar = 33;
constexpr int kLastChar = 126;
constexpr FontGrid kBigFont{"fontbig", 512, 512, 17, 10.25f, 2.0f, true, 0.35f, 0.92f};
constexpr FontGrid kSmallFont{"fontsmall", 256, 256, 23, 7.2f, 1.0f, false, 0.0f, 0.78f};

// textures/fonts/fontbig0..2.png and fontsmall0..2.png: plain, mouse-over and
// pressed looks of ASCII 33..126 from the monospaced font files (the small
// font from the bold one).
void makeFontTextures(AssetSet& out, const std::string& monoFont, const std::string& monoBoldFont);
