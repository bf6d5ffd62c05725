#include <GL/glew.h>

#include "base/tools.h"
#include "game/gameboard.h"
#include "input/inputevent.h"
#include "resources/material.h"
#include "scene/cameracontrol.h"
#include "scene/fieldpicker.h"
#include "scene/scenehost.h"
#include "scene/waterpasses.h"
#include "scene/watersurface.h"
#include "scene/watertable.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <GL/glu.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// A window smaller than the pass pictures.
constexpr int kSmallWidth = 400;
constexpr int kSmallHeight = 300;
constexpr float kAspect = static_cast<float>(kSmallWidth) / kSmallHeight;

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
        // Looking straight down on the board centre from 60 units above.
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(32, 32, 60, 32, 32, 0, 0, 1, 0);
        glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
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
    std::array<float, 16> view{};
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
    WaterSurface().draw(WaterView{&passes.getRefraction(), &passes.getReflection(), view, kAspect, 0.45f});
    const std::vector<uint8_t> centre = GlTest::readPixels(kSmallWidth / 2, kSmallHeight / 2, 1, 1);
    glPopAttrib();
    // Blue under the water times 0.45 plus the red mirror times 0.55.
    EXPECT_NEAR(centre[0], 0.55 * 255, 3);
    EXPECT_EQ(centre[1], 0);
    EXPECT_NEAR(centre[2], 0.45 * 255, 3);
}

// The table scene on the generated assets in the test window, its log kept
// out of the output; attached by the test, detached at its end. Every asset
// loads, also after an earlier table released them.
class TableSceneGl : public ::testing::Test {
protected:
    class RunningHost : public SceneHost {
    public:
        bool isGamePaused() const override { return false; }
        void returnToMenus() override { ++returns; }
        int returns = 0;
    };

    void SetUp() override {
        GlTest::ensureContext();
        setAssetDirectory(assetDir());
    }
    void TearDown() override {
        table.detach();
        setAssetDirectory("");
        Material::resetLastApplied();
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_FALSE(log.has("not loaded"));
    }

    // A new game between two humans: nothing moves unless the test moves it.
    GameBoard& newHumanGame() {
        GameBoard& board = table.getBoard();
        board.setHuman(GameBoard::kPlayer1, true);
        board.setHuman(GameBoard::kPlayer2, true);
        board.newGame();
        return board;
    }

    // The window's picture, redrawn until two frames in a row agree: every
    // seventh frame or so of a paused scene differs by a shade over the water.
    std::vector<uint8_t> picture() {
        std::vector<uint8_t> last;
        for (int frame = 0; frame < 10; ++frame) {
            table.render(0.0, 0.0f);
            std::vector<uint8_t> now = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            if (now == last) {
                break;
            }
            last = std::move(now);
        }
        return last;
    }

    LogCapture log;
    RunningHost host;
    WaterTable table{host};
};

using WaterTableGl = TableSceneGl;

// The marker under the pointer shows where the pointer picks. At half the
// scale it must appear where it does at the full one: the pointer's window
// coordinates pick the same field, and the stretched picture lies on it.
TEST_F(WaterTableGl, ReducedScale_PointerPicksAndMarksTheSameFieldAsAtFullScale) {
    // Window position (from the bottom) of the slime in its corner, seen from
    // the initial orbit camera.
    constexpr double kSlimeX = 71, kSlimeY = GlTest::kHeight - 515;
    table.attach();
    table.detach();
    table.attach();
    newHumanGame();
    for (int i = 0; i < 4; ++i) {
        table.render(0.1, 0.0f); // the new game shown
    }
    std::array<double, 2> centre[2] = {};
    for (const int percent : {100, 50}) {
        table.fixScale(percent);
        const auto pictureWithPointerAt = [&](double x, double y) {
            InputEventMotion motion(0.0, x, y, false);
            table.handleEvent(motion);
            return picture();
        };
        const std::vector<uint8_t> away = pictureWithPointerAt(0.5, 0.01);
        const std::vector<uint8_t> over =
            pictureWithPointerAt(kSlimeX / GlTest::kWidth, 1.0 - kSlimeY / GlTest::kHeight);
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
        std::array<double, 2>& at = centre[percent == 100 ? 0 : 1];
        at = {sumX / marked, sumY / marked};
        EXPECT_LT(std::hypot(at[0] - kSlimeX, at[1] - kSlimeY), 40.0)
            << percent << " %: marker off the figure";
    }
    EXPECT_LT(std::hypot(centre[0][0] - centre[1][0], centre[0][1] - centre[1][1]), 4.0);
}

