#include "core/exceptions.h"
#include "core/system.h"
#include "resources/image.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using PngFiles::Picture;

// Log messages with continuation lines joined.
std::vector<std::string> joinedMessages(const LogCapture& capture) {
    std::vector<std::string> joined;
    bool continues = false;
    for (std::string message : capture.messages()) {
        const bool unfinished = !message.empty() && message.back() == '\\';
        if (unfinished) {
            message.pop_back();
        }
        if (continues) {
            joined.back() += message;
        } else {
            joined.push_back(message);
        }
        continues = unfinished;
    }
    return joined;
}

std::string loadFailure(Image2D& image) {
    return thrownMessage<InstantiationException>([&] { image.ensureLoaded(); });
}

// Runs every test with an asset directory of its own, given as path=<dir>.
class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string argument = "path=" + dir.path();
        const char* arguments[] = {"sporrik_tests", argument.c_str()};
        System::instance()->setArguments(2, arguments);
    }
    void TearDown() override {
        const char* arguments[] = {"sporrik_tests"};
        System::instance()->setArguments(1, arguments);
    }

    // Writes the picture under the asset directory; returns its full path.
    std::string put(const std::string& name, const Picture& picture) {
        const std::string path = dir.file(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        PngFiles::write(path, picture);
        return path;
    }

    PngFiles::TempDir dir;
};

// Names, sharing and descriptions ------------------------------------------------

TEST_F(ImageTest, TypeNames_RunFromImage2DToResource) {
    Image2D image("a.png");
    EXPECT_STREQ(image.typeName(0), "class Image2D");
    EXPECT_STREQ(image.typeName(1), "class ImageA");
    EXPECT_STREQ(image.typeName(2), "class Resource");
    EXPECT_EQ(image.typeName(3), nullptr);
}

TEST_F(ImageTest, FileNames_CompareCaseSensitively) {
    Image2D lower("a.png");
    Image2D upper("A.png");
    EXPECT_FALSE(lower.equals(upper));
    EXPECT_NE(&lower.getData(), &upper.getData());
    EXPECT_EQ(lower.getData().hash(), hashText("a.png"));
}

TEST_F(ImageTest, SecondHandle_AdoptsLoadedPixelsWithoutReadingTheFile) {
    const std::string path =
        put("textures/cursor/cursor1.png", PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB));
    Image2D first("textures/cursor/cursor1.png");
    Image2D second("textures/cursor/cursor1.png");
    first.ensureLoaded();
    std::remove(path.c_str());
    second.ensureLoaded();
    EXPECT_EQ(&first.getFlags(), &second.getFlags());
    EXPECT_EQ(first.getFlags().refCount, 2u);
}

TEST_F(ImageTest, Describe_LoadedAndUnloadedHandles) {
    put("textures/table/fog1.png", PngFiles::pattern(256, 128, PNG_COLOR_TYPE_RGB));
    Image2D loaded("textures/table/fog1.png");
    Image2D unloaded("textures/table/fog1.png");
    loaded.ensureLoaded();
    EXPECT_EQ(loaded.toString(), "class Image2D: file=textures/table/fog1.png, width=256, height=128, loaded "
                                 "(Data shared 3, Flags shared 1)");
    EXPECT_EQ(unloaded.toString(),
              "class Image2D: file=textures/table/fog1.png, unloaded (Data shared 3, no Flags)");
    EXPECT_EQ(Image2D().toString(), "[empty]");
}

// Pixels ----------------------------------------------------------------------------

TEST_F(ImageTest, Rgb256x128_OneOpaqueLevelWithBottomRowFirst) {
    const Picture picture = PngFiles::pattern(256, 128, PNG_COLOR_TYPE_RGB);
    put("rgb.png", picture);
    Image2D image("rgb.png");
    image.ensureLoaded();
    ASSERT_EQ(image.getMipmapCount(), 1);
    EXPECT_EQ(image.getFormat(), 0x1908u);
    EXPECT_EQ(image.getWidth(), 256);
    EXPECT_EQ(image.getHeight(), 128);
    const unsigned char* pixels = image.getMipmap(0);
    for (size_t i = 3; i < 131072; i += 4) {
        ASSERT_EQ(pixels[i], 255) << "byte " << i;
    }
    const uint8_t* lastRow = picture.rows.data() + 127 * 256 * 3;
    for (int x = 0; x < 256; ++x) {
        ASSERT_EQ(0, std::memcmp(pixels + x * 4, lastRow + x * 3, 3)) << "pixel " << x;
    }
}

