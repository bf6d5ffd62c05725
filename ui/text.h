#pragma once

#include "ui/control.h"
#include "ui/font.h"

#include <array>
#include <string>
#include <vector>

// One line of text in a bitmap font, drawn at absolute screen coordinates:
// unlike other controls, the parent's position is not added.
class Text : public Control {
public:
    // One glyph quad: screen corners and texture corners.
    struct Glyph {
        float x0, y0, x1, y1;
        float u0, v0, u1, v1;
    };
    // What a draw of a string produces; the size in screen units.
    struct Layout {
        float width = 0.0f;
        float height = 0.0f;
        std::vector<Glyph> glyphs;
    };

    // font: not owned, may be null (nothing is drawn).
    Text(ControlContainer* parent, float x, float y, Font* font, const std::string& text);

    // The text is UTF-8. Every character advances by one cell of metrics;
    // characters without a cell inside the texture (the space, control
    // codes, characters the fonts do not hold, bytes that are not UTF-8)
    // get no quad. Cells are drawn at scale times
    // their pixel size; a line wider than maxWidth (screen units, 0 for no
    // limit) is drawn narrower to fit it.
    static Layout layOut(const Font::Metrics& metrics, const std::string& text, float drawX, float drawY,
                         int viewportWidth, int viewportHeight, float scale = 1.0f, float maxWidth = 0.0f);

    // The characters of UTF-8 text; a byte that does not begin or continue a
    // character counts as one character of its own (U+FFFD).
    static std::u32string decode(const std::string& text);
    static size_t countCharacters(const std::string& text) { return decode(text).size(); }

    void render(double elapsed, float) override;
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}
    // The size of the last draw; 0 before the first.
    float getWidth() const override { return width; }
    float getHeight() const override { return height; }
    // What a draw now would make, for placing the text before its first draw
    // (a menu's first frame would show it out of place otherwise).
    Layout measure() const;
    // Moves the drawing position only.
    void setPosition(float newX, float newY) override;

    void setText(const std::string& newText) { text = newText; }
    const std::string& getText() const { return text; }
    void setFont(Font* newFont) { font = newFont; }
    Font* getFont() const { return font; }
    void setStyle(int newStyle) { style = newStyle; }
    int getStyle() const { return style; }
    void setColor(float r, float g, float b, float a) { color = {r, g, b, a}; }
    // Screen units; 0 for no limit.
    void setMaxWidth(float newMaxWidth) { maxWidth = newMaxWidth; }
    // Draws the text this many times its containers' size (large letters),
    // from a font made that large where there is one.
    void setMagnification(float factor) { magnification = factor; }
    float getMagnification() const { return magnification; }
    void set(float newDrawX, float newDrawY, const std::string& newText);
    void getDrawPosition(float& outX, float& outY) const;

private:
    // The font made for the window's size, and the draw with it.
    Layout layOutNow(Font*& sized) const;

    Font* font; // not owned: the menu's or display's font
    std::string text;
    int style = 0;
    float width = 0.0f;
    float height = 0.0f;
    float maxWidth = 0.0f;
    float magnification = 1.0f;
    float drawX;
    float drawY;
    std::array<float, 4> color = {1.0f, 1.0f, 1.0f, 1.0f};
};
