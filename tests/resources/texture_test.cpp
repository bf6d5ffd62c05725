#include "core/exceptions.h"
#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "resources/texturemanager.h"
#include "support/logcapture.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <string>

// Texture handles up to the first OpenGL call: none of these needs a context.
namespace {

template <class Call>
std::string illegalState(Call call) {
    return thrownMessage<IllegalStateException>(call);
}

TEST(Texture, DefaultHandle_BindThrowsUseLoadFirst) {
    Texture texture;
    EXPECT_EQ(illegalState([&] { texture.bind(); }), "use load() first");
    EXPECT_EQ(texture.getId(), 0u);
    EXPECT_EQ(texture.toString(), "[empty]");
}

TEST(Texture, HandleWithoutFlagsOrData_ThrowsIllegalUseOfEmptyReference) {
    Texture texture;
    EXPECT_EQ(illegalState([&] { texture.getFlags(); }), "illegal use of empty smart reference");
    EXPECT_EQ(illegalState([&] { texture.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP); }),
              "illegal use of empty smart reference");
    texture.release();
    EXPECT_EQ(illegalState([&] { texture.getData(); }), "illegal use of empty smart reference");
}

TEST(Texture, TypeNames_RunFromImageTexture2DToResource) {
    ImageTexture2D texture;
    EXPECT_STREQ(texture.typeName(0), "class ImageTexture2D");
    EXPECT_STREQ(texture.typeName(1), "class Texture2D");
    EXPECT_STREQ(texture.typeName(2), "class Texture");
    EXPECT_STREQ(texture.typeName(3), "class Resource");
    EXPECT_EQ(texture.typeName(4), nullptr);
}

TEST(Texture, TypedAssignment_AcceptsDerivedDataOnly) {
    Texture base;
    ImageTexture2D image;
    base = image;
    EXPECT_STREQ(base.typeName(0), "class ImageTexture2D");
    EXPECT_EQ(thrownMessage<std::bad_cast>([&] { image.assign(Texture()); }),
              "can not convert from 'class Texture' to 'class ImageTexture2D'");
}

TEST(Texture, ImageTextureData_CloningRefused) {
    ImageTexture2D::ImageTexture2DData data;
    EXPECT_EQ(thrownMessage<InstantiationException>([&] { data.clone(); }), "ImageTexture2D can't be cloned");
}

TEST(Texture, FlagsClone_CopiesParameterValues) {
    Texture::TextureData::TextureFlags flags;
    flags.parameters.insert_or_assign(GL_TEXTURE_WRAP_S, TextureParameter(GL_REPEAT));
    flags.parameters.insert_or_assign(GL_TEXTURE_BORDER_COLOR,
                                      TextureParameter(std::vector<float>{1, 2, 3, 4}));
    std::unique_ptr<Resource::Data::Flags> copy = flags.clone();
    flags.parameters.insert_or_assign(GL_TEXTURE_WRAP_S, TextureParameter(GL_CLAMP));
    const auto& copied = dynamic_cast<Texture::TextureData::TextureFlags&>(*copy).parameters;
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(copied.at(GL_TEXTURE_BORDER_COLOR).getKind(), TextureParameter::Floats);
    EXPECT_EQ(copy->refCount, 1u);
}

TEST(Texture, EmptyImage_ConstructionThrowsImageIsEmpty) {
    Image2D image;
    EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { ImageTexture2D texture(image, true, true); }),
              "image is empty!!!");
}

TEST(Texture, FailedConstruction_LeavesNothingRegistered) {
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
