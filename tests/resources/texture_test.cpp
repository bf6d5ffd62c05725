#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/material.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

// Texture handles up to the first OpenGL call: none of these needs a context.
namespace {

TEST(Texture, EmptyHandles_Throw) {
    Texture texture;
    EXPECT_THROW(texture.bind(), IllegalStateException);
    EXPECT_EQ(texture.getId(), 0u);
    EXPECT_THROW(texture.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP), IllegalStateException);
    texture.release();
    EXPECT_THROW(texture.getData(), IllegalStateException);
    EXPECT_THROW(ImageTexture2D::ImageTexture2DData().clone(), InstantiationException);
}

TEST(Texture, TypedAssignment_AcceptsTheKindAndItsDescendantsOnly) {
    ImageTexture2D image;
    Texture base;
    base = image;
    EXPECT_STREQ(base.typeName(0), "class ImageTexture2D");
    EXPECT_THROW(image.assign(Texture()), ResourceCastException);
}

TEST(Texture, FailedConstruction_ThrowsAndLeavesNothingRegistered) {
    Image2D empty;
    EXPECT_THROW(ImageTexture2D(empty, true, true), IllegalArgumentException);
    Image2D image("textures/missing.png");
    EXPECT_EQ(thrownMessage<InstantiationException>([&] { ImageTexture2D texture(image, true, true); }),
              "error opening image textures/missing.png");
    EXPECT_EQ(ResourceManager::instance().getEntryCount("class ImageTexture2D"), 0u);
    // The caller's handle and the master: the texture's own copy is gone.
    EXPECT_EQ(image.getData().refCount, 2u);
}

} // namespace

// Texture slots; nothing here reaches OpenGL.
namespace {

TEST(Material, TextureSlots_AtMostFour_OthersRefused) {
    Material material;
    EXPECT_TRUE(material.setTextureCount(1));
    EXPECT_FALSE(material.setTextureCount(5));
    EXPECT_EQ(material.getTextureCount(), 1u);
    EXPECT_FALSE(material.setTexture(1, ImageTexture2D()));
    EXPECT_TRUE(material.setTexture(0, ImageTexture2D()));
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { material.getTexture(1); }),
              "illegal texture index used.");
    EXPECT_TRUE(material.getTexture(0).isEmpty());
    EXPECT_TRUE(material.setTextureCount(4));
}

} // namespace
