#include <GL/glew.h>

#include "core/system.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <array>

namespace {

class RunningGame : public SceneHost {
public:
    bool isGamePaused() const override { return false; }
    void returnToMenus() override {}
};

void useAssetDirectory(const std::string& directory) {
    const std::string path = "path=" + directory;
    const char* arguments[] = {"sporrik_gl_tests", path.c_str()};
    System::instance()->setArguments(2, arguments);
}

// Mean colour of a small block at the middle of a width x height window
// after two frames; anything drawn before (a menu) is painted green.
std::array<double, 3> middleColour(WaterTable& table, int width, int height) {
    constexpr int kBlock = 9;
    glViewport(0, 0, width, height);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int frame = 0; frame < 2; ++frame) {
        table.render(0.02, 0.5f);
    }
    const std::vector<uint8_t> pixels =
        GlTest::readPixels(width / 2 - kBlock / 2, height / 2 - kBlock / 2, kBlock, kBlock);
    std::array<double, 3> mean{};
    for (size_t i = 0; i < pixels.size(); i += 4) {
        for (int k = 0; k < 3; ++k) {
            mean[k] += pixels[i + k] / double(kBlock * kBlock);
        }
    }
    return mean;
}

// The pass pictures must not depend on the window: a window smaller than
// them shows the same water as a large one.
TEST(WaterTableGl, SmallWindow_ShowsTheSameWaterAsALargeOne) {
    GlTest::ensureContext();
    useAssetDirectory(assetDir());
    LogCapture logs;
    RunningGame host;
    WaterTable table(host);
    table.attach();
    const std::array<double, 3> large = middleColour(table, GlTest::kWidth, GlTest::kHeight);
    const std::array<double, 3> small = middleColour(table, 400, 300);
    table.detach();
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);

    EXPECT_GT(large[0] + large[1] + large[2], 100.0); // the water is there
    EXPECT_GT(large[2], large[0]);                    // and blue, not the red mirror background
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(small[k], large[k], 12.0) << "channel " << k;
    }
}

} // namespace
