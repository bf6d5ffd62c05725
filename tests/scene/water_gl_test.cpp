#include <GL/glew.h>

#include "input/inputevent.h"
#include "scene/tablescene.h"
#include "scene/waterpasses.h"
#include "scene/watersurface.h"
#include "support/assettest.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <GL/glu.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

// A window smaller than the pass pictures.
constexpr int kSmallWidth = 400;
constexpr int kSmallHeight = 300;
constexpr float kAspect = static_cast<float>(kSmallWidth) / kSmallHeight;

// Looking straight down on the board centre from 60 units above.
std::array<float, 16> topView() {
    std::array<float, 16> view{};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(32, 32, 60, 32, 32, 0, 0, 1, 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
    glPopMatrix();
    return view;
}

// A horizontal square far larger than the view, facing up or down.
void plane(float z, bool up, float r, float g, float b) {
    glColor3f(r, g, b);
    glPushMatrix();
    glTranslatef(0, 0, z);
    glRectf(-500, up ? -500 : 564, 564, up ? 564 : -500);
    glPopMatrix();
}

std::array<int, 3> pictureCentre(RenderTarget& target) {
    std::vector<uint8_t> pixels(RenderTarget::kSize * RenderTarget::kSize * 4);
    glActiveTexture(GL_TEXTURE0);
    target.bindTexture();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    target.releaseTexture();
    const size_t centre = (RenderTarget::kSize / 2 * RenderTarget::kSize + RenderTarget::kSize / 2) * 4;
    return {pixels[centre], pixels[centre + 1], pixels[centre + 2]};
}

class WaterGl : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        ASSERT_TRUE(passes.create());
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        // Whatever the window showed before (a menu) must not reach the pictures.
        glViewport(0, 0, kSmallWidth, kSmallHeight);
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        glClearColor(0, 0, 0, 0);
    }

    WaterPasses passes;
    const std::array<float, 16> view = topView();
};

