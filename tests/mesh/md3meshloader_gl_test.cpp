#include <GL/glew.h>

#include "mesh/md3meshloader.h"
#include "resources/material.h"
#include "support/assettest.h"
#include "support/glcontext.h"

#include <gtest/gtest.h>

namespace {

// Whether the generated models load and draw, static copies too, is the
// scene's drawing tests' part.
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
