#include "sound/soundlibrary.h"
#include "sound/soundsystem.h"
#include "sound/stream.h"
#include "support/logcapture.h"
#include "testsounds.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace TestSounds;

namespace {

class StreamTest : public ::testing::Test {
protected:
    StreamTest() {
        useDiskAudio(dir.file("output.raw"));
        writeFile(dir / "music.wav", sineWav(0.5));
    }
    ~StreamTest() override { SoundSystem::destroy(); }

    TempDir dir;
};

TEST_F(StreamTest, UnopenedStream_IsNotClosedAtDestruction) {
    SoundSystem::instance();
    LogCapture log;
    {
        Stream stream;
        EXPECT_FALSE(stream.load(dir.file("absent.wav")));
        EXPECT_EQ(stream.play(), -1);
    }
    EXPECT_EQ(log.messages(), std::vector<std::string>{"load: stream could not be opened"});
}

TEST_F(StreamTest, LoadedStream_PlaysAndClosesQuietly) {
    SoundSystem::instance();
    LogCapture log;
    {
        Stream stream;
        ASSERT_TRUE(stream.load(dir.file("music.wav")));
        EXPECT_EQ(stream.getName(), dir.file("music.wav"));
        EXPECT_EQ(stream.getLengthMs(), 500);
        EXPECT_TRUE(stream.setMode(FSOUND_LOOP_NORMAL));
        EXPECT_TRUE(stream.setTime(250));
        EXPECT_EQ(stream.getTime(), 250);
        EXPECT_GE(stream.play(), 0);
        EXPECT_TRUE(stream.stop());
    }
    EXPECT_TRUE(log.messages().empty());
}

TEST_F(StreamTest, Reload_ClosesThePreviousFileAndKeepsTheNewName) {
    writeFile(dir / "other.wav", sineWav(0.25));
    SoundSystem::instance();
    Stream stream;
    ASSERT_TRUE(stream.load(dir.file("music.wav")));
    ASSERT_TRUE(stream.load(dir.file("other.wav")));
    EXPECT_EQ(stream.getName(), dir.file("other.wav"));
    EXPECT_EQ(stream.getLengthMs(), 250);
}

TEST_F(StreamTest, StreamOutlivingTheSoundSystem_ReportsTheFailedClose) {
    SoundSystem::instance();
    auto stream = std::make_unique<Stream>();
    ASSERT_TRUE(stream->load(dir.file("music.wav")));
    SoundSystem::destroy();
    LogCapture log;
    stream.reset();
    EXPECT_TRUE(log.has("ERROR   from SoundSystem     :could not close stream"));
}

// Output --------------------------------------------------------------------

constexpr int kLoud = 1000;

TEST_F(StreamTest, SetTimeBeforePlay_OutputStartsThere) {
    std::vector<int16_t> samples = sine(0.5, 22050, 440.0, 0.02);
    const std::vector<int16_t> loud = sine(0.5, 22050, 440.0, 0.6);
    samples.insert(samples.end(), loud.begin(), loud.end());
    writeFile(dir / "twoparts.wav", wav(samples));
    SoundSystem::instance();
    {
        Stream stream;
        ASSERT_TRUE(stream.load(dir.file("twoparts.wav")));
        ASSERT_TRUE(stream.setTime(600));
        ASSERT_GE(stream.play(), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_GT(stream.getTime(), 600);
    }
    SoundSystem::destroy();

    const std::vector<int16_t> left = leftChannel(dir / "output.raw");
    size_t first = 0;
    while (first < left.size() && std::abs(left[first]) <= kLoud) {
        ++first;
    }
    ASSERT_LT(first, left.size()) << "the output stayed silent";
    // The loud half starts at full strength: a stream started from 0 would
    // fade in from the quiet half.
    int onsetPeak = 0;
    for (size_t i = first; i < std::min(left.size(), first + 441); ++i) {
        onsetPeak = std::max(onsetPeak, std::abs(static_cast<int>(left[i])));
    }
    EXPECT_GT(onsetPeak, 0.5 * 32767);
}

TEST_F(StreamTest, LoopMode_PlaysOnPastTheEnd) {
    writeFile(dir / "short.wav", sineWav(0.2));
    SoundSystem::instance();
    {
        Stream stream;
        ASSERT_TRUE(stream.load(dir.file("short.wav")));
        ASSERT_TRUE(stream.setMode(FSOUND_LOOP_NORMAL));
        ASSERT_GE(stream.play(), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        EXPECT_LT(stream.getTime(), 200);
    }
    SoundSystem::destroy();

    const std::vector<int16_t> left = leftChannel(dir / "output.raw");
    int loudFrames = 0;
    for (int16_t value : left) {
        loudFrames += std::abs(value) > kLoud;
    }
    EXPECT_GT(loudFrames, 0.25 * 44100);
}

} // namespace
