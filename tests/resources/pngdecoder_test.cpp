#include "core/exceptions.h"
#include "resources/image.h"
#include "resources/pngdecoder.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/testpaths.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

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

// The message of the InstantiationException that loading raises, or "".
// A failure leaves the handle without pixels.
std::string loadFailure(const std::string& fileName) {
    Image2D image(fileName);
    const std::string failure = thrownMessage<InstantiationException>([&] { image.ensureLoaded(); });
    if (!failure.empty()) {
        EXPECT_THROW(image.getFlags(), IllegalStateException);
    }
    return failure;
}

bool acceptedFormat(const PngFiles::Reference& reference) {
    const std::set<int> types = {PNG_COLOR_TYPE_PALETTE, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB,
                                 PNG_COLOR_TYPE_RGB_ALPHA};
    return reference.bitDepth == 8 && types.count(reference.colorType) != 0;
}

// Conformance files --------------------------------------------------------------

TEST(PngConformance, SuiteFiles_LoadAsLibpngReadsThemOrAreRefusedAsUnknownFormat) {
    std::set<std::string> loaded;
    std::set<std::string> refused;
    for (const std::string& path : pngFilesIn(testDataDir() + "/png/pngsuite")) {
        SCOPED_TRACE(path);
        PngFiles::Reference reference;
        ASSERT_TRUE(PngFiles::readReference(path, reference));
        Image2D image(path);
        LogCapture capture;
        if (acceptedFormat(reference)) {
            ASSERT_NO_THROW(image.ensureLoaded());
            ASSERT_EQ(image.getWidth(), reference.width);
            ASSERT_EQ(image.getHeight(), reference.height);
            EXPECT_EQ(0, std::memcmp(image.getMipmap(0), reference.rgba.data(), reference.rgba.size()));
            EXPECT_TRUE(capture.lines().empty());
            loaded.insert(fs::path(path).filename().string());
        } else {
            EXPECT_THROW(image.ensureLoaded(), InstantiationException);
            EXPECT_TRUE(capture.has("png file has unknown format")) << capture.lines().size();
            refused.insert(fs::path(path).filename().string());
        }
    }
    // Every accepted kind, plain and interlaced, and every refused depth.
    for (const char* name : {"basn0g08.png", "basn2c08.png", "basn3p08.png", "basn6a08.png", "ibasn0g08.png",
                             "ibasn2c08.png", "ibasn3p08.png", "ibasn6a08.png", "ftbrn2c08.png"}) {
        EXPECT_EQ(loaded.count(name), 1u) << name;
    }
    for (const char* name : {"basn0g01.png", "basn0g04.png", "basn0g16.png", "basn2c16.png", "basn3p01.png",
                             "basn3p04.png", "basn4a08.png", "basn6a16.png", "ibasn4a16.png"}) {
        EXPECT_EQ(refused.count(name), 1u) << name;
    }
}

TEST(PngConformance, CrasherFiles_FailWithErrorOpeningImage) {
    const std::vector<std::string> files = pngFilesIn(testDataDir() + "/png/crashers");
    ASSERT_FALSE(files.empty());
    LogCapture capture;
    for (const std::string& path : files) {
        EXPECT_EQ(loadFailure(path), "error opening image " + path);
    }
}

// Hand-made broken files -----------------------------------------------------------

class BrokenPng : public ::testing::Test {
protected:
    void SetUp() override {
        PngFiles::Picture picture = PngFiles::pattern(16, 16, PNG_COLOR_TYPE_RGB);
        picture.interlaced = true;
        PngFiles::write(dir.file("good.png"), picture);
        good = PngFiles::readBytes(dir.file("good.png"));
    }

    // Loads the bytes as a file and returns the failure message.
    std::string failureOf(const std::vector<uint8_t>& bytes) {
        const std::string path = dir.file("broken.png");
        PngFiles::writeBytes(path, bytes);
        return loadFailure(path);
    }
    std::string expected() const { return "error opening image " + dir.file("broken.png"); }

    PngFiles::TempDir dir;
    std::vector<uint8_t> good;
    LogCapture capture;
};

TEST_F(BrokenPng, IntactFile_Loads) {
    EXPECT_EQ(failureOf(good), "");
}

