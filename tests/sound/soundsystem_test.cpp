#include "core/system.h"
#include "sound/soundlibrary.h"
#include "sound/soundsystem.h"
#include "sound/stream.h"
#include "support/logcapture.h"
#include "testsounds.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

using namespace TestSounds;

namespace {

class SoundSystemTest : public ::testing::Test {
protected:
    SoundSystemTest() {
        useDiskAudio(dir.file("output.raw"));
        writeFile(dir / "select.wav", sineWav(0.3));
        writeFile(dir / "move.wav", sineWav(0.2, 44100, 660.0));
    }
    ~SoundSystemTest() override {
        SoundSystem::destroy();
        System::instance()->setArguments(0, nullptr);
    }

    TempDir dir;
};

// Output --------------------------------------------------------------------

TEST_F(SoundSystemTest, PlayedSample_ReachesTheOutputAtItsPitchAndLength) {
    constexpr int kRate = 44100;
    constexpr int kLoud = 1000;
    SoundSystem* sound = SoundSystem::instance();
    ASSERT_TRUE(sound->isInitialized());
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, kRate);
    ASSERT_EQ(format, AUDIO_S16SYS);
    ASSERT_EQ(channels, 2);

    // A stretch of silence first, so the sample is seen to start when played.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Sample* sample = sound->addSample(dir.file("select.wav"));
    ASSERT_NE(sample, nullptr);
    const int channel = sample->play();
    ASSERT_GE(channel, 0);
    for (int i = 0; i < 500 && FSOUND_IsPlaying(channel); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sound->removeSample(sample);
    SoundSystem::destroy();

    const std::vector<int16_t> left = leftChannel(dir / "output.raw");
    size_t first = left.size();
    size_t last = 0;
    int peak = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::abs(left[i]) > kLoud) {
            first = std::min(first, i);
            last = i;
        }
        peak = std::max(peak, std::abs(static_cast<int>(left[i])));
    }
    ASSERT_LT(first, last) << "the output stayed silent";
    EXPECT_GT(first, static_cast<size_t>(kRate / 10));
    const double loudSeconds = double(last - first) / kRate;
    EXPECT_NEAR(loudSeconds, 0.3, 0.03);
    EXPECT_NEAR(peak, 0.5 * 32767, 0.05 * 32767);
    int crossings = 0;
    for (size_t i = first + 1; i <= last; ++i) {
        crossings += (left[i - 1] < 0) != (left[i] < 0);
    }
    EXPECT_NEAR(crossings / 2.0 / loudSeconds, 440.0, 10.0);
}

// Reference counting --------------------------------------------------------

TEST_F(SoundSystemTest, AddSample_SameFileTwice_SharesOneSampleCountedTwice) {
    SoundSystem* sound = SoundSystem::instance();
    LogCapture log;
    Sample* first = sound->addSample(dir.file("select.wav"));
    Sample* second = sound->addSample(dir.file("select.wav"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->getRefCount(), 2);
    EXPECT_EQ(first->getName(), dir.file("select.wav"));
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"addSample: sample loaded",
                                                        "addSample: increasing reference count"}));
}

TEST_F(SoundSystemTest, RemoveSample_FreesAtTheLastMatchingRemoval) {
    SoundSystem* sound = SoundSystem::instance();
    Sample* sample = sound->addSample(dir.file("select.wav"));
    sound->addSample(dir.file("select.wav"));
    LogCapture log;
    EXPECT_TRUE(sound->removeSample(sample));
    EXPECT_EQ(sample->getRefCount(), 1);
    EXPECT_TRUE(sound->removeSample(sample));
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"removeSample: decreasing reference count",
                                                        "removeSample: sample deleted"}));
    log.clear();
    EXPECT_NE(sound->addSample(dir.file("select.wav")), nullptr);
    EXPECT_TRUE(log.has("addSample: sample loaded"));
}

TEST_F(SoundSystemTest, RemoveSample_AlreadyFreed_IsRefusedAndTouchesNothing) {
    SoundSystem* sound = SoundSystem::instance();
    Sample* freed = sound->addSample(dir.file("select.wav"));
    Sample* other = sound->addSample(dir.file("move.wav"));
    sound->removeSample(freed);
    LogCapture log;
    EXPECT_FALSE(sound->removeSample(freed));
    EXPECT_TRUE(log.has("ERROR   from SoundSystem     :removeSample: sample not in list"));
    EXPECT_EQ(other->getRefCount(), 1);
    EXPECT_GE(other->play(), 0);
}

TEST_F(SoundSystemTest, RemoveSample_Null_ReturnsFalse) {
    EXPECT_FALSE(SoundSystem::instance()->removeSample(nullptr));
}

