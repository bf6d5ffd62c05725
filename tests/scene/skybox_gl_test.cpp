#include <GL/glew.h>

#include "mesh/vectormath.h"
#include "scene/skybox.h"
#include "support/assettest.h"
#include "support/glcontext.h"
#include "support/md3files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

// A sky model whose skin names no texture: nothing is changed or drawn, and
// the reason is logged once.
TEST(SkyBoxGl, ModelWithoutTextures_IsNotDrawn) {
    TempAssets assets;
    std::filesystem::create_directories(assets.file("models/skybox"));
    const std::string base = assets.file("models/skybox/skybox");
    Md3Files::writeFile(base + ".md3", Md3Files::encode(Md3Files::sample()));
    Md3Files::writeFile(base + ".cfg", std::string("0 1 0 10\n"));
    Md3Files::writeFile(base + ".skin", std::string());
    LogCapture log;
    SkyBox sky;
    sky.load();
    EXPECT_FALSE(sky.isLoaded());
    const auto& lines = log.lines();
    EXPECT_EQ(std::count_if(
                  lines.begin(), lines.end(),
                  [](const std::string& line) { return line.find("no sky is drawn") != std::string::npos; }),
              1);

    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    sky.draw(vec3(0, 0, 0));
    const std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i] + pixels[i + 1] + pixels[i + 2], 0) << "drawn at pixel " << i / 4;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
