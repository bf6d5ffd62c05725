#include "base/exceptions.h"
#include "resources/image.h"
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

TEST_F(ImageTest, SecondHandle_AdoptsTheLoadedPixelsWithoutReadingTheFile) {
    const std::string path = put("cursor1.png", PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB));
    Image2D first("cursor1.png");
    Image2D second("cursor1.png");
    first.ensureLoaded();
    std::remove(path.c_str());
    second.ensureLoaded();
    EXPECT_EQ(&first.getFlags(), &second.getFlags());
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

} // namespace
