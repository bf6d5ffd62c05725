#include "scene/coveredrows.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 100;
constexpr double kNearW = 1.0;

// Clip coordinates are world coordinates with w = z: the picture is x / z, y / z.
constexpr Matrix4x4<double> kPerspective = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};

struct Case {
    const char* what;
    CoveredRows::Box box;
    bool covers;
    int first, last;
};

} // namespace

TEST(CoveredRows, RowsHiddenFromSideToSide) {
    // At depth 2 the window spans x and y from -2 to 2; a row is 2 / 50 high.
    const Case cases[] = {
        {"a floor under the lower half, past the sides and bottom", {{-3, -3, 2}, {3, 0, 2}}, true, 0, 49},
        {"a ceiling over the upper half", {{-3, 0, 2}, {3, 3, 2}}, true, 51, kHeight},
        {"a band inside, less an edge row on each side", {{-3, -1, 2}, {3, 1, 2}}, true, 26, 74},
        {"a box narrower than the window", {{-1, -3, 2}, {1, 3, 2}}, false, 0, 0},
        {"a box reaching behind the near plane", {{-3, -3, 0.5f}, {3, 0, 2}}, false, 0, 0},
        {"a box wholly off the window's bottom", {{-3, -9, 2}, {3, -5, 2}}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto rows = CoveredRows::of(kPerspective, c.box, kWidth, kHeight, kNearW);
        ASSERT_EQ(rows.has_value(), c.covers);
        if (c.covers) {
            EXPECT_EQ(rows->first, c.first);
            EXPECT_EQ(rows->last, c.last);
        }
    }
}

TEST(CoveredRows, BrokenMatrixCoversNothing) {
    Matrix4x4<double> broken = kPerspective;
    broken[0] = std::nan("");
    EXPECT_FALSE(
        CoveredRows::of(broken, {{-3.0f, -3.0f, 2.0f}, {3.0f, 0.0f, 2.0f}}, kWidth, kHeight, kNearW));
}