TEST_F(ImageTest, OneByOne_IsAPowerOfTwoAndLoads) {
    put("dot.png", PngFiles::pattern(1, 1, PNG_COLOR_TYPE_RGB_ALPHA));
    Image2D image("dot.png");
    image.ensureLoaded();
    EXPECT_EQ(image.getWidth(), 1);
    EXPECT_EQ(image.getHeight(), 1);
}

TEST_F(ImageTest, Palette_ExpandsEntries_IndexBeyondPaletteIsBlack) {
    Picture picture = PngFiles::pattern(2, 1, PNG_COLOR_TYPE_PALETTE);
    picture.palette.resize(4);
    picture.rows = {2, 200};
    put("palette.png", picture);
    Image2D image("palette.png");
    image.ensureLoaded();
    const unsigned char* pixels = image.getMipmap(0);
    const unsigned char expected[] = {2, 253, 6, 255, 0, 0, 0, 255};
    EXPECT_EQ(0, std::memcmp(pixels, expected, sizeof(expected)));
}

TEST_F(ImageTest, Grey8_ExpandsToOpaqueGreyRgba) {
    Picture picture = PngFiles::pattern(2, 1, PNG_COLOR_TYPE_GRAY);
    picture.rows = {7, 250};
    put("grey.png", picture);
    Image2D image("grey.png");
    image.ensureLoaded();
    const unsigned char expected[] = {7, 7, 7, 255, 250, 250, 250, 255};
    EXPECT_EQ(0, std::memcmp(image.getMipmap(0), expected, sizeof(expected)));
}

TEST_F(ImageTest, Interlaced_GivesTheSamePixelsAsPlain) {
    Picture picture = PngFiles::pattern(32, 16, PNG_COLOR_TYPE_RGB_ALPHA);
    put("plain.png", picture);
    picture.interlaced = true;
    put("interlaced.png", picture);
    Image2D plain("plain.png");
    Image2D interlaced("interlaced.png");
    plain.ensureLoaded();
    interlaced.ensureLoaded();
    EXPECT_EQ(0, std::memcmp(plain.getMipmap(0), interlaced.getMipmap(0), 32 * 16 * 4));
}

// Refused files -------------------------------------------------------------------

TEST_F(ImageTest, NotPowerOfTwo_WarnsWithPathAndThrowsWithName) {
    const std::string path = put("odd.png", PngFiles::pattern(100, 64, PNG_COLOR_TYPE_RGB));
    Image2D image("odd.png");
    LogCapture capture;
    EXPECT_EQ(loadFailure(image), "error opening image odd.png");
    ASSERT_EQ(joinedMessages(capture),
              std::vector<std::string>{"texture dimensions are not power of 2 " + path});
    EXPECT_EQ(capture.lines()[0].substr(0, 30), "WARNING from Image           :");
}

TEST_F(ImageTest, UnsupportedFormats_WarnUnknownFormat) {
    const struct {
        const char* name;
        int colorType;
        int bitDepth;
    } cases[] = {
        {"rgba16.png", PNG_COLOR_TYPE_RGB_ALPHA, 16},    {"rgb16.png", PNG_COLOR_TYPE_RGB, 16},
        {"greyalpha.png", PNG_COLOR_TYPE_GRAY_ALPHA, 8}, {"grey4.png", PNG_COLOR_TYPE_GRAY, 4},
        {"grey1.png", PNG_COLOR_TYPE_GRAY, 1},           {"palette4.png", PNG_COLOR_TYPE_PALETTE, 4},
        {"grey16.png", PNG_COLOR_TYPE_GRAY, 16},
    };
    for (const auto& format : cases) {
        SCOPED_TRACE(format.name);
        const std::string path = put(format.name, PngFiles::pattern(8, 8, format.colorType, format.bitDepth));
        Image2D image(format.name);
        LogCapture capture;
        EXPECT_EQ(loadFailure(image), std::string("error opening image ") + format.name);
        EXPECT_EQ(joinedMessages(capture), std::vector<std::string>{"png file has unknown format " + path});
    }
}

