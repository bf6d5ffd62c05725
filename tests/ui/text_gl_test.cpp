#include "core/exceptions.h"
#include "support/thrown.h"
#include "support/uiframe.h"
#include "ui/controlcontainer.h"
#include "ui/font.h"
#include "ui/text.h"

namespace {

using UiAssets::glyphColour;

class TextDrawing : public UiFrame {
protected:
    // The centre of glyph i of a text drawn at (x, y).
    float glyphCentreX(float x, int i) const { return x + (static_cast<float>(i) + 0.5f) * advance; }
    float glyphCentreY(float y) const { return y + font.getCellHeight() / GlTest::kHeight; }

    Font font{"fontbig", Font::kBig};
    const float advance = font.getCellWidth() * 2.0f / GlTest::kWidth;
};

TEST_F(TextDrawing, CharactersShowTheirCells) {
    Text text(nullptr, -0.5f, 0.0f, &font, "!2B");
    text.render(0.0, 0.5f);
    EXPECT_TRUE(near(pixelAt(glyphCentreX(-0.5f, 0), glyphCentreY(0.0f)), glyphColour(0, 0, 0)));
    EXPECT_TRUE(near(pixelAt(glyphCentreX(-0.5f, 1), glyphCentreY(0.0f)), glyphColour(0, 1, 0)));
    // "B" is 66: 33 cells after "!", column 16 of the second row.
    EXPECT_TRUE(near(pixelAt(glyphCentreX(-0.5f, 2), glyphCentreY(0.0f)), glyphColour(16, 1, 0)));
    EXPECT_FLOAT_EQ(text.getWidth(), 3.0f * advance);
}

TEST_F(TextDrawing, SpaceLeavesAGap) {
    Text text(nullptr, 0.0f, 0.0f, &font, " !");
    text.render(0.0, 0.5f);
    EXPECT_TRUE(black(pixelAt(glyphCentreX(0.0f, 0), glyphCentreY(0.0f))));
    EXPECT_TRUE(near(pixelAt(glyphCentreX(0.0f, 1), glyphCentreY(0.0f)), glyphColour(0, 0, 0)));
}

TEST_F(TextDrawing, StyleChoosesTheTexture) {
    Text text(nullptr, 0.0f, 0.0f, &font, "!");
    text.setStyle(2);
    text.render(0.0, 0.5f);
    EXPECT_TRUE(near(pixelAt(glyphCentreX(0.0f, 0), glyphCentreY(0.0f)), glyphColour(0, 0, 2)));
}

TEST_F(TextDrawing, InvisibleTextDrawsNothingAndKeepsItsSize) {
    Text text(nullptr, 0.0f, 0.0f, &font, "!!");
    text.render(0.0, 0.5f);
    clear();
    text.setVisible(false);
    text.setText("!!!!");
    text.render(0.0, 0.5f);
    EXPECT_TRUE(black(pixelAt(glyphCentreX(0.0f, 0), glyphCentreY(0.0f))));
    EXPECT_FLOAT_EQ(text.getWidth(), 2.0f * advance);
}

TEST_F(TextDrawing, TextInAContainerIgnoresItsPosition) {
    ControlContainer container(nullptr, 0.3f, 0.2f, 1.0f, 1.0f);
    Text text(&container, 0.0f, 0.0f, &font, "!");
    text.render(0.0, 0.5f);
    EXPECT_TRUE(near(pixelAt(glyphCentreX(0.0f, 0), glyphCentreY(0.0f)), glyphColour(0, 0, 0)));
}

TEST_F(UiFrame, UnknownFontTypeIsRefusedAfterLoading) {
    EXPECT_EQ(thrownMessage<NotFoundException>([] { Font font("fontbig", 2); }),
              "There is no font of this type supported!");
}

TEST_F(UiFrame, MissingFontFileNamesTheFile) {
    EXPECT_EQ(thrownMessage<InstantiationException>([] { Font font("fontnone", Font::kBig); }),
              "error opening image textures/fonts/fontnone0.png");
}

} // namespace
