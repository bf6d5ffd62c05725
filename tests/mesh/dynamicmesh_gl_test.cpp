#include <GL/glew.h>

#include "core/material.h"
#include "core/system.h"
#include "mesh/dynamicmesh.h"
#include "mesh/staticmesh.h"
#include "resources/image.h"
#include "resources/texture.h"
#include "support/glcontext.h"
#include "support/pngfiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kSize = 64;

GLint integerOf(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// A lit, coloured quad with two texture units over most of a 64 x 64
// viewport; each corner has its own normal, colour and coordinates.
std::unique_ptr<DynamicMesh> quad(const Material* material) {
    auto mesh = std::make_unique<DynamicMesh>();
    mesh->setColorsOn(true);
    mesh->allocate(4, 2, 1, 2);
    const vec3 corners[4] = {{-0.8f, -0.8f, 0}, {0.8f, -0.8f, 0}, {0.8f, 0.8f, 0}, {-0.8f, 0.8f, 0}};
    for (int v = 0; v < 4; ++v) {
        mesh->getPositions()[v] = corners[v];
        mesh->getNormals()[v] = vec3(0.3f * (v - 1.5f), 0.2f, 1.0f).normalized();
        mesh->getColors()[v] = vec4(v == 0 ? 1.0f : 0.3f, v == 1 ? 1.0f : 0.4f, v == 2 ? 1.0f : 0.5f, 1.0f);
        mesh->getTexCoords(0)[v] = vec2(corners[v].x, corners[v].y) * 1.5f;
        mesh->getTexCoords(1)[v] = vec2(corners[v].y, -corners[v].x);
    }
    mesh->getTriangles(0)[0] = {{0, 1, 2}};
    mesh->getTriangles(0)[1] = {{0, 2, 3}};
    if (material != nullptr) {
        mesh->setMaterial(std::make_unique<Material>(*material));
    }
    return mesh;
}

class MeshGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        PngFiles::write(dir.file("a.png"), PngFiles::pattern(8, 8, PNG_COLOR_TYPE_RGB));
        PngFiles::write(dir.file("b.png"), PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB_ALPHA));
        pathArgument = "path=" + dir.path();
        const char* argv[] = {"sporrik", pathArgument.c_str()};
        System::instance()->setArguments(2, argv);
        material.setTextureCount(2);
        material.setTexture(0, ImageTexture2D::fromFile("a.png"));
        material.setTexture(1, ImageTexture2D::fromFile("b.png"));
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        glDisable(GL_DEPTH_TEST);
    }
    void TearDown() override {
        for (GLenum unit : {GL_TEXTURE1, GL_TEXTURE0}) {
            glActiveTexture(unit);
            glDisable(GL_TEXTURE_2D);
        }
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // The pixels after clearing and drawing part of mesh.
    std::vector<uint8_t> render(Mesh& mesh, int part = 0) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        Material::resetLastApplied();
        mesh.draw(part);
        return GlTest::readPixels(0, 0, kSize, kSize);
    }
    static bool blank(const std::vector<uint8_t>& pixels) {
        for (size_t i = 0; i < pixels.size(); i += 4) {
            if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) {
                return false;
            }
        }
        return true;
    }

    PngFiles::TempDir dir;
    std::string pathArgument;
    Material material;
};

// Drawing -----------------------------------------------------------------------------------

TEST_F(MeshGlTest, StaticCopy_DrawsTheSamePixelsAsTheDynamicMesh) {
    auto mesh = quad(&material);
    const std::vector<uint8_t> dynamicPixels = render(*mesh);
    auto copy = mesh->toStatic();
    const std::vector<uint8_t> staticPixels = render(*copy);
    EXPECT_FALSE(blank(dynamicPixels));
    EXPECT_EQ(dynamicPixels, staticPixels);
    if (dynamicPixels != staticPixels) {
        GlTest::savePng("mesh_dynamic.png", dynamicPixels, kSize, kSize);
        GlTest::savePng("mesh_static.png", staticPixels, kSize, kSize);
    }
}

TEST_F(MeshGlTest, Draw_SetsEveryClientUnitAndRestoresUnitZero) {
    auto mesh = quad(&material);
    glClientActiveTexture(GL_TEXTURE1);
    const std::vector<uint8_t> fromUnitOne = render(*mesh);
    EXPECT_EQ(integerOf(GL_CLIENT_ACTIVE_TEXTURE), GL_TEXTURE0);
    for (const GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
        glClientActiveTexture(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit;
    }
    glClientActiveTexture(GL_TEXTURE0);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    // Whichever client unit was selected before, the picture is the same.
    EXPECT_EQ(render(*mesh), fromUnitOne);
}

TEST_F(MeshGlTest, PartOutsideTheMesh_DrawsNothing) {
    auto mesh = quad(&material);
    EXPECT_TRUE(blank(render(*mesh, 1)));
    auto copy = mesh->toStatic();
    EXPECT_TRUE(blank(render(*copy, 1)));
    EXPECT_TRUE(blank(render(*copy, -1)));
}

TEST_F(MeshGlTest, TriangleWithIndexBeyondTheVertices_DrawsNothing) {
    auto mesh = quad(nullptr);
    mesh->getTriangles(0)[1] = {{0, 2, 4}};
    EXPECT_TRUE(blank(render(*mesh)));
    auto copy = mesh->toStatic();
    EXPECT_TRUE(blank(render(*copy)));
}

TEST_F(MeshGlTest, NoParts_CompilesToStaticMeshThatDrawsNothing) {
    DynamicMesh empty;
    auto copy = empty.toStatic();
    EXPECT_EQ(copy->getPartCount(), 0);
    EXPECT_TRUE(blank(render(*copy)));
}

TEST_F(MeshGlTest, DrawNormals_DrawsLinesOnlyWithNormals) {
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    auto mesh = quad(nullptr);
    for (int v = 0; v < 4; ++v) {
        mesh->getNormals()[v] = vec3(0.1f, 0.1f, 0);
    }
    glClear(GL_COLOR_BUFFER_BIT);
    mesh->drawNormals();
    EXPECT_FALSE(blank(GlTest::readPixels(0, 0, kSize, kSize)));
    mesh->setNormalsOn(false);
    glClear(GL_COLOR_BUFFER_BIT);
    mesh->drawNormals();
    EXPECT_TRUE(blank(GlTest::readPixels(0, 0, kSize, kSize)));
}

// Display lists -----------------------------------------------------------------------------

TEST_F(MeshGlTest, StaticCopies_ShareListsUntilTheLastGoes) {
    auto mesh = quad(&material);
    auto first = mesh->toStatic();
    const GLuint list = first->getDisplayList(0);
    ASSERT_NE(list, 0u);
    auto second = first->toStatic();
    EXPECT_EQ(second->getDisplayList(0), list);
    first.reset();
    EXPECT_TRUE(glIsList(list));
    EXPECT_FALSE(blank(render(*second)));
    second->clear();
    EXPECT_FALSE(glIsList(list));
    EXPECT_TRUE(blank(render(*second)));
}

} // namespace
