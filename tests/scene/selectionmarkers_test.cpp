#include "scene/selectionmarkers.h"

#include <gtest/gtest.h>

TEST(SelectionMarkers, HoverColour_RedUnlessClickableCyanOnTheSelection) {
    EXPECT_EQ(SelectionMarkers::hoverColor(false, false), SelectionMarkers::kRefused);
    EXPECT_EQ(SelectionMarkers::hoverColor(false, true), SelectionMarkers::kRefused);
    EXPECT_EQ(SelectionMarkers::hoverColor(true, true), SelectionMarkers::kSelected);
    EXPECT_EQ(SelectionMarkers::hoverColor(true, false), SelectionMarkers::kAccepted);
}

TEST(SelectionMarkers, Frame_AdvancesTwentyTimesASecondAndWrapsAfterTen) {
    const struct {
        double time;
        int frame;
    } cases[] = {{0.0, 0}, {0.049, 0}, {0.05, 1}, {0.499, 9}, {0.5, 0}, {12.37, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(SelectionMarkers::frameAt(c.time), c.frame) << c.time;
    }
}
