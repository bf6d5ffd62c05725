#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/material.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "support/assettest.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

namespace {

using PngFiles::Picture;

class ImageTest : public ::testing::Test {
protected:
    // Writes the picture under the asset root; returns its full path.
    std::string put(const std::string& name, const Picture& picture) {
        PngFiles::write(assets.file(name), picture);
        return assets.file(name);
    }
    static std::string loadFailure(Image2D& image) {
        return thrownMessage<InstantiationException>([&] { image.ensureLoaded(); });
    }

    TempAssets assets;
    LogCapture capture;
};

TEST_F(ImageTest, SecondHandle_AdoptsTheLoadedPixelsWithoutReadingTheFile_AndOutlivesTheFirst) {
    const std::string path = put("cursor1.png", PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB));
    Image2D second("cursor1.png");
    unsigned format = 0;
    {
        Image2D first("cursor1.png");
        first.ensureLoaded();
        std::remove(path.c_str());
        second.ensureLoaded();
        EXPECT_EQ(&first.getFlags(), &second.getFlags());
        format = first.getFormat();
    }
    // Other pictures take the memory a wrongly freed one would leave.
    std::vector<Image2D> others;
    for (int i = 0; i < 4; ++i) {
        const std::string name = "other" + std::to_string(i) + ".png";
        put(name, PngFiles::pattern(16, 16, PNG_COLOR_TYPE_GRAY));
        others.emplace_back(name).ensureLoaded();
    }
    EXPECT_EQ(second.getWidth(), 16);
    EXPECT_EQ(second.getFormat(), format);
}

// The conformance suite covers the formats; here a picture one pixel wide
// and a palette index beyond the palette, which gives black.
TEST_F(ImageTest, PaletteIndexBeyondThePalette_IsOpaqueBlack) {
    Picture palette = PngFiles::pattern(1, 2, PNG_COLOR_TYPE_PALETTE);
    palette.palette.resize(4);
    palette.rows = {2, 200};
    put("palette.png", palette);
    Image2D image("palette.png");
    image.ensureLoaded();
    EXPECT_EQ(std::vector<uint8_t>(image.getMipmap(0), image.getMipmap(0) + 8),
              (std::vector<uint8_t>{0, 0, 0, 255, 2, 253, 6, 255}));
}

// A refused file is named with its path in one warning.
TEST_F(ImageTest, RefusedFiles_WarnWithThePathAndThrowWithTheName) {
    for (const auto& [name, picture] :
         {std::pair{"odd.png", PngFiles::pattern(100, 64, PNG_COLOR_TYPE_RGB)},
          {"wide.png", PngFiles::pattern(2 * Image2D::kMaxSize, 1, PNG_COLOR_TYPE_GRAY)}}) {
        const std::string path = put(name, picture);
        Image2D image(name);
        capture.clear();
        EXPECT_EQ(loadFailure(image), std::string("error opening image ") + name);
        const std::vector<std::string> warnings = joinedMessages(capture);
        ASSERT_EQ(warnings.size(), 1u) << name;
        EXPECT_TRUE(contains(warnings[0], path)) << warnings[0];
    }
}

TEST_F(ImageTest, FailedLoad_LeavesNoFlags_ALaterLoadReadsTheFile) {
    Image2D image("late.png");
    EXPECT_EQ(loadFailure(image), "error opening image late.png");
    EXPECT_THROW(image.getWidth(), IllegalStateException);
    put("late.png", PngFiles::pattern(2, 2, PNG_COLOR_TYPE_RGB));
    image.ensureLoaded();
    EXPECT_EQ(image.getWidth(), 2);
}

TEST_F(ImageTest, Accessors_OutsideTheirContract_Throw) {
    put("m.png", PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB));
    Image2D image("m.png");
    EXPECT_THROW(image.getMipmap(0), IllegalStateException);
    image.ensureLoaded();
    EXPECT_THROW(image.getMipmap(1), IllegalArgumentException);
    EXPECT_THROW(image.getMipmap(-1), IllegalArgumentException);
    Image2D copy(image);
    EXPECT_THROW(image.getData().clone(), IllegalStateException);
    EXPECT_THROW(copy.makeFlagsMutable(), InstantiationException);
    EXPECT_EQ(&copy.getFlags(), &image.getFlags());
    image.release();
    EXPECT_THROW(image.getData(), IllegalStateException);
}

// Texture handles up to the first OpenGL call: none of these needs a context.

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

// Texture slots; nothing here reaches OpenGL.

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
