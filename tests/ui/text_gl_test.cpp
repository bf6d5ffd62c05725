#include "base/exceptions.h"
#include "support/thrown.h"
#include "support/uiframe.h"
#include "ui/controlcontainer.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/text.h"

namespace {

using UiAssets::glyphColour;

class TextDrawing : public UiFrame {
protected:
    // The centre of glyph i of a text drawn at (x, 0).
    UiAssets::Rgba glyphAt(float x, int i) const {
        return pixelAt(x + (static_cast<float>(i) + 0.5f) * advance, font.getCellHeight() / GlTest::kHeight);
    }

    Font font{"fontbig", Font::kBig};
    const float advance = font.getCellWidth() * 2.0f / GlTest::kWidth;
};

// The style chooses the texture.
TEST_F(TextDrawing, CharactersShowTheirCellsAndASpaceLeavesAGap) {
    Text text(nullptr, -0.5f, 0.0f, &font, " !2B");
    Text styled(nullptr, 0.5f, 0.0f, &font, "!");
    styled.setStyle(2);
    text.render(0.0, 0.5f);
    styled.render(0.0, 0.5f);
    EXPECT_TRUE(black(glyphAt(-0.5f, 0)));
    EXPECT_TRUE(near(glyphAt(-0.5f, 1), glyphColour(0, 0, 0)));
    EXPECT_TRUE(near(glyphAt(-0.5f, 2), glyphColour(0, 1, 0)));
    EXPECT_TRUE(near(glyphAt(-0.5f, 3), glyphColour(16, 1, 0)));
    EXPECT_TRUE(near(glyphAt(0.5f, 0), glyphColour(0, 0, 2)));
    EXPECT_FLOAT_EQ(text.getWidth(), 4.0f * advance);
}

TEST_F(TextDrawing, InvisibleTextDrawsNothingAndKeepsItsSize) {
    Text text(nullptr, 0.0f, 0.0f, &font, "!!");
    text.render(0.0, 0.5f);
    clear();
    text.setVisible(false);
    text.setText("!!!!");
    text.render(0.0, 0.5f);
    EXPECT_TRUE(black(glyphAt(0.0f, 0)));
    EXPECT_FLOAT_EQ(text.getWidth(), 2.0f * advance);
}

// In a container at (0.3, 0.2), a text at (0, 0) is drawn at the centre, an
// image at (0, 0) with its lower-left corner at (0.3, 0.2), even invisible.
TEST_F(TextDrawing, TextInAContainerIgnoresItsPositionAnImageDoesNot) {
    ControlContainer container(nullptr, 0.3f, 0.2f, 1.0f, 1.0f);
    Text text(&container, 0.0f, 0.0f, &font, "!");
    Image image(&container, 0.0f, 0.0f, 64.0f, 64.0f, "menu/spr2-logo.png");
    image.attach();
    image.setVisible(false);
    image.render(0.0, 0.5f);
    text.render(0.0, 0.5f);
    EXPECT_TRUE(near(glyphAt(0.0f, 0), glyphColour(0, 0, 0)));
    EXPECT_TRUE(near(pixelAt(0.31f, 0.21f), UiAssets::kLogo));
    EXPECT_TRUE(black(pixelAt(0.29f, 0.21f)));
    image.detach();
}

TEST_F(UiFrame, FontFailures_NameTheMissingFileOrRefuseAnUnknownTypeAfterLoading) {
    EXPECT_THROW(Font("fontbig", 2), NotFoundException);
    EXPECT_EQ(thrownMessage<InstantiationException>([] { Font font("fontnone", Font::kBig); }),
              "error opening image textures/fonts/fontnone0.png");
}

} // namespace
