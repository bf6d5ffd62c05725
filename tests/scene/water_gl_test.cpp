#include <GL/glew.h>

#include "scene/tablescene.h"
#include "scene/waterpasses.h"
#include "scene/watersurface.h"
#include "support/assettest.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <GL/glu.h>
#include <cstdint>
#include <cstdlib>
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
}

// Without a sky the water mirrors the black of the empty sky, not the red.
TEST_F(WaterGl, PassesWithoutSky_ShowBlackWhereNothingIsDrawn) {
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

} // namespace