// With the camera low, a figure in front of a field that the selected figure
// can jump to hides much of it, and its picking sphere reaches past its
// body. A click where the field's floor shows beside the figure plays the
// jump, instead of being refused as a click on the opponent's figure. The
// figure is selected by keys, Escape dropping the selection in between.
TEST_F(WaterTableGl, LowCamera_AClickOnTheVisiblePartOfAReachableFieldBehindAFigurePlaysTheMove) {
    // The jump comes towards the camera; the opponent stands before the target.
    constexpr int kFromY = 6, kX = 4, kToY = 4, kInFrontY = 3;
    table.fixScale(100);
    table.attach();
    GameBoard::Record game;
    game.fields.assign(GameBoard::kBoardSize * GameBoard::kBoardSize, GameBoard::kEmpty);
    game.fields[kFromY * GameBoard::kBoardSize + kX] = GameBoard::kPlayer1;
    game.fields[kInFrontY * GameBoard::kBoardSize + kX] = GameBoard::kPlayer2;
    game.fields.back() = GameBoard::kPlayer2;
    game.toMove = GameBoard::kPlayer1;
    game.human = {true, true};
    game.difficulty = GameBoard::kHard;
    ASSERT_TRUE(table.resume(game));
    table.setOrbit(CameraControl::kInitialAzimuth, CameraControl::kMinElevation, CameraControl::kMinDistance);
    GameBoard& board = table.getBoard();
    // Selected by keys: Tab and Enter; Escape drops the selection before it leaves the game.
    const auto press = [this](int key) {
        InputEventKeyDown down(0.0, key);
        table.handleEvent(down);
        InputEventKeyUp up(0.0, key, 0.0, 0.1);
        table.handleEvent(up);
        table.render(0.1, 0.0f);
    };
    for (const int key : {KeyTab, KeyEnter, KeyEscape, KeySpace}) {
        press(key);
    }
    EXPECT_EQ(host.returns, 0);
    ASSERT_EQ(std::make_pair(board.getSelectedX(), board.getSelectedY()), std::make_pair(kX, kFromY));
    table.render(0.0, 0.0f);

    // A point of the target's floor just beside the figure in front, on the
    // camera's side of the target, and where the window shows it.
    const vec3 floor = MoveAnimation::fieldPosition(kX, kToY) + vec3(-2.0f, -2.0f, 0.0f);
    std::array<double, 16> model{}, projection{};
    const Camera::Matrix4 view = table.viewMatrix();
    std::copy(view.begin(), view.end(), model.begin());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(GlTest::kWidth) / GlTest::kHeight, 1.0, 3000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const GLint viewport[4] = {0, 0, GlTest::kWidth, GlTest::kHeight};
    double x = 0.0, y = 0.0, depth = 0.0;
    gluProject(floor.x, floor.y, floor.z, model.data(), projection.data(), viewport, &x, &y, &depth);
    // Nothing nearer than the water's plane is drawn there: no figure.
    float drawn = 0.0f;
    glReadPixels(static_cast<int>(x), static_cast<int>(y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &drawn);
    ASSERT_GE(drawn, depth - 1.0e-4) << "the window shows a figure there, not the floor";
    const float pointerX = static_cast<float>(x / GlTest::kWidth);
    const float pointerY = static_cast<float>(1.0 - y / GlTest::kHeight);
    const FieldPicker::Pick figuresFirst = FieldPicker::pick(
        table, static_cast<float>(GlTest::kWidth) / GlTest::kHeight, pointerX, pointerY, [] {
            MoveAnimation::ShownFields shown{};
            shown[kX][kInFrontY] = GameBoard::kPlayer2;
            return shown;
        }());
    ASSERT_EQ(std::make_pair(figuresFirst.x, figuresFirst.y), std::make_pair(kX, kInFrontY))
        << "the figure in front would not have taken the click there";

    InputEventMotion motion(0.0, pointerX, pointerY, false);
    table.handleEvent(motion);
    InputEventKeyDown down(0.0, KeyMouseLeft);
    table.handleEvent(down);
    InputEventKeyUp up(0.0, KeyMouseLeft, 0.0, 0.1);
    table.handleEvent(up);
    EXPECT_EQ(board.getField(kX, kToY), GameBoard::kPlayer1) << "the jump was not played";
}

// How the water looks: what the passes leave undrawn never shows through it,
// and the board reads through it. The refraction picture's background, blue,
// mixed with the reflection: far bluer than anything the scene lights (its
// bluest, the walls under the blue light seen from above, stays below 80).
constexpr int kVividBlue = 100;

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
                       {"small window", 0, 0.0, kSmallWidth, kSmallHeight}};

