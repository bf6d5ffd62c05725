#include "tools/assetgen/fonts.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/fontrasteriser.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr int kStyles = 3;
// Empty texels kept between the ink and the cell edges, so that bilinear
// filtering never pulls in a neighbouring glyph.
constexpr float kMargin = 0.5f;
constexpr float kLargestSize = 64, kSizeStep = 0.25f;

struct Look {
    Color top, bottom; // fill gradient over the glyph height
    Color outline;
    int shadowX = 0, shadowY = 0;
    float shadowAlpha = 0;
    int pressDown = 0; // pixels the glyph is moved down
};

// A length of whole pixels at the full size, in the grid's size; at least one.
int pixels(int atFullSize, const FontGrid& grid) {
    return std::max(1, static_cast<int>(std::lround(static_cast<float>(atFullSize) * grid.factor())));
}

Look lookOf(int style, const FontGrid& grid) {
    Look look;
    switch (style) {
    case 1: // mouse-over: warm gold
        look.top = rgb(0xfff6c8);
        look.bottom = rgb(0xffa63a);
        look.outline = rgb(0x2a1200);
        break;
    case 2: // pressed: deeper amber, pushed into the button
        look.top = rgb(0xffd27a);
        look.bottom = rgb(0xd86a10);
        look.outline = rgb(0x1c0a00);
        look.pressDown = pixels(1, grid);
        return look;
    default: // plain: white to ice blue
        look.top = rgb(0xffffff);
        look.bottom = rgb(0xb9dcf2);
        look.outline = rgb(0x06121f);
        break;
    }
    // The small cells leave no room for a drop shadow: the outline alone
    // keeps those glyphs legible.
    if (grid.dropShadow) {
        look.shadowX = pixels(1, grid);
        look.shadowY = pixels(2, grid);
        look.shadowAlpha = 0.6f;
    }
    return look;
}

// How far outline and shadow reach beyond the glyph ink, in pixels.
struct Reach {
    float left, right, up, down;
};

Reach reachOf(const FontGrid& grid) {
    Reach r{grid.outline, grid.outline, grid.outline, grid.outline};
    for (int style = 0; style < kStyles; ++style) {
        Look look = lookOf(style, grid);
        // A shadow is blurred by about a pixel beyond its offset.
        float blur = look.shadowAlpha > 0 ? grid.factor() : 0.0f;
        r.right = std::max(r.right, grid.outline + look.shadowX + blur);
        r.up = std::max(r.up, grid.outline - look.pressDown);
        r.down = std::max(r.down, grid.outline + std::max(look.shadowY + blur, 0.0f) + look.pressDown);
    }
    return r;
}

struct Extents {
    float left = 1e9f, right = -1e9f, top = -1e9f, bottom = -1e9f; // from pen and baseline
};

Extents measure(const FontRasteriser& font) {
    Extents e;
    for (int c = kFirstChar; c <= kLastChar; ++c) {
        FontRasteriser::Glyph g = font.glyph(static_cast<unsigned long>(c));
        if (g.coverage.width() == 0) {
            continue;
        }
        e.left = std::min(e.left, static_cast<float>(g.left));
        e.right = std::max(e.right, static_cast<float>(g.left + g.coverage.width()));
        e.top = std::max(e.top, static_cast<float>(g.top));
        e.bottom = std::max(e.bottom, static_cast<float>(g.coverage.height() - g.top));
    }
    return e;
}

// The cell of character c in picture pixels, the right edge pulled in by the
// texel that the text drawing leaves out.
struct Cell {
    float x0, y0, x1, y1;
};

Cell cellOf(const FontGrid& grid, int cell) {
    int columns = grid.columns;
    int column = cell % columns;
    int row = static_cast<int>(static_cast<float>(cell) / static_cast<float>(grid.columns) + 1.0f);
    float w = grid.cellWidth, h = grid.cellHeight;
    return {column * w, (row - 1) * h, (column + 1) * w - 1, row * h};
}

class FontPainter {
public:
    FontPainter(const FontGrid& grid, FontRasteriser& font) : grid(grid), font(font), reach(reachOf(grid)) {
        fitSize();
    }

    Canvas paint(int style) const {
        Look look = lookOf(style, grid);
        Canvas image(grid.textureWidth, grid.textureHeight, look.outline.withAlpha(0));
        for (int cell = 0; cell < kFontCellCount; ++cell) {
            paintGlyph(image, cell, look);
        }
        return image;
    }

private:
    // The largest em size at which every glyph with its outline and shadow
    // fits its cell, scaled by the grid's sizeScale.
    void fitSize() {
        for (size = kLargestSize * grid.factor(); size > 4; size -= kSizeStep * grid.factor()) {
            if (fits(size)) {
                place(std::max(size * grid.sizeScale, 4.0f));
                return;
            }
        }
        throw std::runtime_error(std::string("no font size fits the cells of ") + grid.name);
    }

