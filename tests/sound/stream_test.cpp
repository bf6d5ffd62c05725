#include "sound/soundlibrary.h"
#include "sound/soundsystem.h"
#include "sound/stream.h"
#include "support/logcapture.h"
#include "testsounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace TestSounds;

namespace {

constexpr int kLoud = 1000;

class StreamTest : public ::testing::Test {
protected:
    StreamTest() {
        useDiskAudio(dir.file("output.raw"));
        writeFile(dir / "music.wav", sineWav(0.5));
        SoundSystem::instance();
    }
    ~StreamTest() override { SoundSystem::destroy(); }

    // Plays the file from the given time and mode for a while; the stream's time then.
    int playFor(const std::string& file, int startMs, unsigned int mode, int ms) {
        Stream stream;
        EXPECT_TRUE(stream.load(dir.file(file)));
        EXPECT_TRUE(stream.setTime(startMs));
        EXPECT_TRUE(stream.setMode(mode));
        EXPECT_GE(stream.play(), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return stream.getTime();
    }

    TempDir dir;
};

TEST_F(StreamTest, UnopenedStream_IsNotClosedAtDestruction) {
    LogCapture log;
    {
        Stream stream;
        EXPECT_FALSE(stream.load(dir.file("absent.wav")));
        EXPECT_EQ(stream.play(), -1);
    }
    EXPECT_EQ(log.messages(), std::vector<std::string>{"load: stream could not be opened"});
}

TEST_F(StreamTest, LoadedStream_PlaysReloadsAndClosesQuietly) {
    writeFile(dir / "other.wav", sineWav(0.25));
    LogCapture log;
    {
        Stream stream;
        ASSERT_TRUE(stream.load(dir.file("music.wav")));
        EXPECT_EQ(stream.getLengthMs(), 500);
        EXPECT_TRUE(stream.setTime(250));
        EXPECT_EQ(stream.getTime(), 250);
        EXPECT_GE(stream.play(), 0);
        EXPECT_TRUE(stream.stop());
        ASSERT_TRUE(stream.load(dir.file("other.wav")));
        EXPECT_EQ(stream.getName(), dir.file("other.wav"));
        EXPECT_EQ(stream.getLengthMs(), 250);
    }
    EXPECT_TRUE(log.messages().empty());
}

TEST_F(StreamTest, StreamOutlivingTheSoundSystem_ReportsTheFailedClose) {
    auto stream = std::make_unique<Stream>();
    ASSERT_TRUE(stream->load(dir.file("music.wav")));
    SoundSystem::destroy();
    LogCapture log;
    stream.reset();
    EXPECT_TRUE(log.has("ERROR   from SoundSystem     :could not close stream"));
}

TEST_F(StreamTest, SetTimeBeforePlay_OutputStartsThere) {
    std::vector<int16_t> samples = sine(0.5, 0.02);
    const std::vector<int16_t> loud = sine(0.5, 0.6);
    samples.insert(samples.end(), loud.begin(), loud.end());
    writeFile(dir / "twoparts.wav", wav(samples));
    EXPECT_GT(playFor("twoparts.wav", 600, FSOUND_LOOP_OFF, 200), 600);
    SoundSystem::destroy();

    const std::vector<int16_t> left = leftChannel(dir / "output.raw");
    const auto first = std::find_if(left.begin(), left.end(), [](int16_t v) { return std::abs(v) > kLoud; });
    ASSERT_NE(first, left.end()) << "the output stayed silent";
    // The loud half starts at full strength: a stream started from 0 would
    // fade in from the quiet half.
    const auto onset = std::max_element(first, first + std::min<long>(441, left.end() - first));
    EXPECT_GT(*onset, 0.5 * 32767);
}

TEST_F(StreamTest, LoopMode_PlaysOnPastTheEnd) {
    writeFile(dir / "short.wav", sineWav(0.2));
    EXPECT_LT(playFor("short.wav", 0, FSOUND_LOOP_NORMAL, 600), 200);
    SoundSystem::destroy();

    const std::vector<int16_t> left = leftChannel(dir / "output.raw");
    EXPECT_GT(std::count_if(left.begin(), left.end(), [](int16_t v) { return std::abs(v) > kLoud; }),
              0.25 * 44100);
}

} // namespace