class WaterLookGl : public TableSceneGl {
protected:
    void SetUp() override {
        TableSceneGl::SetUp();
        // Fast: the coarser pictures reach farther per pixel.
        table.setQuality(SceneQuality(SceneQuality::Level::Fast));
        table.attach();
    }

    void holdKey(int key, double seconds) {
        InputEventKeyPressed held(0.0, key, seconds);
        table.handleEvent(held);
    }

    // The most vivid blue pixels each view has shown of the water; the scene
    // clock stands still meanwhile.
    void countViews() {
        for (size_t v = 0; v < std::size(kViews); ++v) {
            const View& view = kViews[v];
            holdKey(view.key, view.seconds);
            glViewport(0, 0, view.width, view.height);
            // Both pictures redrawn for this camera, on alternating frames too.
            table.render(0.0, 0.0f);
            table.render(0.0, 0.0f);
            const std::vector<uint8_t> rgba = GlTest::readPixels(0, 0, view.width, view.height);
            int vivid = 0;
            for (size_t i = 0; i < rgba.size(); i += 4) {
                vivid += rgba[i + 2] > std::max(rgba[i], rgba[i + 1]) + kVividBlue;
            }
            worst[v] = std::max(worst[v], vivid);
            holdKey(view.key == KeyArrowUp ? KeyArrowDown : KeyArrowUp, view.seconds);
        }
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

    int worst[std::size(kViews)] = {};
};

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
    holdKey(KeyArrowUp, 1.0);
    GameBoard& board = table.getBoard();
    // By the right edge, then by the left one: the second ripple passes the
    // rim an odd number of frames after the first, so the two meet the
    // alternation on frames of either kind.
    for (const int x : {8, 0}) {
        SCOPED_TRACE(x == 0 ? "by the left edge" : "by the right edge");
        board.setField(x, 4, GameBoard::kPlayer1);
        ASSERT_TRUE(board.performMove(x, 4, x, 5));
        table.render(0.0, 0.0f); // the split starts: its drop
        for (int frame = 0; frame < 2; ++frame) {
            table.render(0.25, 0.0f); // a slow frame: the ripples outrun the older picture
            const std::vector<uint8_t> shown = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            table.render(0.0, 0.0f);
            table.render(0.0, 0.0f);
            const std::vector<uint8_t> anew = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
            int differing = 0;
            for (size_t i = 0; i < shown.size(); ++i) {
                // Pictures drawn anew may round a few levels differently.
                differing += i % 4 != 3 && std::abs(shown[i] - anew[i]) > 8;
            }
            EXPECT_EQ(differing, 0) << "frame " << frame;
        }
        for (int frame = 0; frame < 10; ++frame) {
            table.render(0.1, 0.0f); // the split ends
        }
    }
}