    float usableWidth() const { return grid.cellWidth - 1 - 2 * kMargin; }
    float usableHeight() const { return grid.cellHeight - 2 * kMargin; }
    // One more pixel each way: a glyph placed at a fractional position can
    // cover one more column or row.
    float inkWidth() const { return (extents.right - extents.left) + reach.left + reach.right + 1; }
    float inkHeight() const { return (extents.top + extents.bottom) + reach.up + reach.down + 1; }

    bool fits(float emSize) {
        font.setSize(emSize, grid.widthScale);
        extents = measure(font);
        return inkWidth() <= usableWidth() && inkHeight() <= usableHeight();
    }

    void place(float emSize) {
        size = emSize;
        fits(size);
        // Centred (less the grid's shift), but never out of the cell.
        const float spareX = usableWidth() - inkWidth();
        penX = kMargin + reach.left - extents.left + std::clamp(spareX / 2 - grid.shiftLeft, 0.0f, spareX);
        const float highest = kMargin + reach.up + extents.top;
        const float lowest = highest + usableHeight() - inkHeight();
        if (std::isnan(grid.capsBelowMiddle)) {
            baseline = highest + (lowest - highest) * (0.5f + 0.5f * grid.lowering);
        } else {
            const float capHeight = static_cast<float>(font.glyph('H').top);
            baseline = grid.cellHeight / 2 + grid.capsBelowMiddle + capHeight / 2;
            baseline = std::clamp(baseline, highest, lowest);
        }
    }

    // The size and place are the ASCII glyphs' (measure); a wider character
    // beyond them is cut at its cell's edges.
    void paintGlyph(Canvas& image, int index, const Look& look) const {
        Cell cell = cellOf(grid, index);
        const unsigned long c = fontCharOfCell(index);
        int ox = static_cast<int>(std::floor(cell.x0)), oy = static_cast<int>(std::floor(cell.y0));
        int w = static_cast<int>(std::ceil(cell.x1)) - ox + 1,
            h = static_cast<int>(std::ceil(cell.y1)) - oy + 1;
        float px = cell.x0 - ox + penX, py = cell.y0 - oy + baseline + look.pressDown;
        int pxi = static_cast<int>(std::floor(px)), pyi = static_cast<int>(std::floor(py));
        FontRasteriser::Glyph g = font.glyph(c, px - pxi, py - pyi);

        Mask ink(w, h);
        for (int y = 0; y < g.coverage.height(); ++y) {
            for (int x = 0; x < g.coverage.width(); ++x) {
                int tx = pxi + g.left + x, ty = pyi - g.top + y;
                if (tx >= 0 && ty >= 0 && tx < w && ty < h) {
                    ink.at(tx, ty) = g.coverage.at(x, y);
                }
            }
        }
        Mask outline = ink.dilated(grid.outline);
        Mask shadow = outline.blurred(grid.factor()).shifted(look.shadowX, look.shadowY);

        // Gradient over the em box so that every glyph shares it.
        float gradientTop = py - extents.top * 0.75f, gradientBottom = py + extents.bottom * 0.5f;
        float minX = cell.x0 + kMargin - ox, maxX = cell.x1 - kMargin - ox;
        float minY = cell.y0 + kMargin - oy, maxY = cell.y1 - kMargin - oy;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                // Nothing may leave the cell: the neighbours are sampled right next to it.
                if (x < minX || x + 1 > maxX || y < minY || y + 1 > maxY) {
                    continue;
                }
                Color layer = look.outline.withAlpha(0);
                layer = over(layer, rgb(0x000000, look.shadowAlpha * shadow.at(x, y)));
                layer = over(layer, look.outline.withAlpha(outline.at(x, y)));
                float t = clamp01((y + 0.5f - gradientTop) / (gradientBottom - gradientTop));
                layer = over(layer, mix(look.top, look.bottom, t).withAlpha(ink.at(x, y)));
                if (layer.a > 0) {
                    image.at(ox + x, oy + y) = layer;
                }
            }
        }
    }

    const FontGrid& grid;
    FontRasteriser& font; // not owned: the caller's rasteriser, sized here
    Reach reach;
    Extents extents;
    float size = 0, penX = 0, baseline = 0;
};
} // namespace

void makeFontTextures(AssetSet& out, const std::string& monoFont, const std::string& monoBoldFont) {
    FontRasteriser regular(monoFont), bold(monoBoldFont);
    for (const FontGrid* font : {&kBigFont, &kSmallFont}) {
        for (const int percent : kFontPercents) {
            const FontGrid grid = font->scaled(percent);
            FontPainter painter(grid, font == &kSmallFont ? bold : regular);
            for (int style = 0; style < kStyles; ++style) {
                out.addTexture(fontFileName(grid.name, style, percent), painter.paint(style),
                               PixelFormat::Rgba);
            }
        }
    }
}
