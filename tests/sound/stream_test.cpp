#include "sound/soundlibrary.h"
#include "sound/soundsystem.h"
#include "sound/stream.h"
#include "support/logcapture.h"
#include "testsounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace TestSounds;

namespace {

class StreamTest : public ::testing::Test {
protected:
    StreamTest() {
        useDiskAudio(dir.file("output.raw"));
        writeFile(dir / "music.wav", sineWav(0.5));
        SoundSystem::instance();
    }
    ~StreamTest() override {
        stream.reset();
        SoundSystem::destroy();
    }

    // Plays the file from the given time in the given mode.
    void play(const std::string& file, int startMs, unsigned int mode) {
        stream = std::make_unique<Stream>();
        ASSERT_TRUE(stream->load(dir.file(file)));
        ASSERT_TRUE(stream->setTime(startMs));
        ASSERT_TRUE(stream->setMode(mode));
        ASSERT_GE(stream->play(), 0);
    }

    TempDir dir;
    std::unique_ptr<Stream> stream;
};

// Only a close that fails is reported: not an unopened stream, not the file a
// reload replaces.
TEST_F(StreamTest, Close_ReportsOnlyAFailure) {
    writeFile(dir / "other.wav", sineWav(0.25));
    LogCapture log;
    {
        Stream unopened;
        EXPECT_FALSE(unopened.load(dir.file("absent.wav")));
        EXPECT_EQ(unopened.play(), -1);
        Stream reloaded;
        ASSERT_TRUE(reloaded.load(dir.file("music.wav")));
        EXPECT_GE(reloaded.play(), 0);
        ASSERT_TRUE(reloaded.load(dir.file("other.wav")));
        EXPECT_EQ(reloaded.getName(), dir.file("other.wav"));
        EXPECT_EQ(reloaded.getLengthMs(), 250);
        EXPECT_TRUE(reloaded.setTime(100));
        EXPECT_TRUE(reloaded.stop());
        EXPECT_EQ(reloaded.getTime(), 0);
    }
    EXPECT_EQ(log.lines().size(), 1u) << "only the failed load";
    auto outliving = std::make_unique<Stream>();
    ASSERT_TRUE(outliving->load(dir.file("music.wav")));
    SoundSystem::destroy();
    log.clear();
    outliving.reset();
    EXPECT_TRUE(log.has("could not close stream"));
}

TEST_F(StreamTest, SetTimeBeforePlay_OutputStartsThere) {
    std::vector<int16_t> samples = sine(0.5, 0.02);
    const std::vector<int16_t> loud = sine(0.5, 0.6);
    samples.insert(samples.end(), loud.begin(), loud.end());
    writeFile(dir / "twoparts.wav", wav(samples));
    play("twoparts.wav", 600, FSOUND_LOOP_OFF);
    EXPECT_TRUE(waitFor([&] { return stream->getTime() > 650; }));

    stream.reset();
    SoundSystem::destroy();
    const std::vector<int16_t> left = leftChannel(dir / "output.raw");
    const auto first = std::find_if(left.begin(), left.end(), isLoud);
    ASSERT_NE(first, left.end()) << "the output stayed silent";
    // The loud half starts at full strength: a stream started from 0 would
    // fade in from the quiet half.
    const auto onset = std::max_element(first, first + std::min<long>(441, left.end() - first));
    EXPECT_GT(*onset, 0.5 * 32767);
}

TEST_F(StreamTest, LoopMode_PlaysOnPastTheEnd) {
    writeFile(dir / "short.wav", sineWav(0.2));
    play("short.wav", 0, FSOUND_LOOP_NORMAL);
    // More loud output than one pass of the file holds.
    const auto loudFrames = [this] {
        const std::vector<int16_t> left = leftChannel(dir / "output.raw");
        return std::count_if(left.begin(), left.end(), isLoud);
    };
    EXPECT_TRUE(waitFor([&] { return loudFrames() > 0.25 * kOutputRate; }));
    EXPECT_LT(stream->getTime(), 200);
}

} // namespace