// The checker of the fields must read through still water from the default
// camera: the mean grey of the light fields' centres and of the dark ones'
// lie at least 16 levels apart (the reflection of the sky and the caustics
// must not carry all the contrast).
TEST_F(WaterLookGl, DefaultView_StillWater_LightAndDarkFieldsDifferBySixteenGreyLevels) {
    table.render(0.0, 0.0f);
    table.render(0.0, 0.0f);
    const std::array<float, 16> m = table.viewMatrix();
    const float f = 1.0f / std::tan(3.14159265f / 6.0f); // 60 degrees from bottom to top
    constexpr int kBox = 7;
    double grey[2] = {};
    // The row nearest the camera lies under the table's edge.
    for (int j = 1; j < 9; ++j) {
        for (int i = 0; i < 9; ++i) {
            const float x = (i + 0.5f) * 64.0f / 9.0f, y = (j + 0.5f) * 64.0f / 9.0f, z = -5.0f;
            const float ex = m[0] * x + m[4] * y + m[8] * z + m[12],
                        ey = m[1] * x + m[5] * y + m[9] * z + m[13];
            const float ez = m[2] * x + m[6] * y + m[10] * z + m[14];
            const int px =
                static_cast<int>((f * GlTest::kHeight / GlTest::kWidth * ex / -ez + 1) * GlTest::kWidth / 2);
            const int py = static_cast<int>((f * ey / -ez + 1) * GlTest::kHeight / 2);
            const std::vector<uint8_t> rgba = GlTest::readPixels(px - kBox / 2, py - kBox / 2, kBox, kBox);
            for (size_t p = 0; p < rgba.size(); p += 4) {
                grey[(i + j) % 2] += 0.299 * rgba[p] + 0.587 * rgba[p + 1] + 0.114 * rgba[p + 2];
            }
        }
    }
    // 36 light fields and 36 dark ones.
    EXPECT_GE((grey[0] - grey[1]) / (36 * kBox * kBox), 16.0);
}

// The shortcuts that make a frame faster must not change its picture: fixed
// scenes (scene clock paused, camera fixed) are drawn with them and the plain
// way in the same run and compared pixel by pixel. The refraction pass draws
// no sky either way: along the basin's rim the water samples that picture
// beyond the basin, where a sky would show.
class ScenePictureGl : public TableSceneGl {
protected:
    // Each player fills a block of fields from its corner by splits, a gap of
    // rows between the blocks.
    static constexpr int kBlockColumns = 7;
    static constexpr int kBlockRows = 3;

    void SetUp() override {
        TableSceneGl::SetUp();
        table.setQuality(SceneQuality(SceneQuality::Level::Full));
        GameBoard& board = newHumanGame();
        constexpr int kLast = GameBoard::kBoardSize - 1;
        for (int y = 0; y < kBlockRows; ++y) {
            for (int x = y == 0 ? 1 : 0; x < kBlockColumns; ++x) {
                // From the neighbour filled before: left, else below.
                const int fromX = x > 0 ? x - 1 : x, fromY = x > 0 ? y : y - 1;
                ASSERT_TRUE(board.performMove(fromX, fromY, x, y));
                ASSERT_TRUE(board.performMove(kLast - fromX, kLast - fromY, kLast - x, kLast - y));
            }
        }
        table.attach();
        // Small frames of a second finish each move animation at once.
        glViewport(0, 0, 64, 48);
        for (int frame = 0;
             frame < 400 && table.countShownFigures(GameBoard::kPlayer2) < kBlockColumns * kBlockRows;
             ++frame) {
            table.render(1.0, 0.0f);
        }
        ASSERT_EQ(table.countShownFigures(GameBoard::kPlayer1), kBlockColumns * kBlockRows);
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    }

    void expectTheSamePictureBothWays() {
        table.setShortcuts(true);
        const std::vector<uint8_t> fast = picture();
        table.setShortcuts(false);
        const std::vector<uint8_t> plain = picture();
        int differing = 0;
        for (size_t i = 0; i < fast.size(); i += 4) {
            differing += std::equal(&fast[i], &fast[i + 3], &plain[i]) ? 0 : 1;
        }
        // Pixels where the table's mesh leaves a crack: the plain way shows
        // the sky through it, the covered rows leave it black.
        EXPECT_LE(differing, 8);
    }
};

TEST_F(ScenePictureGl, ShortcutsChangeNoPixel_FromTheOrbitAndFromLowOverTheWater) {
    expectTheSamePictureBothWays();
    // A reduced scale: the covered rows are rows of the smaller picture.
    table.fixScale(60);
    expectTheSamePictureBothWays();
    table.fixScale(100);
    table.setPosition(32.0f, -12.0f, 16.0f);
    table.lookAt(32.0f, 40.0f, 0.0f);
    expectTheSamePictureBothWays();
}

} // namespace