TEST_F(ImageTest, LargerThanTheDecoderCap_WarnsAndThrows) {
    const std::string path =
        put("wide.png", PngFiles::pattern(2 * Image2D::kMaxSize, 1, PNG_COLOR_TYPE_GRAY));
    Image2D image("wide.png");
    LogCapture capture;
    EXPECT_EQ(loadFailure(image), "error opening image wide.png");
    EXPECT_EQ(joinedMessages(capture), std::vector<std::string>{"image is larger than 8192 pixels " + path});
}

TEST_F(ImageTest, PathArgument_OpensUnderDirectory_MessageNamesFileAsPassed) {
    put("textures/x.png", PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB));
    Image2D found("textures/x.png");
    found.ensureLoaded();
    Image2D missing("textures/missing.png");
    EXPECT_EQ(loadFailure(missing), "error opening image textures/missing.png");
}

// Accessors and their contracts ------------------------------------------------------

TEST_F(ImageTest, AccessorsBeforeLoading_ThrowNoFlags) {
    Image2D image("a.png");
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { image.getWidth(); }),
              "smart reference has no flags");
    EXPECT_THROW(image.getMipmapCount(), IllegalStateException);
    EXPECT_THROW(image.getMipmap(0), IllegalStateException);
}

TEST_F(ImageTest, GetData_ReleasedHandle_ThrowsEmpty) {
    Image2D image("a.png");
    image.release();
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { image.getData(); }), "smart reference is empty");
}

TEST_F(ImageTest, GetMipmap_OutsideTheLevels_ThrowsOutOfRange) {
    put("m.png", PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB));
    Image2D image("m.png");
    image.ensureLoaded();
    for (const int level : {1, -1}) {
        EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { image.getMipmap(level); }),
                  "mipmap level out of range")
            << level;
    }
}

TEST_F(ImageTest, Cloning_DataAndFlagsIsRefused_HandleKeepsSharedFlags) {
    put("c.png", PngFiles::pattern(4, 4, PNG_COLOR_TYPE_RGB));
    Image2D first("c.png");
    first.ensureLoaded();
    Image2D second(first);
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { first.getData().clone(); }), "cloning not allowed");
    EXPECT_EQ(thrownMessage<InstantiationException>([&] { second.makeFlagsMutable(); }),
              "cloning of Image2D Flags not allowed");
    EXPECT_EQ(&first.getFlags(), &second.getFlags());
    EXPECT_EQ(first.getFlags().refCount, 2u);
}

// Loading again -----------------------------------------------------------------------

TEST_F(ImageTest, FailedLoad_LeavesNoFlags_LaterLoadReadsTheFile) {
    Image2D image("late.png");
    EXPECT_EQ(loadFailure(image), "error opening image late.png");
    EXPECT_THROW(image.getFlags(), IllegalStateException);
    EXPECT_EQ(image.toString(), "class Image2D: file=late.png, unloaded (Data shared 2, no Flags)");
    put("late.png", PngFiles::pattern(2, 2, PNG_COLOR_TYPE_RGB));
    image.ensureLoaded();
    EXPECT_EQ(image.getWidth(), 2);
}

TEST_F(ImageTest, AfterLastHolderUnloads_NextLoadDecodesTheFileAgain) {
    put("again.png", PngFiles::pattern(2, 2, PNG_COLOR_TYPE_RGB));
    Image2D first("again.png");
    Image2D second("again.png");
    first.ensureLoaded();
    second.ensureLoaded();
    first.unload();
    second.unload();
    put("again.png", PngFiles::pattern(4, 2, PNG_COLOR_TYPE_RGB));
    first.ensureLoaded();
    EXPECT_EQ(first.getWidth(), 4);
    EXPECT_EQ(first.getFlags().refCount, 1u);
}

} // namespace
