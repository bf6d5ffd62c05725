// How the water looks: what the passes leave undrawn never shows through it,
// and the board reads through it.
#include "input/inputevent.h"
#include "scene/tablescene.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

// The refraction picture's background, blue, mixed with the reflection: far
// bluer than anything the scene lights (its bluest, the walls under the blue
// light seen from above, stays below 80).
constexpr int kVividBlue = 100;
// Pictures drawn anew may round a few levels differently.
constexpr int kChannelTolerance = 8;

int vividBluePixels(int width, int height) {
    const std::vector<uint8_t> rgba = GlTest::readPixels(0, 0, width, height);
    int count = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        count += rgba[i + 2] > std::max(rgba[i], rgba[i + 1]) + kVividBlue;
    }
    return count;
}

struct View {
    const char* name;
    int key;        // held to reach the view from the default one, and its
    double seconds; // opposite as long to come back; 0: none
    int width;
    int height;
};

// The orbit's elevation moves a radian a second: from 0.5 to its highest 1.5
// and its lowest 0.2.
const View kViews[] = {{"default", 0, 0.0, GlTest::kWidth, GlTest::kHeight},
                       {"steep", KeyArrowUp, 1.0, GlTest::kWidth, GlTest::kHeight},
                       {"flat", KeyArrowDown, 0.3, GlTest::kWidth, GlTest::kHeight},
                       {"small window", 0, 0.0, 400, 300}};

void holdKey(WaterTable& table, int key, double seconds) {
    InputEventKeyPressed held(0.0, key, seconds);
    table.handleEvent(held);
}

class WaterLookGl : public TableSceneGl {
protected:
    void SetUp() override {
        TableSceneGl::SetUp();
        // Fast: the coarser pictures reach farther per pixel.
        table.setQuality(SceneQuality(SceneQuality::Level::Fast));
        table.attach();
    }

    // The most vivid blue pixels each view has shown of the water; the scene
    // clock stands still meanwhile.
    void countViews() {
        for (size_t v = 0; v < std::size(kViews); ++v) {
            const View& view = kViews[v];
            holdKey(table, view.key, view.seconds);
            glViewport(0, 0, view.width, view.height);
            // Both pictures redrawn for this camera, on alternating frames too.
            table.render(0.0, 0.0f);
            table.render(0.0, 0.0f);
            worst[v] = std::max(worst[v], vividBluePixels(view.width, view.height));
            holdKey(table, view.key == KeyArrowUp ? KeyArrowDown : KeyArrowUp, view.seconds);
        }
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

    int worst[std::size(kViews)] = {};
};

} // namespace

// On still water and after jumps that land by each of the four edges, whose
// ripples bend the water's look up to 20 units past the rim.
TEST_F(WaterLookGl, StillWaterAndLandingsByEachEdge_ShowNoBackgroundBlueInAnyView) {
    countViews();
    GameBoard& board = newHumanGame();
    const int jumps[][4] = {{0, 0, 2, 0}, {8, 8, 8, 6}, {2, 0, 0, 2}, {8, 6, 6, 8}};
    for (const auto& jump : jumps) {
        ASSERT_TRUE(board.performMove(jump[0], jump[1], jump[2], jump[3]));
        // A step of the water a frame: the figure lands after a second and
        // its splash, bluish too, has fallen back within another.
        for (int frame = 0; frame < 25; ++frame) {
            table.render(0.1, 0.0f);
        }
        countViews();
    }
    for (size_t v = 0; v < std::size(kViews); ++v) {
        EXPECT_EQ(worst[v], 0) << kViews[v].name;
    }
}