TEST_F(BrokenPng, TruncatedAtEveryLength_Fails) {
    for (size_t length = 0; length < good.size(); ++length) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + length);
        ASSERT_EQ(failureOf(cut), expected()) << "length " << length;
    }
}

TEST_F(BrokenPng, WrongSignatureByte_Fails) {
    for (size_t i = 0; i < 8; ++i) {
        std::vector<uint8_t> bytes = good;
        bytes[i] ^= 0x20;
        EXPECT_EQ(failureOf(bytes), expected()) << "byte " << i;
    }
}

TEST_F(BrokenPng, BadCrcOfCriticalChunk_Fails) {
    for (const char* chunk : {"IHDR", "IDAT", "IEND"}) {
        std::vector<uint8_t> bytes = good;
        const size_t offset = PngFiles::findChunk(bytes, chunk);
        ASSERT_NE(offset, std::string::npos);
        const uint32_t length = (bytes[offset + 2] << 8) | bytes[offset + 3];
        bytes[offset + 8 + length] ^= 0x01;
        EXPECT_EQ(failureOf(bytes), expected()) << chunk;
    }
}

TEST_F(BrokenPng, ZeroOrOversizedDimensionsInHeader_Fail) {
    const size_t ihdr = PngFiles::findChunk(good, "IHDR");
    const uint32_t sizes[][2] = {{0, 16}, {16, 0}, {0x80000000u, 16}, {0x40000000u, 0x40000000u}};
    for (const auto& size : sizes) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i) {
            bytes[ihdr + 8 + i] = static_cast<uint8_t>(size[0] >> (24 - 8 * i));
            bytes[ihdr + 12 + i] = static_cast<uint8_t>(size[1] >> (24 - 8 * i));
        }
        PngFiles::fixCrc(bytes, ihdr);
        EXPECT_EQ(failureOf(bytes), expected()) << size[0] << " x " << size[1];
    }
}

TEST_F(BrokenPng, HugeChunkLength_Fails) {
    std::vector<uint8_t> bytes = good;
    const size_t idat = PngFiles::findChunk(bytes, "IDAT");
    bytes[idat] = 0x3f;
    bytes[idat + 1] = 0xff;
    EXPECT_EQ(failureOf(bytes), expected());
}

TEST_F(BrokenPng, NotPowerOfTwo_Fails) {
    PngFiles::write(dir.file("broken.png"), PngFiles::pattern(3, 4, PNG_COLOR_TYPE_RGB));
    EXPECT_EQ(loadFailure(dir.file("broken.png")), expected());
    EXPECT_TRUE(capture.has("texture dimensions are not power of 2"));
}

TEST_F(BrokenPng, MissingFileOrDirectory_Fails) {
    EXPECT_EQ(loadFailure(dir.file("none.png")), "error opening image " + dir.file("none.png"));
    EXPECT_EQ(loadFailure(dir.path()), "error opening image " + dir.path());
}

TEST_F(BrokenPng, FlippedByteInCompressedData_LoadsOrFailsCleanly) {
    const size_t idat = PngFiles::findChunk(good, "IDAT");
    const uint32_t length = (good[idat + 2] << 8) | good[idat + 3];
    for (uint32_t i = 0; i < length; ++i) {
        std::vector<uint8_t> bytes = good;
        bytes[idat + 8 + i] ^= 0x5a;
        PngFiles::fixCrc(bytes, idat);
        const std::string failure = failureOf(bytes);
        EXPECT_TRUE(failure.empty() || failure == expected()) << "byte " << i << ": " << failure;
    }
}

// The decoder alone ------------------------------------------------------------------

TEST(PngDecoder, CapBelowTheSize_RefusesWithoutDecoding) {
    PngFiles::TempDir dir;
    PngFiles::write(dir.file("a.png"), PngFiles::pattern(64, 64, PNG_COLOR_TYPE_RGB));
    PngPicture picture;
    EXPECT_EQ(PngDecoder(dir.file("a.png")).decode(32, picture), PngDecoder::Result::TooLarge);
    EXPECT_EQ(picture.pixels, nullptr);
    EXPECT_EQ(PngDecoder(dir.file("a.png")).decode(64, picture), PngDecoder::Result::Decoded);
    EXPECT_EQ(picture.width, 64);
}

} // namespace
