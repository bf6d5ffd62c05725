#include <GL/glew.h>

#include "mesh/dynamicmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/staticmesh.h"
#include "resources/material.h"
#include "resources/texture.h"
#include "support/assettest.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

constexpr int kSize = 64;

bool blank(const std::vector<uint8_t>& pixels) {
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) {
            return false;
        }
    }
    return true;
}

class MeshGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        PngFiles::write(assets.file("a.png"), PngFiles::pattern(8, 8, PNG_COLOR_TYPE_RGB));
        PngFiles::write(assets.file("b.png"), PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB_ALPHA));
        material.setTextureCount(2);
        material.setTexture(0, ImageTexture2D::fromFile("a.png"));
        material.setTexture(1, ImageTexture2D::fromFile("b.png"));
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glViewport(0, 0, kSize, kSize);
        for (const GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glLoadIdentity();
        }
        // A blank frame is a black one, whatever an earlier test cleared with.
        glClearColor(0, 0, 0, 0);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
    }
    void TearDown() override {
        glPopAttrib();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // A lit, coloured quad with two texture units over most of the viewport;
    // each corner has its own normal, colour and coordinates.
    std::unique_ptr<DynamicMesh> quad() const {
        auto mesh = std::make_unique<DynamicMesh>();
        mesh->setColorsOn(true);
        mesh->allocate(4, 2, 1, 2);
        const vec3 corners[4] = {{-0.8f, -0.8f, 0}, {0.8f, -0.8f, 0}, {0.8f, 0.8f, 0}, {-0.8f, 0.8f, 0}};
        for (int v = 0; v < 4; ++v) {
            mesh->getPositions()[v] = corners[v];
            mesh->getNormals()[v] = vec3(0.3f * (v - 1.5f), 0.2f, 1.0f).normalized();
            mesh->getColors()[v] =
                vec4(v == 0 ? 1.0f : 0.3f, v == 1 ? 1.0f : 0.4f, v == 2 ? 1.0f : 0.5f, 1.0f);
            mesh->getTexCoords(0)[v] = vec2(corners[v].x, corners[v].y) * 1.5f;
            mesh->getTexCoords(1)[v] = vec2(corners[v].y, -corners[v].x);
        }
        mesh->getTriangles(0)[0] = {{0, 1, 2}};
        mesh->getTriangles(0)[1] = {{0, 2, 3}};
        mesh->setMaterial(std::make_unique<Material>(material));
        return mesh;
    }
    std::vector<uint8_t> render(Mesh& mesh, int part = 0) {
        glClear(GL_COLOR_BUFFER_BIT);
        Material::resetLastApplied();
        mesh.draw(part);
        return GlTest::readPixels(0, 0, kSize, kSize);
    }

    TempAssets assets;
    Material material;
};

TEST_F(MeshGlTest, Draw_SetsEveryClientUnitAndRestoresUnitZero) {
    auto mesh = quad();
    glClientActiveTexture(GL_TEXTURE1);
    const std::vector<uint8_t> fromUnitOne = render(*mesh);
    GLint active = 0;
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    for (const GLenum unit : {GL_TEXTURE1, GL_TEXTURE0}) {
        glClientActiveTexture(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit;
    }
    for (const GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY}) {
        EXPECT_FALSE(glIsEnabled(array)) << array;
    }
    // Whichever client unit was selected before, the picture is the same.
    EXPECT_TRUE(render(*mesh) == fromUnitOne);
}

TEST_F(MeshGlTest, NothingToDraw_LeavesTheFrameBlankDynamicOrCompiled) {
    auto whole = quad();
    auto broken = quad();
    broken->getTriangles(0)[1] = {{0, 2, 4}};
    DynamicMesh noVertices;
    noVertices.allocate(0, 0, 1, 0);
    DynamicMesh noParts;
    const std::tuple<const char*, DynamicMesh*, int> cases[] = {
        {"part beyond the last", whole.get(), 1},
        {"negative part", whole.get(), -1},
        {"index beyond the vertices", broken.get(), 0},
        {"no vertices", &noVertices, 0},
        {"no parts", &noParts, 0}};
    for (const auto& [what, mesh, part] : cases) {
        EXPECT_TRUE(blank(render(*mesh, part))) << what;
        EXPECT_TRUE(blank(render(*mesh->toStatic(), part))) << what << ", compiled";
    }
    EXPECT_EQ(noParts.toStatic()->getPartCount(), 0);
}

TEST_F(MeshGlTest, StaticCopies_DrawAsTheDynamicMesh_ShareListsUntilTheLastGoes) {
    auto mesh = quad();
    const std::vector<uint8_t> dynamicPixels = render(*mesh);
    EXPECT_FALSE(blank(dynamicPixels));
    auto first = mesh->toStatic();
    const GLuint list = first->getDisplayList(0);
    ASSERT_NE(list, 0u);
    auto second = first->toStatic();
    EXPECT_EQ(second->getDisplayList(0), list);
    first.reset();
    EXPECT_TRUE(glIsList(list));
    EXPECT_TRUE(render(*second) == dynamicPixels);
    second->clear();
    EXPECT_FALSE(glIsList(list));
    EXPECT_TRUE(blank(render(*second)));
}

// Whether the generated models load and draw, static copies too, is the
// scene's drawing tests' part.
TEST_F(MeshGlTest, SkinMaterial_TurnsBlendingOffAndBindsItsTexture) {
    std::unique_ptr<Material> material = MD3MeshLoader::createSkinMaterial("a.png");
    ASSERT_EQ(material->getTextureCount(), 1u);
    glEnable(GL_BLEND);
    Material::resetLastApplied();
    material->apply();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), material->getTexture(0).getId());
}

} // namespace
