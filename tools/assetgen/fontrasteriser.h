#pragma once

#include "tools/assetgen/mask.h"

#include <memory>
#include <string>

struct FT_LibraryRec_;
struct FT_FaceRec_;

// Rasterises glyphs of one font file with FreeType into coverage masks.
class FontRasteriser {
public:
    // Throws std::runtime_error naming the file when it cannot be opened.
    explicit FontRasteriser(const std::string& fontPath);
    ~FontRasteriser();
    FontRasteriser(const FontRasteriser&) = delete;
    FontRasteriser& operator=(const FontRasteriser&) = delete;

    // Size of the em square in pixels (fractions allowed); widthScale below 1
    // condenses the glyphs.
    void setSize(float pixels, float widthScale = 1.0f);

    struct Glyph {
        Mask coverage;
        int left = 0; // from the pen position to the first column
        int top = 0;  // from the baseline up to the first row
        float advance = 0;
    };
    // The glyph with its pen position moved right by shiftX and down by shiftY
    // pixels (fractions allowed: glyphs can sit exactly on a fractional grid).
    Glyph glyph(unsigned long code, float shiftX = 0, float shiftY = 0) const;

    // Pixels above and below the baseline of the font's design (descender positive).
    float ascender() const;
    float descender() const;

    // Adds the coverage of text to target with the pen starting at x on the
    // given baseline (pixels from the top); returns the pen position after it.
    float drawText(Mask& target, const std::string& text, float x, float baseline) const;
    float textWidth(const std::string& text) const;

private:
    struct LibraryDeleter {
        void operator()(FT_LibraryRec_* library) const;
    };
    struct FaceDeleter {
        void operator()(FT_FaceRec_* face) const;
    };

    std::string path;
    // Declared before the face: the face must be released first.
    std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library;
    std::unique_ptr<FT_FaceRec_, FaceDeleter> face;
};
