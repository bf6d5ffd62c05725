#include "base/exceptions.h"
#include "support/thrown.h"
#include "ui/font.h"
#include "ui/text.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

TEST(FontMetrics, UnknownTypesAreRefused) {
    for (int type : {2, -1}) {
        EXPECT_EQ(thrownMessage<NotFoundException>([type] { Font::Metrics::ofType(type); }),
                  "There is no font of this type supported!");
    }
}

// Rows counted from the top from 1; row 0 stands for no quad. Codes below the
// first character (the space among them) and past the last full row would
// sample outside the texture.
TEST(TextLayout, EachCodeTakesItsCellOrNone) {
    const struct {
        int type, code, column, row;
    } cases[] = {
        {Font::kBig, '!', 0, 1},  {Font::kBig, '1', 16, 1},   {Font::kBig, '2', 0, 2},
        {Font::kBig, 'B', 16, 2}, {Font::kBig, 202, 16, 10},  {Font::kBig, 203, 0, 0},
        {Font::kBig, 255, 0, 0},  {Font::kBig, ' ', 0, 0},    {Font::kBig, '\t', 0, 0},
        {Font::kBig, 0, 0, 0},    {Font::kSmall, 193, 22, 7}, {Font::kSmall, 194, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", code " << c.code);
        const Font::Metrics font = Font::Metrics::ofType(c.type);
        const Text::Layout layout =
            Text::layOut(font, std::string(1, static_cast<char>(c.code)), 0, 0, kWidth, kHeight);
        ASSERT_EQ(layout.glyphs.size(), c.row > 0 ? 1u : 0u);
        if (c.row > 0) {
            EXPECT_FLOAT_EQ(layout.glyphs[0].u0, c.column * font.cellWidth / font.textureWidth);
            EXPECT_NEAR(layout.glyphs[0].v0, 1.0f - c.row * font.cellHeight / font.textureHeight, 1e-6f);
        }
    }
}

// A scaled text shrinks both ways; a limit narrows only a line that exceeds it.
TEST(TextLayout, ScaleShrinksTheCellsAndAWidthLimitSqueezesOnlyALongerLine) {
    const Font::Metrics big = Font::Metrics::ofType(Font::kBig);
    const float advance = big.cellWidth * 2.0f / kWidth;
    const Text::Layout half = Text::layOut(big, "AB", 0, 0, kWidth, kHeight, 0.5f);
    EXPECT_FLOAT_EQ(half.width, advance);
    EXPECT_FLOAT_EQ(half.height, big.cellHeight / kHeight);
    EXPECT_FLOAT_EQ(Text::layOut(big, "AB", 0, 0, kWidth, kHeight, 1.0f, 3.0f * advance).width,
                    2.0f * advance);
    const Text::Layout squeezed =
        Text::layOut(big, "Fluid Demo", 0, 0, kWidth, kHeight, 1.0f, 5.0f * advance);
    EXPECT_FLOAT_EQ(squeezed.width, 5.0f * advance);
    EXPECT_FLOAT_EQ(squeezed.height, big.cellHeight * 2.0f / kHeight);
    EXPECT_LE(squeezed.glyphs.back().x1, squeezed.width + 2.0f / kWidth + 1.0e-6f);
}

} // namespace
