#include <GL/glew.h>

#include "mesh/animatedmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "mesh/staticmesh.h"
#include "resources/material.h"
#include "resources/resourcemanager.h"
#include "support/assettest.h"
#include "support/glcontext.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kSize = 128;

size_t registeredTextures() {
    return ResourceManager::instance().getEntryCount("class ImageTexture2D");
}

bool blank(const std::vector<uint8_t>& pixels) {
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) {
            return false;
        }
    }
    return true;
}

// Renders drawn lit, framed by the sphere about the origin that holds every
// vertex of framed's animated meshes as they stand.
std::vector<uint8_t> renderFramed(const MeshGroup& framed, MeshGroup& drawn) {
    float radius = 1e-3f;
    for (int i = 0; i < framed.size(); ++i) {
        const auto* mesh = dynamic_cast<const AnimatedMesh*>(framed.get(i));
        for (int v = 0; mesh != nullptr && v < mesh->getVertexCount(); ++v) {
            radius = std::max(radius, mesh->getPositions()[v].length());
        }
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-radius, radius, -radius, radius, -radius, radius);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat light[4] = {0.3f, 0.5f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Material::resetLastApplied();
    drawn.draw(0);
    std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, kSize, kSize);
    glPopAttrib();
    for (const GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glLoadIdentity();
    }
    return pixels;
}

class GameModelGlTest : public ::testing::TestWithParam<const char*> {};

// Every generated model loads and draws, its static copy draws the same
// pixels, and the group and the copy free their textures and display lists.
// (What the files hold: the generated-assets test.)
TEST_P(GameModelGlTest, LoadsDrawsCompilesAndFrees) {
    GlTest::ensureContext();
    setAssetDirectory(assetDir());
    const size_t texturesBefore = registeredTextures();
    std::vector<GLuint> lists;
    {
        MD3MeshLoader loader;
        std::unique_ptr<MeshGroup> group = loader.load(GetParam());
        ASSERT_NE(group, nullptr);
        ASSERT_GT(group->size(), 0);
        EXPECT_TRUE(group->getHasAnimated());
        group->animate(0, 0.0);
        std::unique_ptr<MeshGroup> copy = group->toStatic();
        ASSERT_EQ(copy->size(), group->size());
        for (int i = 0; i < copy->size(); ++i) {
            EXPECT_NE(group->get(i)->getMaterial(), nullptr) << "mesh " << i;
            lists.push_back(static_cast<StaticMesh*>(copy->get(i))->getDisplayList(0));
        }
        EXPECT_GT(registeredTextures(), texturesBefore);
        const std::vector<uint8_t> dynamicPixels = renderFramed(*group, *group);
        EXPECT_FALSE(blank(dynamicPixels));
        EXPECT_TRUE(dynamicPixels == renderFramed(*group, *copy)) << "static and dynamic renders differ";
    }
    EXPECT_EQ(registeredTextures(), texturesBefore);
    for (const GLuint list : lists) {
        EXPECT_FALSE(glIsList(list));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Models, GameModelGlTest,
                         ::testing::Values("models/sporlet/spr-slime.md3", "models/sporlet/spr-slime-low.md3",
                                           "models/sporlet/spr-spike.md3", "models/sporlet/spr-spike-low.md3",
                                           "models/table/table-outside.md3", "models/skybox/skybox.md3"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = std::filesystem::path(info.param).stem().string();
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(SkinGlTest, SkinMaterial_TurnsBlendingOffAndBindsItsTexture) {
    GlTest::ensureContext();
    TempAssets assets;
    PngFiles::write(assets.file("body.png"), PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB));
    std::unique_ptr<Material> material = MD3MeshLoader::createSkinMaterial("body.png");
    ASSERT_EQ(material->getTextureCount(), 1u);
    glEnable(GL_BLEND);
    Material::resetLastApplied();
    material->apply();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), material->getTexture(0).getId());
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