TEST_F(SoundSystemTest, AddSample_FollowsThePathArgument) {
    writeFile(dir / "sounds" / "select.wav", sineWav(0.1));
    const std::string pathArgument = "path=" + dir.file("");
    const char* arguments[] = {"sporrik", pathArgument.c_str()};
    System::instance()->setArguments(2, arguments);
    SoundSystem* sound = SoundSystem::instance();
    Sample* sample = sound->addSample("sounds/select.wav");
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->getName(), dir.file("") + "/sounds/select.wav");
    EXPECT_EQ(sound->addSample("sounds/select.wav"), sample);
}

TEST_F(SoundSystemTest, Destroy_WithSamplesStillCounted_FreesThemAndAllowsANewInstance) {
    SoundSystem::instance()->addSample(dir.file("select.wav"));
    SoundSystem::destroy();
    LogCapture log;
    SoundSystem* sound = SoundSystem::instance();
    EXPECT_TRUE(sound->isInitialized());
    EXPECT_TRUE(log.has("NOTE    from SoundSystem     :init: successfully initialized"));
    EXPECT_FALSE(sound->init());
}

// Bad files -----------------------------------------------------------------

TEST_F(SoundSystemTest, AddSample_MissingFile_ReturnsNull) {
    LogCapture log;
    EXPECT_EQ(SoundSystem::instance()->addSample(dir.file("absent.wav")), nullptr);
    EXPECT_TRUE(log.has("ERROR   from SoundSystem     :addSample: sample file not found"));
    EXPECT_TRUE(log.has("File not found"));
}

TEST_F(SoundSystemTest, AddSample_CorruptWav_ReturnsNullAndTheSystemGoesOn) {
    const std::string good = sineWav(0.2);
    std::string unknownFormat = good;
    unknownFormat[kFormatTagOffset] = 0x77;
    unknownFormat[kFormatTagOffset + 1] = 0x77;
    std::string noChannels = good;
    noChannels[kChannelCountOffset] = 0;
    std::string notWave = good;
    notWave.replace(8, 4, "WAVX");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"text", "This is no sound file, only a few words of text.\n"},
        {"header cut", good.substr(0, 20)},
        {"data cut", good.substr(0, kWavHeaderSize + 1000)},
        {"unknown format", unknownFormat},
        {"no channels", noChannels},
        {"not wave", notWave},
    };
    SoundSystem* sound = SoundSystem::instance();
    for (const auto& [name, bytes] : cases) {
        writeFile(dir / (name + ".wav"), bytes);
        LogCapture log;
        EXPECT_EQ(sound->addSample(dir.file(name + ".wav")), nullptr) << name;
        EXPECT_TRUE(log.has("addSample: sample file not found")) << name;
    }
    EXPECT_NE(sound->addSample(dir.file("select.wav")), nullptr);
}

// Songs and streams ---------------------------------------------------------

TEST_F(SoundSystemTest, PlaySongOrStream_Unloadable_LogsTheErrorText) {
    writeFile(dir / "words.txt", "no music here");
    SoundSystem* sound = SoundSystem::instance();
    LogCapture log;
    sound->playSong(dir.file("absent.mod"));
    sound->playStream(dir.file("words.txt"));
    sound->playStream(dir.file("select.wav"));
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"File not found", "Unknown file format"}));
}

// No audio device -----------------------------------------------------------

TEST_F(SoundSystemTest, NoAudioDevice_GivesASilentInstanceWhoseCallsAreHarmless) {
    useMissingAudioDevice();
    LogCapture log;
    SoundSystem* sound = SoundSystem::instance();
    ASSERT_NE(sound, nullptr);
    EXPECT_FALSE(sound->isInitialized());
    EXPECT_TRUE(log.has("ERROR   from SoundSystem     :init: could not initialize"));
    EXPECT_EQ(SoundSystem::instance(), sound);

    log.clear();
    EXPECT_EQ(sound->addSample(dir.file("select.wav")), nullptr);
    EXPECT_FALSE(sound->removeSample(nullptr));
    sound->playSong(dir.file("select.wav"));
    sound->playStream(dir.file("select.wav"));
    {
        Stream stream;
        EXPECT_FALSE(stream.load(dir.file("select.wav")));
        EXPECT_EQ(stream.play(), -1);
    }
    SoundSystem::destroy();
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"Soundsystem not initialized", "Soundsystem not initialized",
                                        "Soundsystem not initialized", "load: stream could not be opened"}));
}

// Error texts ---------------------------------------------------------------

TEST(SoundSystemErrorText, EveryCodeHasItsTextAndOthersAreUnknown) {
    const char* const expected[] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "An invalid parameter was passed to this function",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Failed to allocate a new channel",
        "Recording not supported on this device",
        "Required Mediaplayer codec is not installed",
    };
    for (int code = 0; code < 19; ++code) {
        EXPECT_STREQ(SoundSystem::getErrorText(code), expected[code]) << code;
    }
    for (int code : {19, 20, 1000, -1}) {
        EXPECT_STREQ(SoundSystem::getErrorText(code), "Unknown error") << code;
    }
}

} // namespace
