#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "resources/texturemanager.h"
#include "support/logcapture.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

// Texture handles up to the first OpenGL call: none of these needs a context.
namespace {

TEST(Texture, EmptyHandles_ThrowTheirMessages) {
    Texture texture;
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { texture.bind(); }), "use load() first");
    EXPECT_EQ(texture.getId(), 0u);
    EXPECT_EQ(
        thrownMessage<IllegalStateException>([&] { texture.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP); }),
        "illegal use of empty smart reference");
    texture.release();
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { texture.getData(); }),
              "illegal use of empty smart reference");
    EXPECT_EQ(thrownMessage<InstantiationException>([&] { ImageTexture2D::ImageTexture2DData().clone(); }),
              "ImageTexture2D can't be cloned");
}

TEST(Texture, TypedAssignment_AcceptsTheKindAndItsDescendantsOnly) {
    ImageTexture2D image;
    EXPECT_STREQ(image.typeName(1), "class Texture2D");
    EXPECT_STREQ(image.typeName(3), "class Resource");
    EXPECT_EQ(image.typeName(4), nullptr);
    Texture base;
    base = image;
    EXPECT_STREQ(base.typeName(0), "class ImageTexture2D");
    EXPECT_EQ(thrownMessage<std::bad_cast>([&] { image.assign(Texture()); }),
              "can not convert from 'class Texture' to 'class ImageTexture2D'");
}

TEST(Texture, FailedConstruction_ThrowsAndLeavesNothingRegistered) {
    Image2D empty;
    EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { ImageTexture2D texture(empty, true, true); }),
              "image is empty!!!");
    Image2D image("textures/missing.png");
    EXPECT_EQ(thrownMessage<InstantiationException>([&] { ImageTexture2D texture(image, true, true); }),
              "error opening image textures/missing.png");
    EXPECT_EQ(ResourceManager::instance().getEntryCount("class ImageTexture2D"), 0u);
    // The caller's handle and the master: the texture's own copy is gone.
    EXPECT_EQ(image.getData().refCount, 2u);
}

TEST(TextureManager, ListingWithoutTextures_WritesNothing) {
    Image2D image("textures/a.png");
    LogCapture capture;
    TextureManager::instance().listTextures();
    EXPECT_TRUE(capture.lines().empty());
}

} // namespace
