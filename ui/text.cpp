#include "ui/text.h"

#include <GL/glew.h>

namespace {
// A cell may end this far past the texture's edge through rounding and still
// count as inside.
constexpr float kEdgeTolerance = 1.0e-4f;
constexpr char32_t kReplacement = 0xFFFD;

// The length of a UTF-8 sequence by its first byte; 0 for a byte that does
// not begin one.
int sequenceLength(unsigned char first) {
    if (first < 0x80) {
        return 1;
    }
    if ((first & 0xE0) == 0xC0) {
        return 2;
    }
    if ((first & 0xF0) == 0xE0) {
        return 3;
    }
    if ((first & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}
} // namespace

std::u32string Text::decode(const std::string& text) {
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    static constexpr unsigned char kFirstBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::u32string decoded;
    for (size_t i = 0; i < text.size();) {
        const auto first = static_cast<unsigned char>(text[i]);
        const int length = sequenceLength(first);
        char32_t c = first & kFirstBits[length];
        int taken = 1;
        while (length > 1 && taken < length && i + static_cast<size_t>(taken) < text.size() &&
               (static_cast<unsigned char>(text[i + static_cast<size_t>(taken)]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(taken)]) & 0x3F);
            ++taken;
        }
        // Cut short, overlong or beyond Unicode: the first byte alone stands for it.
        if (length == 0 || taken < length || c < kMinimum[length] || c > 0x10FFFF) {
            decoded += kReplacement;
            ++i;
            continue;
        }
        decoded += c;
        i += static_cast<size_t>(taken);
    }
    return decoded;
}

Text::Text(ControlContainer* parent, float x, float y, Font* font, const std::string& text)
    : Control(parent, x, y), font(font), text(text), drawX(x), drawY(y) {}

Text::Layout Text::layOut(const Font::Metrics& metrics, const std::string& text, float drawX, float drawY,
                          int viewportWidth, int viewportHeight, float scale, float maxWidth) {
    Layout layout;
    const std::u32string characters = decode(text);
    const auto count = static_cast<float>(characters.size());
    const float px = 2.0f * scale / viewportWidth;
    const float py = 2.0f * scale / viewportHeight;
    float advance = metrics.cellWidth * px;
    if (maxWidth > 0.0f && advance * count > maxWidth) {
        advance = maxWidth / count;
    }
    const float glyphHeight = metrics.cellHeight * py;
    layout.width = advance * count;
    layout.height = glyphHeight;

    const float cellU = metrics.cellWidth / metrics.textureWidth;
    const float cellV = metrics.cellHeight / metrics.textureHeight;
    const float texelU = 1.0f / metrics.textureWidth;
    const int columns = static_cast<int>(metrics.columns);
    for (size_t i = 0; i < characters.size(); ++i) {
        const int cell = fontCellOf(characters[i]);
        if (cell < 0) {
            continue;
        }
        const int column = cell % columns;
        const int row = static_cast<int>(static_cast<float>(cell) / metrics.columns + 1.0f);
        const float uLeft = static_cast<float>(column) * cellU;
        const float vLow = 1.0f - static_cast<float>(row) * cellV;
        if (vLow < -kEdgeTolerance) {
            continue;
        }
        const float x0 = drawX + px + static_cast<float>(i) * advance;
        const float y0 = drawY + py;
        layout.glyphs.push_back(
            {x0, y0, x0 + advance, y0 + glyphHeight, uLeft, vLow, uLeft + cellU - texelU, vLow + cellV});
    }
    return layout;
}

void Text::render(double, float) {
    if (!isVisible() || font == nullptr) {
        return;
    }
    setFixedProjection();
    glDisable(GL_CULL_FACE);
    Font* sized = nullptr;
    const Layout layout = layOutNow(sized);
    width = layout.width;
    height = layout.height;

    applyOverlay(sized->getMaterial(style), color);
    glBegin(GL_QUADS);
    for (const Glyph& g : layout.glyphs) {
        quad(g.x0, g.y0, g.x1, g.y1, g.u0, g.v0, g.u1, g.v1);
    }
    glEnd();
}

Text::Layout Text::measure() const {
    if (font == nullptr) {
        return {};
    }
    Font* sized = nullptr;
    return layOutNow(sized);
}

Text::Layout Text::layOutNow(Font*& sized) const {
    int viewportWidth = 0;
    int viewportHeight = 0;
    viewportSize(*this, viewportWidth, viewportHeight);
    // Larger text is drawn from a font made larger, never from stretched
    // glyphs; its cells are sized as the full size's would be.
    const float scale = pixelScale(viewportWidth, viewportHeight) * magnification;
    sized = &font->sizedFor(scale);
    return layOut(sized->getMetrics(), text, drawX, drawY, viewportWidth, viewportHeight,
                  scale / sized->sizeFactor(), maxWidth);
}

void Text::setPosition(float newX, float newY) {
    drawX = newX;
    drawY = newY;
}

void Text::set(float newDrawX, float newDrawY, const std::string& newText) {
    drawX = newDrawX;
    drawY = newDrawY;
    text = newText;
}

void Text::getDrawPosition(float& outX, float& outY) const {
    outX = drawX;
    outY = drawY;
}
