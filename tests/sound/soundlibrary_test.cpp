#include "sound/soundlibrary.h"
#include "testsounds.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace TestSounds;

namespace {

constexpr int kChannels = 64;

class SoundLibrary : public ::testing::Test {
protected:
    SoundLibrary() {
        useDiskAudio(dir.file("output.raw"));
        writeFile(dir / "long.wav", sineWav(1.0));
    }
    ~SoundLibrary() override { FSOUND_Close(); }

    FSOUND_SAMPLE* load(const std::string& name) {
        return FSOUND_Sample_Load(FSOUND_FREE, dir.file(name).c_str(), 0, 0);
    }
    FSOUND_STREAM* open(const std::string& name) {
        return FSOUND_Stream_OpenFile(dir.file(name).c_str(), 0, 0);
    }

    TempDir dir;
};

TEST_F(SoundLibrary, Init_RefusesBadArgumentsAMissingDeviceAndASecondInit_CallsBeforeAreRefused) {
    EXPECT_EQ(load("long.wav"), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
    EXPECT_EQ(open("long.wav"), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_FALSE(FSOUND_Init(kOutputRate, 0, 0));
    EXPECT_FALSE(FSOUND_Init(0, kChannels, 0));
    EXPECT_FALSE(FSOUND_Init(kOutputRate, kChannels, 1));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    useMissingAudioDevice();
    EXPECT_FALSE(FSOUND_Init(kOutputRate, kChannels, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
    useDiskAudio(dir.file("output.raw"));
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    EXPECT_FALSE(FSOUND_Init(kOutputRate, kChannels, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
}

// A game with sound must still end on SIGTERM or SIGINT.
TEST_F(SoundLibrary, Init_LeavesTheTerminationSignalsAlone) {
    struct sigaction term {
    }, interrupt{}, after{};
    sigaction(SIGTERM, nullptr, &term);
    sigaction(SIGINT, nullptr, &interrupt);
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, term.sa_handler);
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, interrupt.sa_handler);
}

TEST_F(SoundLibrary, SampleLoad_FailuresHaveTheirCodes) {
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    writeFile(dir / "words.txt", "no sound in here");
    writeFile(dir / "cut.wav", sineWav(0.1).substr(0, kWavHeaderSize + 10));
    const std::pair<std::string, int> cases[] = {
        {"absent.wav", FMOD_ERR_FILE_NOTFOUND},
        {"", FMOD_ERR_FILE_NOTFOUND},
        {"words.txt", FMOD_ERR_FILE_FORMAT},
        {"cut.wav", FMOD_ERR_FILE_BAD},
    };
    for (const auto& [file, code] : cases) {
        EXPECT_EQ(load(file), nullptr) << file;
        EXPECT_EQ(FSOUND_GetError(), code) << file;
    }
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(SoundLibrary, PlaySound_AllChannelsBusy_FailsToAllocate) {
    ASSERT_TRUE(FSOUND_Init(kOutputRate, 2, 0));
    FSOUND_SAMPLE* sample = load("long.wav");
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 0);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 1);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(FSOUND_PlaySound(2, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(SoundLibrary, SampleFree_WhilePlayingOrByClose_StopsItAndRefusesTheStaleHandle) {
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    FSOUND_SAMPLE* sample = load("long.wav");
    const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    EXPECT_TRUE(FSOUND_Sample_Free(sample));
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_Sample_Free(sample));
    // Closing takes back every handle still issued.
    sample = load("long.wav");
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    EXPECT_FALSE(FSOUND_Sample_Free(sample));
}

TEST_F(SoundLibrary, SongAndStream_ShareTheMusicChannel) {
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    FMUSIC_MODULE* song = FMUSIC_LoadSong(dir.file("long.wav").c_str());
    FSOUND_STREAM* stream = open("long.wav");
    ASSERT_TRUE(FMUSIC_PlaySong(song));
    EXPECT_TRUE(FMUSIC_IsPlaying(song));
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), kChannels);
    EXPECT_FALSE(FMUSIC_IsPlaying(song));
    // Closing the stream that no longer plays leaves the song's replay alone.
    ASSERT_TRUE(FMUSIC_PlaySong(song));
    EXPECT_TRUE(FSOUND_Stream_Close(stream));
    EXPECT_TRUE(FMUSIC_IsPlaying(song));
}

TEST_F(SoundLibrary, Stream_TimeStartsWhereSetAndStopRewinds_BadModeOrChannelIsRefused) {
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    FSOUND_STREAM* stream = open("long.wav");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 1000);
    EXPECT_FALSE(FSOUND_Stream_SetTime(stream, 1001));
    EXPECT_FALSE(FSOUND_Stream_SetTime(stream, -1));
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 500));
    EXPECT_EQ(FSOUND_Stream_GetTime(stream), 500);
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), kChannels);
    int playing = 0;
    EXPECT_TRUE(waitFor([&] { return (playing = FSOUND_Stream_GetTime(stream)) > 500; }));
    EXPECT_LE(playing, 1000);
    EXPECT_TRUE(FSOUND_Stream_Stop(stream));
    EXPECT_EQ(FSOUND_Stream_GetTime(stream), 0);
    EXPECT_FALSE(FSOUND_Stream_SetMode(stream, FSOUND_LOOP_OFF | FSOUND_LOOP_NORMAL));
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1);
    EXPECT_EQ(FSOUND_Stream_OpenFile(dir.file("long.wav").c_str(), 0, 100), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

} // namespace
