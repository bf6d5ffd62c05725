#pragma once

#include "resources/material.h"
#include "ui/fontgrid.h"

#include <array>
#include <memory>
#include <string>

// A bitmap font: three textures (one per style) holding a monospaced grid of
// glyph cells, the first cell being firstChar and rows counted from the top.
// It comes in several sizes (kFontPercents); the full size is loaded at
// construction, the others when text is first drawn at their scale.
class Font {
public:
    static constexpr int kStyleCount = 3;
    static constexpr int kBig = 0;
    static constexpr int kSmall = 1;

    // The grid of a font type, in pixels and cells. Needs no texture.
    struct Metrics {
        float textureWidth = 0.0f;
        float textureHeight = 0.0f;
        float columns = 1.0f;
        float rows = 1.0f;
        float firstChar = 0.0f;
        float cellWidth = 0.0f;
        float cellHeight = 0.0f;

        // NotFoundException "There is no font of this type supported!" for a
        // type other than kBig and kSmall.
        static Metrics ofType(int type, int percent = kFontFullSize);
    };

    // Loads the textures of name at the size percent (fontFileName).
    // NotFoundException when a material refuses a texture or the type is
    // unknown; a file that cannot be decoded fails in the image loader.
    Font(const std::string& name, int type, int percent = kFontFullSize);
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    // The size of this font to draw text at scale times the full size's
    // cells: the smallest made that is not smaller, else the largest, so a
    // glyph is only ever drawn smaller than made. A size that does not load
    // is logged once and the full size drawn instead.
    Font& sizedFor(float scale);
    // This size's cells against the full size's.
    float sizeFactor() const { return static_cast<float>(percent) / kFontFullSize; }
    // The percentage sizedFor chooses for scale.
    static int percentFor(float scale);

    // Any style other than 0, 1 and 2 gives style 0's material.
    Material& getMaterial(int style);
    Material& getMaterial() { return getMaterial(selected); }
    void setSelected(int style) { selected = style; }
    int getSelected() const { return selected; }

    const Metrics& getMetrics() const { return metrics; }
    float getTextureWidth() const { return metrics.textureWidth; }
    float getTextureHeight() const { return metrics.textureHeight; }
    float getColumns() const { return metrics.columns; }
    float getRows() const { return metrics.rows; }
    float getFirstChar() const { return metrics.firstChar; }
    float getCellWidth() const { return metrics.cellWidth; }
    float getCellHeight() const { return metrics.cellHeight; }

private:
    static constexpr int kSizes = static_cast<int>(sizeof kFontPercents / sizeof kFontPercents[0]);

    std::array<Material, kStyleCount> materials;
    int selected = 0;
    Metrics metrics;
    std::string name;
    int type;
    int percent;
    // The other sizes, loaded at their first use; a size that failed stays empty.
    std::array<std::unique_ptr<Font>, kSizes> sizes;
    std::array<bool, kSizes> failed{};
};
