#include "ui/text.h"

#include <GL/glew.h>

namespace {
// A cell may end this far past the texture's edge through rounding and still
// count as inside.
constexpr float kEdgeTolerance = 1.0e-4f;
} // namespace

Text::Text(ControlContainer* parent, float x, float y, Font* font, const std::string& text)
    : Control(parent, x, y), font(font), text(text), drawX(x), drawY(y) {}

Text::Layout Text::layOut(const Font::Metrics& metrics, const std::string& text, float drawX, float drawY,
                          int viewportWidth, int viewportHeight, float scale, float maxWidth) {
    Layout layout;
    const float px = 2.0f * scale / viewportWidth;
    const float py = 2.0f * scale / viewportHeight;
    float advance = metrics.cellWidth * px;
    if (maxWidth > 0.0f && advance * static_cast<float>(text.size()) > maxWidth) {
        advance = maxWidth / static_cast<float>(text.size());
    }
    const float glyphHeight = metrics.cellHeight * py;
    layout.width = advance * static_cast<float>(text.size());
    layout.height = glyphHeight;

    const float cellU = metrics.cellWidth / metrics.textureWidth;
    const float cellV = metrics.cellHeight / metrics.textureHeight;
    const float texelU = 1.0f / metrics.textureWidth;
    const int first = static_cast<int>(metrics.firstChar);
    const int columns = static_cast<int>(metrics.columns);
    for (size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        // Below the first character the remainder turns negative and the cell
        // would be sampled from outside the texture.
        if (c < first) {
            continue;
        }
        const int column = (c - first) % columns;
        const int row = static_cast<int>((c - metrics.firstChar) / metrics.columns + 1.0f);
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
    int viewportWidth = 0;
    int viewportHeight = 0;
    viewportSize(*this, viewportWidth, viewportHeight);
    // Larger text is drawn from a font made larger, never from stretched
    // glyphs; its cells are sized as the full size's would be.
    const float scale = pixelScale(viewportWidth, viewportHeight);
    Font& sized = font->sizedFor(scale);
    const Layout layout = layOut(sized.getMetrics(), text, drawX, drawY, viewportWidth, viewportHeight,
                                 scale / sized.sizeFactor(), maxWidth);
    width = layout.width;
    height = layout.height;

    applyOverlay(sized.getMaterial(style), color);
    glBegin(GL_QUADS);
    for (const Glyph& g : layout.glyphs) {
        quad(g.x0, g.y0, g.x1, g.y1, g.u0, g.v0, g.u1, g.v1);
    }
    glEnd();
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
