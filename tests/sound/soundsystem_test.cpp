#include "base/tools.h"
#include "sound/soundlibrary.h"
#include "sound/soundsystem.h"
#include "sound/stream.h"
#include "support/logcapture.h"
#include "testsounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

using namespace TestSounds;

namespace {

class SoundSystemTest : public ::testing::Test {
protected:
    SoundSystemTest() {
        useDiskAudio(dir.file("output.raw"));
        writeFile(dir / "select.wav", sineWav(0.3));
        writeFile(dir / "move.wav", sineWav(0.2));
    }
    ~SoundSystemTest() override {
        SoundSystem::destroy();
        setAssetDirectory("");
    }

    TempDir dir;
};

TEST_F(SoundSystemTest, PlayedSample_ReachesTheOutputForItsLength) {
    SoundSystem* sound = SoundSystem::instance();
    // A stretch of silence first, so the sample is seen to start when played.
    constexpr uintmax_t kSilentBytes = kOutputRate / 10 * 4;
    ASSERT_TRUE(waitFor([&] { return std::filesystem::file_size(dir / "output.raw") >= kSilentBytes; }));
    Sample* sample = sound->addSample(dir.file("select.wav"));
    ASSERT_NE(sample, nullptr);
    const int channel = sample->play();
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(waitFor([&] { return !FSOUND_IsPlaying(channel); }));
    sound->removeSample(sample);
    SoundSystem::destroy();

    const std::vector<int16_t> left = leftChannel(dir / "output.raw");
    const auto first = std::find_if(left.begin(), left.end(), isLoud);
    ASSERT_NE(first, left.end()) << "the output stayed silent";
    const auto last = std::find_if(left.rbegin(), left.rend(), isLoud).base();
    EXPECT_GE(first - left.begin(), static_cast<long>(kSilentBytes / 4));
    EXPECT_NEAR(static_cast<double>(last - first) / kOutputRate, 0.3, 0.03);
}

// The volume scales samples and the stream alike; the mute silences both
// and, lifted, leaves the volume where it was.
TEST_F(SoundSystemTest, VolumeScalesSamplesAndStream_MuteSilencesAndKeepsTheVolume) {
    SoundSystem* sound = SoundSystem::instance();
    Sample* sample = sound->addSample(dir.file("move.wav"));
    ASSERT_NE(sample, nullptr);
    const std::filesystem::path output = dir / "output.raw";
    // The loudest output from the play on, over a stretch that holds the
    // 0.2-second sound and the device's delay.
    const auto peakOf = [&](auto play) {
        const uintmax_t from = std::filesystem::file_size(output) / 4;
        play();
        const uintmax_t to = from + kOutputRate * 6 / 10;
        EXPECT_TRUE(waitFor([&] { return std::filesystem::file_size(output) / 4 >= to; }));
        const std::vector<int16_t> left = leftChannel(output);
        int peak = 0;
        for (uintmax_t i = from; i < std::min<uintmax_t>(to, left.size()); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(left[i])));
        }
        return peak;
    };
    const auto playSample = [&] {
        sample->play();
    };
    const auto playStream = [&] {
        sound->playStream(dir.file("move.wav"));
    };
    const int full = peakOf(playSample);
    ASSERT_TRUE(isLoud(static_cast<int16_t>(full)));
    sound->setVolume(0.5f);
    EXPECT_NEAR(peakOf(playSample), full / 2, full / 10);
    sound->setMuted(true);
    EXPECT_FALSE(isLoud(static_cast<int16_t>(peakOf(playSample))));
    EXPECT_FALSE(isLoud(static_cast<int16_t>(peakOf(playStream))));
    sound->setMuted(false);
    EXPECT_NEAR(peakOf(playStream), full / 2, full / 10);
    EXPECT_NEAR(peakOf(playSample), full / 2, full / 10);
}

