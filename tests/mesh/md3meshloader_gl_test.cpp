#include <GL/glew.h>

#include "core/exceptions.h"
#include "core/material.h"
#include "core/system.h"
#include "mesh/animatedmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "mesh/staticmesh.h"
#include "resources/resourcemanager.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/md3files.h"
#include "support/pngfiles.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 128;
constexpr const char* kTextureType = "class ImageTexture2D";

size_t registeredTextures() {
    return ResourceManager::instance().getEntryCount(kTextureType);
}

void usePathArgument(const std::string& directory) {
    static std::string argument;
    argument = "path=" + directory;
    const char* argv[] = {"sporrik", argument.c_str()};
    System::instance()->setArguments(2, argv);
}

bool blank(const std::vector<uint8_t>& pixels) {
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) {
            return false;
        }
    }
    return true;
}

// Renders a model lit, seen from above at an angle and framed by the
// bounding sphere of its animated meshes as they stand.
class ModelView {
public:
    explicit ModelView(const MeshGroup& group) {
        vec3 low(FLT_MAX, FLT_MAX, FLT_MAX);
        vec3 high(-FLT_MAX, -FLT_MAX, -FLT_MAX);
        for (int i = 0; i < group.size(); ++i) {
            const auto* mesh = dynamic_cast<const AnimatedMesh*>(group.get(i));
            for (int v = 0; mesh != nullptr && v < mesh->getVertexCount(); ++v) {
                const vec3& p = mesh->getPositions()[v];
                low = vec3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
                high = vec3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
            }
        }
        center = (low + high) * 0.5f;
        radius = std::max((high - low).length() * 0.5f, 1e-3f);
    }

    template <typename Draw>
    std::vector<uint8_t> render(Draw draw) const {
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-radius, radius, -radius, radius, -radius, radius);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const GLfloat light[4] = {0.3f, 0.5f, 1.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        glRotatef(-55.0f, 1, 0, 0);
        glRotatef(30.0f, 0, 0, 1);
        glTranslatef(-center.x, -center.y, -center.z);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Material::resetLastApplied();
        draw();
        std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, kSize, kSize);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_TEXTURE_2D);
        glLoadIdentity();
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        return pixels;
    }

private:
    vec3 center;
    float radius = 1.0f;
};

// Loads name, checks that it draws, that its static copy draws the same
// pixels and that the group and the copy free their textures and lists.
void expectLoadsDrawsAndFrees(const std::string& name) {
    const size_t texturesBefore = registeredTextures();
    std::vector<GLuint> lists;
    {
        MD3MeshLoader loader;
        std::unique_ptr<MeshGroup> group = loader.load(name);
        ASSERT_NE(group, nullptr) << name;
        ASSERT_GT(group->size(), 0) << name;
        EXPECT_TRUE(group->getHasAnimated());
        group->animate(0, 0.0);
        std::unique_ptr<MeshGroup> copy = group->toStatic();
        ASSERT_EQ(copy->size(), group->size());
        for (int i = 0; i < copy->size(); ++i) {
            EXPECT_NE(group->get(i)->getMaterial(), nullptr) << name << " mesh " << i;
            lists.push_back(static_cast<StaticMesh*>(copy->get(i))->getDisplayList(0));
        }
        EXPECT_GT(registeredTextures(), texturesBefore);

        const ModelView view(*group);
        const std::vector<uint8_t> dynamicPixels = view.render([&] { group->draw(0); });
        const std::vector<uint8_t> staticPixels = view.render([&] { copy->draw(0); });
        EXPECT_FALSE(blank(dynamicPixels)) << name;
        EXPECT_TRUE(dynamicPixels == staticPixels) << name << ": static and dynamic renders differ";
        if (dynamicPixels != staticPixels || blank(dynamicPixels)) {
            const std::string file = std::filesystem::path(name).stem().string();
            GlTest::savePng(file + "_dynamic.png", dynamicPixels, kSize, kSize);
            GlTest::savePng(file + "_static.png", staticPixels, kSize, kSize);
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    EXPECT_EQ(registeredTextures(), texturesBefore) << name;
    for (const GLuint list : lists) {
        EXPECT_FALSE(glIsList(list)) << name;
    }
}

// Models written by the test ----------------------------------------------------------------

class Md3LoaderGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        usePathArgument(dir.path());
        std::filesystem::create_directories(dir.file("models/t"));
        PngFiles::write(dir.file("models/t/body.png"), PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB));
        PngFiles::write(dir.file("models/t/head.png"), PngFiles::pattern(8, 8, PNG_COLOR_TYPE_RGB_ALPHA));
        Md3Files::Model model = Md3Files::sample();
        // Lift the head off the body and tilt the normals, so lighting shows.
        for (auto& vertex : model.surfaces[1].vertices) {
            vertex.z = 96;
            vertex.normalA = 40;
            vertex.normalB = static_cast<uint8_t>(vertex.x);
        }
        Md3Files::writeBytes(dir.file("models/t/t.md3"), Md3Files::encode(model));
        Md3Files::writeText(dir.file("models/t/t.cfg"), "0 3 0 10\n");
        Md3Files::writeText(dir.file("models/t/t.skin"), "body,models/t/body.png\nhead,skins/head.png\n");
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    PngFiles::TempDir dir;
};

TEST_F(Md3LoaderGlTest, WrittenModel_LoadsDrawsCompilesAndFrees) {
    expectLoadsDrawsAndFrees("models/t/t.md3");
}

TEST_F(Md3LoaderGlTest, SkinMaterial_HasTheSkinColoursBlendingOffAndItsTexture) {
    MD3MeshLoader loader;
    auto group = loader.load("models/t/t");
    ASSERT_NE(group, nullptr);
    Material* material = group->get(0)->getMaterial();
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->getTextureCount(), 1u);
    glEnable(GL_BLEND);
    Material::resetLastApplied();
    material->apply();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat specular[4] = {};
    GLfloat ambient[4] = {};
    GLfloat emission[4] = {1, 1, 1, 1};
    GLfloat shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glGetMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(specular[0], 0.1f);
    EXPECT_FLOAT_EQ(ambient[2], 0.2f);
    EXPECT_FLOAT_EQ(emission[3], 0.0f);
    EXPECT_FLOAT_EQ(shininess, 50.0f);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), material->getTexture(0).getId());
    glDisable(GL_TEXTURE_2D);
}

TEST_F(Md3LoaderGlTest, MissingSkinTexture_ThrowsAndLeavesNothingBehind) {
    Md3Files::writeText(dir.file("models/t/t.skin"), "body,models/t/body.png\nhead,models/t/none.png\n");
    MD3MeshLoader loader;
    EXPECT_THROW(loader.load("models/t/t.md3"), InstantiationException);
    EXPECT_EQ(registeredTextures(), 0u);
    // The loader is fit for the next model.
    Md3Files::writeText(dir.file("models/t/t.skin"), "body,models/t/body.png\n");
    EXPECT_NE(loader.load("models/t/t.md3"), nullptr);
}

// The generated game models --------------------------------------------------------------------

class GameModelGlTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        usePathArgument(assetDir());
    }
};

TEST_P(GameModelGlTest, LoadsDrawsCompilesAndFrees) {
    expectLoadsDrawsAndFrees(GetParam());
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

} // namespace
