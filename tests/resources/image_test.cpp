#include "base/exceptions.h"
#include "resources/image.h"
#include "support/assettest.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

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

TEST_F(ImageTest, Rgb256x128_OneOpaqueLevelWithTheBottomRowFirst) {
    const Picture picture = PngFiles::pattern(256, 128, PNG_COLOR_TYPE_RGB);
    put("rgb.png", picture);
    Image2D image("rgb.png");
    image.ensureLoaded();
    ASSERT_EQ(image.getMipmapCount(), 1);
    const unsigned char* pixels = image.getMipmap(0);
    for (size_t i = 3; i < 131072; i += 4) {
        ASSERT_EQ(pixels[i], 255) << "byte " << i;
    }
    const uint8_t* bottomRow = picture.rows.data() + 127 * 256 * 3;
    for (int x = 0; x < 256; ++x) {
        ASSERT_EQ(0, std::memcmp(pixels + x * 4, bottomRow + x * 3, 3)) << "pixel " << x;
    }
}

TEST_F(ImageTest, PaletteAndGrey_ExpandToOpaqueRgba_IndexBeyondThePaletteIsBlack) {
    Picture palette = PngFiles::pattern(2, 1, PNG_COLOR_TYPE_PALETTE);
    palette.palette.resize(4);
    palette.rows = {2, 200};
    Picture grey = PngFiles::pattern(2, 1, PNG_COLOR_TYPE_GRAY);
    grey.rows = {7, 250};
    const struct {
        const char* name;
        const Picture& picture;
        std::vector<uint8_t> rgba;
    } cases[] = {{"palette.png", palette, {2, 253, 6, 255, 0, 0, 0, 255}},
                 {"grey.png", grey, {7, 7, 7, 255, 250, 250, 250, 255}},
                 {"dot.png", PngFiles::pattern(1, 1, PNG_COLOR_TYPE_GRAY), {0, 0, 0, 255}}};
    for (const auto& c : cases) {
        put(c.name, c.picture);
        Image2D image(c.name);
        image.ensureLoaded();
        EXPECT_EQ(std::vector<uint8_t>(image.getMipmap(0), image.getMipmap(0) + c.rgba.size()), c.rgba)
            << c.name;
    }
}

// A refused file is named with its path in one warning that says why.
TEST_F(ImageTest, RefusedFiles_WarnWithThePathAndThrowWithTheName) {
    const struct {
        const char* name;
        Picture picture;
        const char* why;
    } cases[] = {
        {"odd.png", PngFiles::pattern(100, 64, PNG_COLOR_TYPE_RGB), "power of 2"},
        {"rgba16.png", PngFiles::pattern(8, 8, PNG_COLOR_TYPE_RGB_ALPHA, 16), "unknown format"},
        {"wide.png", PngFiles::pattern(2 * Image2D::kMaxSize, 1, PNG_COLOR_TYPE_GRAY), "larger than 8192"},
    };
    for (const auto& c : cases) {
        const std::string path = put(c.name, c.picture);
        Image2D image(c.name);
        capture.clear();
        EXPECT_EQ(loadFailure(image), std::string("error opening image ") + c.name);
        ASSERT_EQ(capture.lines().size(), 1u) << c.name;
        EXPECT_TRUE(capture.has(c.why) && capture.has(path)) << capture.lines()[0];
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