TEST_F(SoundSystemTest, AddSample_SameFileTwice_SharesOneSampleFreedAtTheLastRemoval) {
    SoundSystem* sound = SoundSystem::instance();
    Sample* sample = sound->addSample(dir.file("select.wav"));
    Sample* other = sound->addSample(dir.file("move.wav"));
    ASSERT_TRUE(sample != nullptr && other != nullptr);
    EXPECT_EQ(sound->addSample(dir.file("select.wav")), sample);
    EXPECT_EQ(sample->getRefCount(), 2);
    EXPECT_TRUE(sound->removeSample(sample));
    EXPECT_EQ(sample->getRefCount(), 1);
    EXPECT_TRUE(sound->removeSample(sample));
    // Freed: the pointer is refused, not followed, and nothing else changes.
    EXPECT_FALSE(sound->removeSample(sample));
    EXPECT_FALSE(sound->removeSample(nullptr));
    EXPECT_EQ(other->getRefCount(), 1);
    EXPECT_GE(other->play(), 0);
}

// Sixty-four sounds play at once: the clicks and splashes of a busy moment
// never cut each other off.
TEST_F(SoundSystemTest, SixtyFourSamplesPlayAtOnce) {
    Sample* sample = SoundSystem::instance()->addSample(dir.file("select.wav"));
    ASSERT_NE(sample, nullptr);
    for (int i = 0; i < 64; ++i) {
        EXPECT_GE(sample->play(), 0) << i;
    }
}

TEST_F(SoundSystemTest, AddSample_FollowsThePathArgument) {
    writeFile(dir / "sounds" / "select.wav", sineWav(0.1));
    setAssetDirectory(dir.file(""));
    Sample* sample = SoundSystem::instance()->addSample("sounds/select.wav");
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->getName(), dir.file("") + "/sounds/select.wav");
}

TEST_F(SoundSystemTest, Destroy_FreesSamplesStillCounted_AndANewInstanceStartsAfresh) {
    SoundSystem::instance()->addSample(dir.file("select.wav"));
    SoundSystem::destroy();
    SoundSystem* sound = SoundSystem::instance();
    EXPECT_TRUE(sound->isInitialized());
    EXPECT_FALSE(sound->init());
    EXPECT_NE(sound->addSample(dir.file("select.wav")), nullptr);
}

TEST_F(SoundSystemTest, UnloadableFiles_GiveNullAndTheirReason_AndTheSystemGoesOn) {
    writeFile(dir / "words.txt", "no sound in here");
    SoundSystem* sound = SoundSystem::instance();
    LogCapture log;
    EXPECT_EQ(sound->addSample(dir.file("absent.wav")), nullptr);
    EXPECT_TRUE(log.has("absent.wav: File not found"));
    log.clear();
    sound->playSong(dir.file("absent.mod"));
    sound->playStream(dir.file("words.txt"));
    sound->playStream(dir.file("select.wav"));
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"File not found", "Unknown file format"}));
    EXPECT_NE(sound->addSample(dir.file("select.wav")), nullptr);
}

TEST_F(SoundSystemTest, NoAudioDevice_GivesASilentInstanceWhoseCallsAreHarmless) {
    useMissingAudioDevice();
    LogCapture log;
    SoundSystem* sound = SoundSystem::instance();
    ASSERT_NE(sound, nullptr);
    EXPECT_FALSE(sound->isInitialized());
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(SoundSystem::instance(), sound);
    EXPECT_EQ(sound->addSample(dir.file("select.wav")), nullptr);
    EXPECT_FALSE(sound->removeSample(nullptr));
    sound->playSong(dir.file("select.wav"));
    sound->playStream(dir.file("select.wav"));
    Stream stream;
    EXPECT_FALSE(stream.load(dir.file("select.wav")));
    EXPECT_EQ(stream.play(), -1);
}

TEST(SoundSystemErrorText, CodesOutsideTheTableAreUnknown) {
    EXPECT_STRNE(SoundSystem::getErrorText(FMOD_ERR_MEDIAPLAYER), "Unknown error");
    for (int code : {FMOD_ERR_MEDIAPLAYER + 1, 1000, -1}) {
        EXPECT_STREQ(SoundSystem::getErrorText(code), "Unknown error") << code;
    }
}

} // namespace