// Fast draws each picture every other frame, and the water shows the other
// from the frame before. A ripple that reaches past the rim grows the area
// the water samples: in that frame both pictures must hold the new area,
// neither a strip left from an older frame. With no figure and no splash
// (a split of a figure the display never showed) and no caustics, nothing
// else changes from frame to frame, so each frame must look as it does with
// both pictures drawn anew.
TEST_F(WaterLookGl, Fast_RipplesReachingPastTheRim_ShowNoStaleStrip) {
    InputEventKeyUp causticsOff(0.0, KeyF1 + 2, 0.0, 0.0); // F3
    table.handleEvent(causticsOff);
    // Pictures drawn from low down first, so an old strip differs; then seen
    // from high above, where the area the water samples nearly fills its
    // box in the pictures.
    holdKey(table, KeyArrowDown, 0.3);
    table.render(0.0, 0.0f);
    table.render(0.0, 0.0f);
    holdKey(table, KeyArrowUp, 1.3);
    GameBoard& board = table.getBoard();
    // By the right edge, then by the left one: the second ripple passes the
    // rim an odd number of frames after the first, so the two meet the
    // alternation on frames of either kind.
    const int splits[][4] = {{8, 4, 8, 5}, {0, 4, 0, 5}};
    int differing[2] = {};
    for (int s = 0; s < 2; ++s) {
        board.setField(splits[s][0], splits[s][1], GameBoard::kPlayer1);
        ASSERT_TRUE(board.performMove(splits[s][0], splits[s][1], splits[s][2], splits[s][3]));
        table.render(0.0, 0.0f); // the split starts: its drop
        for (int frame = 0; frame < 2; ++frame) {
            table.render(0.25, 0.0f); // a slow frame: two or three steps of the water
            const std::vector<uint8_t> shown = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            table.render(0.0, 0.0f);
            table.render(0.0, 0.0f);
            const std::vector<uint8_t> anew = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            const auto off = [&](size_t k) {
                return std::abs(shown[k] - anew[k]) > kChannelTolerance;
            };
            for (size_t i = 0; i < shown.size(); i += 4) {
                differing[s] += off(i) || off(i + 1) || off(i + 2);
            }
        }
        for (int frame = 0; frame < 10; ++frame) {
            table.render(0.1, 0.0f); // the split ends
        }
    }
    EXPECT_EQ(differing[0], 0) << "by the right edge";
    EXPECT_EQ(differing[1], 0) << "by the left edge";
}

// The checker of the fields must read through still water from the default
// camera: the mean grey of the light fields' centres and of the dark ones'
// lie at least 16 levels apart (the reflection of the sky and the caustics
// must not carry all the contrast).
TEST_F(WaterLookGl, DefaultView_StillWater_LightAndDarkFieldsDifferBySixteenGreyLevels) {
    table.render(0.0, 0.0f);
    table.render(0.0, 0.0f);
    GLdouble projection[16];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60.0, double(GlTest::kWidth) / GlTest::kHeight, 1.0, 3000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const std::array<float, 16> view = table.viewMatrix();
    GLdouble model[16];
    std::copy(view.begin(), view.end(), model);
    const GLint viewport[4] = {0, 0, GlTest::kWidth, GlTest::kHeight};
    constexpr int kBox = 7;
    constexpr float kField = 64.0f / 9.0f;
    double grey[2] = {};
    int fields[2] = {};
    // The row nearest the camera lies under the table's edge.
    for (int j = 1; j < 9; ++j) {
        for (int i = 0; i < 9; ++i) {
            GLdouble x = 0, y = 0, z = 0;
            ASSERT_TRUE(gluProject((i + 0.5) * kField, (j + 0.5) * kField, -5.0, model, projection, viewport,
                                   &x, &y, &z));
            const std::vector<uint8_t> rgba =
                GlTest::readPixels(int(x) - kBox / 2, int(y) - kBox / 2, kBox, kBox);
            double sum = 0.0;
            for (size_t p = 0; p < rgba.size(); p += 4) {
                sum += 0.299 * rgba[p] + 0.587 * rgba[p + 1] + 0.114 * rgba[p + 2];
            }
            const int dark = (i + j) % 2;
            grey[dark] += sum / (kBox * kBox);
            ++fields[dark];
        }
    }
    EXPECT_GE(grey[0] / fields[0] - grey[1] / fields[1], 16.0);
}
