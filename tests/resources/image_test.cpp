#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/material.h"
#include "resources/pngdecoder.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "support/assettest.h"
#include "support/testpaths.h"
#include "support/thrown.h"

#include <gtest/gtest.h>
#include <zlib.h>

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

namespace {

using PngFiles::Picture;

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

class ImageTest : public ::testing::Test {
protected:
    // Writes the picture under the asset root; returns its full path.
    std::string put(const std::string& name, const Picture& picture) {
        PngFiles::write(assets.file(name), picture);
        return assets.file(name);
    }

    TempAssets assets;
    LogCapture capture;
};

// The sanitized build sees a read of the first handle's freed pixels.
TEST_F(ImageTest, SecondHandle_AdoptsTheLoadedPixelsWithoutReadingTheFile_AndOutlivesTheFirst) {
    const std::string path = put("cursor1.png", PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB));
    Image2D second("cursor1.png");
    std::vector<uint8_t> pixels;
    {
        Image2D first("cursor1.png");
        first.ensureLoaded();
        std::remove(path.c_str());
        second.ensureLoaded();
        EXPECT_EQ(&first.getFlags(), &second.getFlags());
        pixels.assign(first.getMipmap(0), first.getMipmap(0) + 16 * 16 * 4);
    }
    EXPECT_EQ(std::vector<uint8_t>(second.getMipmap(0), second.getMipmap(0) + pixels.size()), pixels);
}

// A refused file is named with its path in one warning.
TEST_F(ImageTest, RefusedFiles_WarnWithThePathAndThrowWithTheName) {
    for (const auto& [name, picture] :
         {std::pair{"odd.png", PngFiles::pattern(100, 64, PNG_COLOR_TYPE_RGB)},
          {"wide.png", PngFiles::pattern(2 * Image2D::kMaxSize, 1, PNG_COLOR_TYPE_GRAY)}}) {
        const std::string path = put(name, picture);
        capture.clear();
        EXPECT_EQ(loadFailure(name), std::string("error opening image ") + name);
        const std::vector<std::string> warnings = joinedMessages(capture);
        ASSERT_EQ(warnings.size(), 1u) << name;
        EXPECT_TRUE(contains(warnings[0], path)) << warnings[0];
    }
}

TEST_F(ImageTest, FailedLoad_LeavesNoFlags_ALaterLoadReadsTheFile) {
    Image2D image("late.png");
    EXPECT_EQ(thrownMessage<InstantiationException>([&] { image.ensureLoaded(); }),
              "error opening image late.png");
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

// Hand-made broken files: an interlaced picture cut or damaged.
class BrokenPng : public ::testing::Test {
protected:
    void SetUp() override {
        PngFiles::Picture picture = PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB);
        picture.interlaced = true;
        PngFiles::write(dir.file("good.png"), picture);
        good = PngFiles::readBytes(dir.file("good.png"));
        ASSERT_EQ(failureOf(good), "");
        // libpng writes the header chunk and then the pixel data.
        ASSERT_TRUE(std::memcmp(&good[kIhdr + 4], "IHDR", 4) == 0 &&
                    std::memcmp(&good[kIdat + 4], "IDAT", 4) == 0);
    }

    // Loads the bytes as a file and returns the failure message.
    std::string failureOf(const std::vector<uint8_t>& bytes) {
        PngFiles::writeBytes(dir.file("broken.png"), bytes);
        return loadFailure(dir.file("broken.png"));
    }

    static constexpr size_t kIhdr = 8;
    static constexpr size_t kIdat = kIhdr + 25;
    TempDir dir;
    std::vector<uint8_t> good;
    LogCapture capture;
};

// Header values and CRCs are libpng's to check; the signature and the chunk
// lengths are checked before, and a directory is no picture.
TEST_F(BrokenPng, CutAtEveryLengthOrWithADamagedSignatureOrChunkLength_Fails) {
    std::vector<std::vector<uint8_t>> broken;
    for (size_t length = 0; length < good.size(); ++length) {
        broken.emplace_back(good.begin(), good.begin() + length);
    }
    // Bits flipped at each end of the signature and in the top byte of the data's length.
    for (const size_t at : {size_t{1}, size_t{7}, kIdat}) {
        broken.push_back(good);
        broken.back()[at] ^= 0x20;
    }
    for (size_t i = 0; i < broken.size(); ++i) {
        ASSERT_EQ(failureOf(broken[i]), "error opening image " + dir.file("broken.png")) << "file " << i;
    }
    EXPECT_EQ(loadFailure(dir.path()), "error opening image " + dir.path());
}

// The growth of the resident memory while fn runs in a forked child, in
// bytes: the child's peak against this process's size at the fork.
long peakGrowthInChild(const std::function<void()>& fn) {
    long pages = 0, residentPages = 0;
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
    return usage.ru_maxrss * 1024 - residentPages * sysconf(_SC_PAGESIZE);
}

// Small files that claim far more than they hold: a header of 8192 x 8192
// pixels, chunks of a gigabyte (found by fuzzing) and libpng's crashers.
// Each must fail, without crashing or taking the memory it claims.
TEST_F(BrokenPng, SmallFilesClaimingHugeSizes_FailWithoutTakingThatMemory) {
    std::vector<uint8_t> huge = good;
    // Width and height of 8192, big-endian after the chunk's length and type; its CRC made right.
    const uint8_t size[8] = {0, 0, 0x20, 0, 0, 0, 0x20, 0};
    std::copy(size, size + 8, huge.begin() + kIhdr + 8);
    const uLong crc = crc32(0L, &huge[kIhdr + 4], 17);
    for (int k = 0; k < 4; ++k) {
        huge[kIhdr + 21 + k] = static_cast<uint8_t>(crc >> (24 - 8 * k));
    }
    PngFiles::writeBytes(dir.file("huge.png"), huge);
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
        EXPECT_LT(growth, 64L << 20) << path;
    }
}

} // namespace
