#include "core/exceptions.h"
#include "support/thrown.h"
#include "ui/font.h"
#include "ui/text.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

class TextLayout : public ::testing::Test {
protected:
    Text::Layout layOut(const std::string& text, float x = 0.0f, float y = 0.0f) const {
        return Text::layOut(big, text, x, y, kWidth, kHeight);
    }

    const Font::Metrics big = Font::Metrics::ofType(Font::kBig);
    const float cellU = big.cellWidth / big.textureWidth;
    const float cellV = big.cellHeight / big.textureHeight;
    const float texelU = 1.0f / big.textureWidth;
    const float advance = big.cellWidth * 2.0f / kWidth;
};

TEST(FontMetrics, TypesFollowTheGeneratedGrids) {
    const Font::Metrics big = Font::Metrics::ofType(Font::kBig);
    EXPECT_FLOAT_EQ(big.cellWidth, 30.117647f);
    EXPECT_FLOAT_EQ(big.cellHeight, 49.95122f);
    EXPECT_FLOAT_EQ(big.firstChar, 33.0f);
    const Font::Metrics small = Font::Metrics::ofType(Font::kSmall);
    EXPECT_FLOAT_EQ(small.cellWidth, 11.130435f);
    EXPECT_FLOAT_EQ(small.cellHeight, 35.555556f);
}

TEST(FontMetrics, UnknownTypeIsRefused) {
    EXPECT_EQ(thrownMessage<NotFoundException>([] { Font::Metrics::ofType(2); }),
              "There is no font of this type supported!");
    EXPECT_EQ(thrownMessage<NotFoundException>([] { Font::Metrics::ofType(-1); }),
              "There is no font of this type supported!");
}

TEST_F(TextLayout, ExclamationMarkIsTheFirstCellOfTheTopRow) {
    const Text::Layout layout = layOut("!");
    ASSERT_EQ(layout.glyphs.size(), 1u);
    const Text::Glyph& glyph = layout.glyphs[0];
    EXPECT_FLOAT_EQ(glyph.u0, 0.0f);
    EXPECT_FLOAT_EQ(glyph.u1, cellU - texelU);
    EXPECT_FLOAT_EQ(glyph.v0, 1.0f - cellV);
    EXPECT_FLOAT_EQ(glyph.v1, 1.0f);
}

TEST_F(TextLayout, SeventeenCharactersLaterStartsTheSecondRow) {
    const Text::Layout layout = layOut("2");
    ASSERT_EQ(layout.glyphs.size(), 1u);
    EXPECT_FLOAT_EQ(layout.glyphs[0].u0, 0.0f);
    EXPECT_FLOAT_EQ(layout.glyphs[0].v0, 1.0f - 2.0f * cellV);
    EXPECT_FLOAT_EQ(layout.glyphs[0].v1, 1.0f - cellV);
    // The last cell of the first row.
    const Text::Layout last = layOut("1");
    EXPECT_FLOAT_EQ(last.glyphs[0].u0, 16.0f * cellU);
    EXPECT_FLOAT_EQ(last.glyphs[0].v0, 1.0f - cellV);
}

TEST_F(TextLayout, GlyphsSitOnePixelInAndAdvanceByACell) {
    const Text::Layout layout = layOut("AB", -0.5f, 0.25f);
    ASSERT_EQ(layout.glyphs.size(), 2u);
    EXPECT_FLOAT_EQ(layout.glyphs[0].x0, -0.5f + 2.0f / kWidth);
    EXPECT_FLOAT_EQ(layout.glyphs[0].y0, 0.25f + 2.0f / kHeight);
    EXPECT_FLOAT_EQ(layout.glyphs[1].x0, layout.glyphs[0].x0 + advance);
    EXPECT_FLOAT_EQ(layout.glyphs[0].x1, layout.glyphs[1].x0);
    EXPECT_FLOAT_EQ(layout.glyphs[0].y1 - layout.glyphs[0].y0, big.cellHeight * 2.0f / kHeight);
}

TEST_F(TextLayout, SpaceKeepsItsAdvanceButDrawsNothing) {
    const Text::Layout layout = layOut("A B");
    ASSERT_EQ(layout.glyphs.size(), 2u);
    EXPECT_FLOAT_EQ(layout.glyphs[1].x0 - layout.glyphs[0].x0, 2.0f * advance);
    EXPECT_FLOAT_EQ(layout.width, 3.0f * advance);
}

TEST_F(TextLayout, CodesOutsideTheGridDrawNothing) {
    // Control characters lie below the first cell; the high codes past the
    // last row would sample below the texture.
    const std::string outside = {'\t', '\x1f', '\0', static_cast<char>(208), static_cast<char>(255)};
    const Text::Layout layout = layOut(outside);
    EXPECT_TRUE(layout.glyphs.empty());
    EXPECT_FLOAT_EQ(layout.width, 5.0f * advance);
}

TEST_F(TextLayout, LastFullRowIsStillDrawn) {
    // 33 + 17 * 10 - 1: the last cell of row 10, just inside the texture.
    const Text::Layout layout = layOut(std::string(1, static_cast<char>(202)));
    ASSERT_EQ(layout.glyphs.size(), 1u);
    EXPECT_GE(layout.glyphs[0].v0, 0.0f);
    EXPECT_TRUE(layOut(std::string(1, static_cast<char>(203))).glyphs.empty());
}

TEST_F(TextLayout, EmptyStringHasNoWidth) {
    const Text::Layout layout = layOut("");
    EXPECT_TRUE(layout.glyphs.empty());
    EXPECT_FLOAT_EQ(layout.width, 0.0f);
    EXPECT_FLOAT_EQ(layout.height, big.cellHeight * 2.0f / kHeight);
}

TEST_F(TextLayout, SmallFontRowsEndAtTheSeventhRow) {
    const Font::Metrics small = Font::Metrics::ofType(Font::kSmall);
    // 33 + 23 * 7 = 194 opens an eighth row, below the texture.
    EXPECT_EQ(
        Text::layOut(small, std::string(1, static_cast<char>(193)), 0, 0, kWidth, kHeight).glyphs.size(), 1u);
    EXPECT_TRUE(
        Text::layOut(small, std::string(1, static_cast<char>(194)), 0, 0, kWidth, kHeight).glyphs.empty());
}

TEST(TextControl, SizeIsZeroBeforeTheFirstDraw) {
    Text text(nullptr, 0.1f, 0.2f, nullptr, "Hello");
    EXPECT_FLOAT_EQ(text.getWidth(), 0.0f);
    EXPECT_FLOAT_EQ(text.getHeight(), 0.0f);
}

TEST(TextControl, PositionMovesOnlyTheDrawingPoint) {
    Text text(nullptr, 0.1f, 0.2f, nullptr, "Hello");
    text.setPosition(-0.4f, 0.6f);
    float x = 0.0f;
    float y = 0.0f;
    text.getDrawPosition(x, y);
    EXPECT_FLOAT_EQ(x, -0.4f);
    EXPECT_FLOAT_EQ(y, 0.6f);
    EXPECT_FLOAT_EQ(text.getX(), 0.1f);
    EXPECT_FLOAT_EQ(text.getY(), 0.2f);
}

} // namespace