TEST_F(WaterGl, Passes_CutTheWorldAtTheWaterPlaneAndMirrorTheUpperHalf) {
    passes.renderRefraction(view, kAspect, [] {
        plane(-1.0f, true, 1, 1, 0);
        plane(1.0f, true, 0, 1, 0);
    });
    EXPECT_EQ(pictureCentre(passes.getRefraction()), (std::array<int, 3>{255, 255, 0}));

    // The mirror shows the underside of what hangs above the water; what lies
    // below comes nearer the eye when mirrored and must be cut off.
    passes.renderReflection(view, kAspect, nullptr, [] {
        plane(1.0f, false, 0, 1, 0);
        plane(1.5f, true, 0, 0, 1);
        plane(-1.0f, false, 1, 1, 0);
    });
    EXPECT_EQ(pictureCentre(passes.getReflection()), (std::array<int, 3>{0, 255, 0}));

    passes.renderReflection(view, kAspect, nullptr, nullptr);
    EXPECT_EQ(pictureCentre(passes.getReflection()), (std::array<int, 3>{255, 0, 0}));
    // Without a sky, black where nothing is drawn, not the sky's red.
    passes.setSkyDrawn(false);
    passes.renderRefraction(view, kAspect, nullptr);
    passes.renderReflection(view, kAspect, nullptr, nullptr);
    EXPECT_EQ(pictureCentre(passes.getRefraction()), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(pictureCentre(passes.getReflection()), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(WaterGl, Surface_MixesTheReflectionInByTheBlendValueInASmallWindow) {
    passes.renderRefraction(view, kAspect, nullptr);
    passes.renderReflection(view, kAspect, nullptr, nullptr);

    glViewport(0, 0, kSmallWidth, kSmallHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, kAspect, 1.0, 3000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(view.data());
    // Light that makes the lit water exactly white: ambient 5 * material 0.2.
    glPushAttrib(GL_LIGHTING_BIT);
    for (int i = 0; i < 8; ++i) {
        glDisable(GL_LIGHT0 + i);
    }
    const float ambient[4] = {5, 5, 5, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_DEPTH_TEST);

    WaterView look;
    look.refraction = &passes.getRefraction();
    look.reflection = &passes.getReflection();
    look.viewMatrix = view;
    look.aspect = kAspect;
    look.blend = 0.45f;
    WaterSurface().draw(look);

    const std::vector<uint8_t> centre = GlTest::readPixels(kSmallWidth / 2, kSmallHeight / 2, 1, 1);
    glPopAttrib();
    // Blue under the water times 0.45 plus the red mirror times 0.55.
    EXPECT_NEAR(centre[0], 0.55 * 255, 3);
    EXPECT_EQ(centre[1], 0);
    EXPECT_NEAR(centre[2], 0.45 * 255, 3);
}

// Window positions (from the bottom) of the figures in the corners, seen
// from the initial orbit camera.
constexpr int kSlimeX = 71;
constexpr int kSlimeY = GlTest::kHeight - 515;
constexpr int kSpikeX = 714;
constexpr int kSpikeY = GlTest::kHeight - 228;

struct Rgb {
    int r, g, b;
};

// Summed colour of the square of kBox pixels centred on (x, y).
constexpr int kBox = 40;
Rgb around(int x, int y) {
    const std::vector<uint8_t> rgba = GlTest::readPixels(x - kBox / 2, y - kBox / 2, kBox, kBox);
    Rgb sum{0, 0, 0};
    for (size_t i = 0; i < rgba.size(); i += 4) {
        sum.r += rgba[i];
        sum.g += rgba[i + 1];
        sum.b += rgba[i + 2];
    }
    return sum;
}

class WaterTableGl : public TableSceneGl {
protected:
    // The window's picture with the pointer at x, y (fractions, y from the top).
    std::vector<uint8_t> pictureWithPointerAt(double x, double y) {
        InputEventMotion motion(0.0, x, y, false);
        table.handleEvent(motion);
        table.render(0.0, 0.5f);
        return GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

    // A new game, shown and drawn.
    void showNewGame() {
        newHumanGame();
        for (int i = 0; i < 4; ++i) {
            table.render(0.1, 0.5f);
        }
    }
};

// Without any asset the scene still plays: the figures stand in as spheres
// in their sides' colours, slimes green and spikes crimson.
TEST_F(WaterTableGl, MissingModels_FiguresBecomeSpheresInTheirSidesColours) {
    TempAssets empty;
    table.attach();
    showNewGame();
    const Rgb slime = around(kSlimeX, kSlimeY);
    const Rgb spike = around(kSpikeX, kSpikeY);
    EXPECT_GT(slime.g, 2 * slime.r);
    EXPECT_GT(spike.r, 2 * spike.g);
    EXPECT_TRUE(log.has("models/sporlet/spr-slime.md3 not loaded"));
    EXPECT_TRUE(log.has("models/table/table-outside.md3 not loaded"));
}

TEST_F(WaterTableGl, GeneratedAssets_LoadDrawAndReleaseAgain) {
    for (int round = 0; round < 2; ++round) {
        table.attach();
        showNewGame();
        EXPECT_EQ(table.countShownFigures(GameBoard::kPlayer1), 1);
        EXPECT_FALSE(log.has("not loaded")) << log.lines().front();
        table.detach();
    }
}

// How the water looks: what the passes leave undrawn never shows through it,
// and the board reads through it.

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

// The marker under the pointer shows where the pointer picks. At half the
// scale it must appear where it does at the full one: the pointer's window
// coordinates pick the same field, and the stretched picture lies on it.
TEST_F(WaterTableGl, ReducedScale_PointerPicksAndMarksTheSameFieldAsAtFullScale) {
    table.attach();
    showNewGame();
    const double slimeX = static_cast<double>(kSlimeX) / GlTest::kWidth;
    const double slimeY = 1.0 - static_cast<double>(kSlimeY) / GlTest::kHeight;
    double centre[2][2] = {};
    for (const int percent : {100, 50}) {
        table.fixScale(percent);
        const std::vector<uint8_t> away = pictureWithPointerAt(0.5, 0.01);
        const std::vector<uint8_t> over = pictureWithPointerAt(slimeX, slimeY);
        double sumX = 0.0, sumY = 0.0;
        int marked = 0;
        for (size_t i = 0; i < over.size(); i += 4) {
            const int change = std::abs(over[i] - away[i]) + std::abs(over[i + 1] - away[i + 1]) +
                               std::abs(over[i + 2] - away[i + 2]);
            if (change > 96) {
                sumX += static_cast<double>(i / 4 % GlTest::kWidth);
                sumY += static_cast<double>(i / 4 / GlTest::kWidth);
                ++marked;
            }
        }
        ASSERT_GT(marked, 50) << percent << " %: no marker under the pointer";
        double* at = centre[percent == 100 ? 0 : 1];
        at[0] = sumX / marked;
        at[1] = sumY / marked;
        EXPECT_LT(std::hypot(at[0] - kSlimeX, at[1] - kSlimeY), 40.0)
            << percent << " %: marker off the figure";
    }
    EXPECT_LT(std::hypot(centre[0][0] - centre[1][0], centre[0][1] - centre[1][1]), 4.0);
}

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
    // Half of each picture, also where a view from above shows little mirror.
    InputEventKeyUp manualBlend(0.0, KeyF1 + 1, 0.0, 0.0); // F2
    table.handleEvent(manualBlend);
    // Seen from high above, where the area the water samples nearly fills
    // its box in the pictures.
    holdKey(table, KeyArrowUp, 1.0);
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
            table.render(0.25, 0.0f); // a slow frame: the ripples outrun the older picture
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
    GLdouble projection[16], model[16];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60.0, double(GlTest::kWidth) / GlTest::kHeight, 1.0, 3000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const std::array<float, 16> view = table.viewMatrix();
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
