#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/material.h"
#include "resources/pngdecoder.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "support/assettest.h"
#include "support/tempdir.h"
#include "support/testpaths.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
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
    EXPECT_THROW(image.getMipmap(0), IllegalStateException);
    put("late.png", PngFiles::pattern(2, 2, PNG_COLOR_TYPE_RGB));
    image.ensureLoaded();
    EXPECT_EQ(image.getWidth(), 2);
    EXPECT_THROW(image.getMipmap(1), IllegalArgumentException);
    EXPECT_THROW(image.getMipmap(-1), IllegalArgumentException);
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

TEST(Material, TextureSlots_AtMostFour_OthersRefused) {
    Material material;
    EXPECT_TRUE(material.setTextureCount(1));
    EXPECT_FALSE(material.setTextureCount(5));
    EXPECT_EQ(material.getTextureCount(), 1u);
    EXPECT_FALSE(material.setTexture(1, ImageTexture2D()));
    EXPECT_TRUE(material.setTexture(0, ImageTexture2D()));
    EXPECT_THROW(material.getTexture(1), IllegalStateException);
    EXPECT_TRUE(material.getTexture(0).isEmpty());
    EXPECT_TRUE(material.setTextureCount(4));
}

namespace fs = std::filesystem;

std::vector<std::string> pngFilesIn(const std::string& directory) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(directory)) {
        if (entry.path().extension() == ".png") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The message of the InstantiationException that loading raises, or "". A
// failure leaves the handle without pixels.
std::string loadFailure(const std::string& fileName) {
    Image2D image(fileName);
    const std::string failure = thrownMessage<InstantiationException>([&] { image.ensureLoaded(); });
    if (!failure.empty()) {
        EXPECT_THROW(image.getFlags(), IllegalStateException);
    }
    return failure;
}

// Conformance files ------------------------------------------------------------------------------

TEST(PngConformance, SuiteFiles_LoadAsLibpngReadsThemOrAreRefusedAsUnknownFormat) {
    const std::set<int> acceptedTypes = {PNG_COLOR_TYPE_PALETTE, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB,
                                         PNG_COLOR_TYPE_RGB_ALPHA};
    size_t loaded = 0;
    const std::vector<std::string> files = pngFilesIn(testDataDir() + "/png/pngsuite");
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        PngFiles::Reference reference;
        ASSERT_TRUE(PngFiles::readReference(path, reference));
        Image2D image(path);
        LogCapture capture;
        if (reference.bitDepth == 8 && acceptedTypes.count(reference.colorType) != 0) {
            ASSERT_NO_THROW(image.ensureLoaded());
            ASSERT_EQ(image.getWidth(), reference.width);
            ASSERT_EQ(image.getHeight(), reference.height);
            EXPECT_EQ(0, std::memcmp(image.getMipmap(0), reference.rgba.data(), reference.rgba.size()));
            EXPECT_TRUE(capture.lines().empty());
            ++loaded;
        } else {
            EXPECT_EQ(loadFailure(path), "error opening image " + path);
            EXPECT_TRUE(capture.has("unknown format"));
        }
    }
    // Plain and interlaced files of every accepted kind, and of several refused depths.
    EXPECT_GE(loaded, 9u);
    EXPECT_GE(files.size() - loaded, 9u);
}

// Hand-made broken files -------------------------------------------------------------------------

class BrokenPng : public ::testing::Test {
protected:
    void SetUp() override {
        PngFiles::Picture picture = PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB);
        picture.interlaced = true;
        PngFiles::write(dir.file("good.png"), picture);
        good = PngFiles::readBytes(dir.file("good.png"));
        ASSERT_EQ(failureOf(good), "");
    }

    // Loads the bytes as a file and returns the failure message.
    std::string failureOf(const std::vector<uint8_t>& bytes) {
        PngFiles::writeBytes(dir.file("broken.png"), bytes);
        return loadFailure(dir.file("broken.png"));
    }
    std::string expected() const { return "error opening image " + dir.file("broken.png"); }

    // The good file with width and height written into the header, its CRC made right again.
    std::vector<uint8_t> sized(uint32_t width, uint32_t height) const {
        std::vector<uint8_t> bytes = good;
        const size_t ihdr = PngFiles::findChunk(good, "IHDR");
        for (int i = 0; i < 4; ++i) {
            bytes[ihdr + 8 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
            bytes[ihdr + 12 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
        }
        PngFiles::fixCrc(bytes, ihdr);
        return bytes;
    }

    TempDir dir;
    std::vector<uint8_t> good;
    LogCapture capture;
};

TEST_F(BrokenPng, TruncatedAtEveryLength_Fails) {
    for (size_t length = 0; length < good.size(); ++length) {
        ASSERT_EQ(failureOf(std::vector<uint8_t>(good.begin(), good.begin() + length)), expected()) << length;
    }
}

// Header values and CRCs are libpng's to check; the signature and the
// chunk lengths are checked here first.
TEST_F(BrokenPng, DamagedSignatureOrChunkLength_Fails) {
    const size_t idat = PngFiles::findChunk(good, "IDAT");
    // The good file with bits of one byte flipped.
    const auto flipped = [&](size_t at, int mask) {
        std::vector<uint8_t> bytes = good;
        bytes[at] ^= static_cast<uint8_t>(mask);
        return bytes;
    };
    const std::pair<const char*, std::vector<uint8_t>> damages[] = {
        {"signature", flipped(1, 0x20)},
        {"signature end", flipped(7, 0x20)},
        {"huge chunk length", flipped(idat, good[idat] ^ 0x3f)}, // its top byte set to 0x3f
    };
    for (const auto& [what, bytes] : damages) {
        EXPECT_EQ(failureOf(bytes), expected()) << what;
    }
    EXPECT_EQ(loadFailure(dir.path()), "error opening image " + dir.path());
}

// The growth of the resident memory while fn runs in a forked child, in
// bytes: the child's peak against this process's size at the fork.
long peakGrowthInChild(const std::function<void()>& fn) {
    long pages = 0;
    long residentPages = 0;
    std::ifstream("/proc/self/statm") >> pages >> residentPages;
    const pid_t child = fork();
    if (child == 0) {
        fn();
        _exit(0);
    }
    int status = 0;
    struct rusage usage {};
    EXPECT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    constexpr long kKiB = 1024;
    return usage.ru_maxrss * kKiB - residentPages * sysconf(_SC_PAGESIZE);
}

// Small files that claim far more than they hold: a header of 8192 x 8192
// pixels, chunks of a gigabyte (found by fuzzing) and libpng's crashers.
// Each must fail, without crashing or taking the memory it claims.
TEST_F(BrokenPng, SmallFilesClaimingHugeSizes_FailWithoutTakingThatMemory) {
    constexpr uint32_t kHuge = 8192;
    constexpr long kAllowedGrowth = 64L << 20;
    const std::vector<uint8_t> bytes = sized(kHuge, kHuge);
    ASSERT_LT(bytes.size(), 1024u);
    PngFiles::writeBytes(dir.file("huge.png"), bytes);
    std::vector<std::string> files = pngFilesIn(testDataDir() + "/fuzz/png");
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& crasher : pngFilesIn(testDataDir() + "/png/crashers")) {
        files.push_back(crasher);
    }
    files.push_back(dir.file("huge.png"));
    for (const std::string& path : files) {
        const long growth = peakGrowthInChild([&] {
            PngPicture picture;
            if (PngDecoder(path).decode(Image2D::kMaxSize, picture) == PngDecoder::Result::Decoded) {
                _exit(1);
            }
        });
        EXPECT_LT(growth, kAllowedGrowth) << path;
    }
}

} // namespace
