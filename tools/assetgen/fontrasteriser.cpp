#include "tools/assetgen/fontrasteriser.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {
constexpr float kFixed26_6 = 64.0f;
}

void FontRasteriser::LibraryDeleter::operator()(FT_LibraryRec_* library) const {
    FT_Done_FreeType(library);
}

void FontRasteriser::FaceDeleter::operator()(FT_FaceRec_* face) const {
    FT_Done_Face(face);
}

FontRasteriser::FontRasteriser(const std::string& fontPath) : path(fontPath) {
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        throw std::runtime_error("FreeType could not be initialised");
    }
    library.reset(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), fontPath.c_str(), 0, &rawFace) != 0) {
        throw std::runtime_error("cannot open font " + fontPath);
    }
    face.reset(rawFace);
}

FontRasteriser::~FontRasteriser() = default;

void FontRasteriser::setSize(float pixels, float widthScale) {
    FT_F26Dot6 height = static_cast<FT_F26Dot6>(std::lround(pixels * kFixed26_6));
    FT_F26Dot6 width = static_cast<FT_F26Dot6>(std::lround(pixels * widthScale * kFixed26_6));
    if (FT_Set_Char_Size(face.get(), width, height, 72, 72) != 0) {
        throw std::runtime_error("cannot size font " + path);
    }
}

FontRasteriser::Glyph FontRasteriser::glyph(unsigned long code, float shiftX, float shiftY) const {
    FT_Vector delta;
    delta.x = static_cast<FT_Pos>(std::lround(shiftX * kFixed26_6));
    delta.y = static_cast<FT_Pos>(std::lround(-shiftY * kFixed26_6));
    FT_Set_Transform(face.get(), nullptr, &delta);
    // Light hinting snaps only vertically; the shift is applied after it, so
    // glyphs keep exact fractional horizontal positions.
    if (FT_Load_Char(face.get(), code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
        throw std::runtime_error("font " + path + " has no glyph " + std::to_string(code));
    }
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    Glyph out;
    out.coverage = Mask(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
    for (unsigned y = 0; y < bitmap.rows; ++y) {
        for (unsigned x = 0; x < bitmap.width; ++x) {
            out.coverage.at(x, y) = bitmap.buffer[y * bitmap.pitch + x] / 255.0f;
        }
    }
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = slot->advance.x / kFixed26_6;
    return out;
}

float FontRasteriser::ascender() const {
    return face->size->metrics.ascender / kFixed26_6;
}

float FontRasteriser::descender() const {
    return -face->size->metrics.descender / kFixed26_6;
}

float FontRasteriser::drawText(Mask& target, const std::string& text, float x, float baseline) const {
    for (unsigned char c : text) {
        Glyph g = glyph(c);
        int ox = static_cast<int>(std::lround(x)) + g.left;
        int oy = static_cast<int>(std::lround(baseline)) - g.top;
        for (int y = 0; y < g.coverage.height(); ++y) {
            for (int gx = 0; gx < g.coverage.width(); ++gx) {
                int tx = ox + gx, ty = oy + y;
                if (tx >= 0 && ty >= 0 && tx < target.width() && ty < target.height()) {
                    target.at(tx, ty) = std::min(1.0f, target.at(tx, ty) + g.coverage.at(gx, y));
                }
            }
        }
        x += g.advance;
    }
    return x;
}

float FontRasteriser::textWidth(const std::string& text) const {
    float width = 0;
    for (unsigned char c : text) {
        width += glyph(c).advance;
    }
    return width;
}
