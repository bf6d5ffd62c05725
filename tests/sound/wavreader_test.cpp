#include "sound/wavreader.h"
#include "testsounds.h"

#include <gtest/gtest.h>

using namespace TestSounds;
using Status = WavReader::Status;

namespace {

class WavReaderTest : public ::testing::Test {
protected:
    Status openBytes(const std::string& bytes) {
        writeFile(dir / "test.wav", bytes);
        return reader.open(dir.file("test.wav"));
    }

    // The format chunk of a valid file with one field replaced.
    static std::string withField(int offset, uint32_t value, int bytes) {
        std::string file = wav(sine(0.1));
        std::string field;
        appendLittleEndian(field, value, bytes);
        return file.replace(offset, bytes, field);
    }

    TempDir dir;
    WavReader reader;
};

TEST_F(WavReaderTest, Pcm16_SkipsUnknownChunksWithTheirPadding_ReadsAllFramesAndSeeks) {
    std::string file = wav({1, 2, 3, 4, 5, 6}, 8000, 2);
    file.insert(kWavHeaderSize - 8, std::string("LIST\3\0\0\0abc\0", 12)); // padded to an even size
    ASSERT_EQ(openBytes(file), Status::Ok);
    EXPECT_EQ(reader.getChannels(), 2);
    EXPECT_EQ(reader.getRate(), 8000);
    EXPECT_EQ(reader.getFrameCount(), 3);
    int16_t frames[8] = {};
    EXPECT_EQ(reader.read(frames, 4), 3u);
    EXPECT_EQ(frames[5], 6);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.read(frames, 4), 0u);
    ASSERT_TRUE(reader.seekFrame(2));
    EXPECT_EQ(reader.read(frames, 4), 1u);
    EXPECT_EQ(frames[0], 5);
    EXPECT_FALSE(reader.seekFrame(4));
}

TEST_F(WavReaderTest, FilesItCannotRead_HaveTheirStatus) {
    const std::string good = wav(sine(0.1));
    std::string dataFirst = good;
    dataFirst.replace(12, 4, "data").replace(kWavHeaderSize - 8, 4, "fmt ");
    std::string hugeChunk = good;
    hugeChunk.replace(16, 4, std::string("\xff\xff\xff\x7f", 4));
    const std::vector<std::tuple<std::string, std::string, Status>> cases = {
        {"empty", "", Status::UnknownFormat},
        {"text", "no sound at all, only these words", Status::UnknownFormat},
        {"not wave", std::string(good).replace(8, 4, "AVI "), Status::UnknownFormat},
        {"adpcm", withField(kFormatTagOffset, 2, 2), Status::UnknownFormat},
        {"24 bit", withField(34, 24, 2), Status::UnknownFormat},
        {"header only", good.substr(0, 12), Status::Damaged},
        {"data cut", good.substr(0, good.size() - 100), Status::Damaged},
        {"data before format", dataFirst, Status::Damaged},
        {"huge chunk", hugeChunk, Status::Damaged},
        {"no channels", withField(kChannelCountOffset, 0, 2), Status::Damaged},
        {"no rate", withField(24, 0, 4), Status::Damaged},
        {"bad frame size", withField(32, 3, 2), Status::Damaged},
    };
    for (const auto& [name, bytes, status] : cases) {
        EXPECT_EQ(openBytes(bytes), status) << name;
    }
    EXPECT_EQ(reader.open(dir.file("absent.wav")), Status::NotFound);
    EXPECT_EQ(reader.open(dir.file("")), Status::NotFound);
    int16_t frame = 0;
    EXPECT_EQ(reader.read(&frame, 1), 0u);
}

} // namespace
