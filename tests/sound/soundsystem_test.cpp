#include "base/tools.h"
#include "sound/soundlibrary.h"
#include "sound/soundsystem.h"
#include "sound/stream.h"
#include "support/logcapture.h"
#include "testsounds.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

using namespace TestSounds;

namespace {

using Lines = std::vector<std::string>;

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
    constexpr int kRate = 44100;
    SoundSystem* sound = SoundSystem::instance();
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, kRate);
    EXPECT_EQ(Mix_AllocateChannels(-1), 64);
    ASSERT_TRUE(format == AUDIO_S16SYS && channels == 2) << "the frames leftChannel reads";

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
    const auto loud = [](int16_t value) {
        return std::abs(value) > 1000;
    };
    const auto first = std::find_if(left.begin(), left.end(), loud);
    ASSERT_NE(first, left.end()) << "the output stayed silent";
    const auto last = std::find_if(left.rbegin(), left.rend(), loud).base();
    EXPECT_GT(first - left.begin(), kRate / 10);
    EXPECT_NEAR(static_cast<double>(last - first) / kRate, 0.3, 0.03);
}

TEST_F(SoundSystemTest, AddSample_SameFileTwice_SharesOneSampleFreedAtTheLastRemoval) {
    SoundSystem* sound = SoundSystem::instance();
    LogCapture log;
    Sample* sample = sound->addSample(dir.file("select.wav"));
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sound->addSample(dir.file("select.wav")), sample);
    EXPECT_EQ(sample->getRefCount(), 2);
    EXPECT_EQ(sample->getName(), dir.file("select.wav"));
    EXPECT_TRUE(sound->removeSample(sample));
    EXPECT_EQ(sample->getRefCount(), 1);
    EXPECT_TRUE(sound->removeSample(sample));
    EXPECT_NE(sound->addSample(dir.file("select.wav")), nullptr);
    EXPECT_EQ(log.messages(), (Lines{"addSample: sample loaded", "addSample: increasing reference count",
                                     "removeSample: decreasing reference count",
                                     "removeSample: sample deleted", "addSample: sample loaded"}));
}

TEST_F(SoundSystemTest, RemoveSample_AlreadyFreedOrNull_IsRefusedAndTouchesNothing) {
    SoundSystem* sound = SoundSystem::instance();
    Sample* freed = sound->addSample(dir.file("select.wav"));
    Sample* other = sound->addSample(dir.file("move.wav"));
    sound->removeSample(freed);
    LogCapture log;
    EXPECT_FALSE(sound->removeSample(freed));
    EXPECT_FALSE(sound->removeSample(nullptr));
    EXPECT_EQ(log.lines(), Lines{"ERROR   from SoundSystem     :removeSample: sample not in list\n"});
    EXPECT_EQ(other->getRefCount(), 1);
    EXPECT_GE(other->play(), 0);
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
    LogCapture log;
    SoundSystem* sound = SoundSystem::instance();
    EXPECT_TRUE(sound->isInitialized());
    EXPECT_EQ(log.lines(), Lines{"NOTE    from SoundSystem     :init: successfully initialized\n"});
    EXPECT_FALSE(sound->init());
}

TEST_F(SoundSystemTest, AddSample_MissingOrCorruptFile_ReturnsNullAndTheSystemGoesOn) {
    SoundSystem* sound = SoundSystem::instance();
    LogCapture missing;
    EXPECT_EQ(sound->addSample(dir.file("absent.wav")), nullptr);
    EXPECT_EQ(missing.messages().at(0), "addSample: sample file not found");
    EXPECT_TRUE(missing.has("absent.wav: File not found"));
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
    for (const auto& [name, bytes] : cases) {
        writeFile(dir / (name + ".wav"), bytes);
        LogCapture log;
        EXPECT_EQ(sound->addSample(dir.file(name + ".wav")), nullptr) << name;
        EXPECT_TRUE(log.has("addSample: sample file not found")) << name;
    }
    EXPECT_NE(sound->addSample(dir.file("select.wav")), nullptr);
}

TEST_F(SoundSystemTest, PlaySongOrStream_Unloadable_LogsTheErrorText) {
    writeFile(dir / "words.txt", "no music here");
    SoundSystem* sound = SoundSystem::instance();
    LogCapture log;
    sound->playSong(dir.file("absent.mod"));
    sound->playStream(dir.file("words.txt"));
    sound->playStream(dir.file("select.wav"));
    EXPECT_EQ(log.messages(), (Lines{"File not found", "Unknown file format"}));
}

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
    EXPECT_EQ(log.messages(), (Lines{"Soundsystem not initialized", "Soundsystem not initialized",
                                     "Soundsystem not initialized", "load: stream could not be opened"}));
}

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
