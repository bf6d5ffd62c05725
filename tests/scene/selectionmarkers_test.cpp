#include "scene/selectionmarkers.h"

#include <gtest/gtest.h>

#include <utility>

TEST(SelectionMarkers, HoverColourRedUnlessClickableCyanOnTheSelection_FramesTwentyASecondWrapAfterTen) {
    EXPECT_EQ(SelectionMarkers::hoverColor(false, false), SelectionMarkers::kRefused);
    EXPECT_EQ(SelectionMarkers::hoverColor(false, true), SelectionMarkers::kRefused);
    EXPECT_EQ(SelectionMarkers::hoverColor(true, true), SelectionMarkers::kSelected);
    EXPECT_EQ(SelectionMarkers::hoverColor(true, false), SelectionMarkers::kAccepted);
    const std::pair<double, int> frames[] = {{0.0, 0},   {0.049, 0}, {0.05, 1},
                                             {0.499, 9}, {0.5, 0},   {12.37, 7}};
    for (const auto& [time, frame] : frames) {
        EXPECT_EQ(SelectionMarkers::frameAt(time), frame) << time;
    }
}
