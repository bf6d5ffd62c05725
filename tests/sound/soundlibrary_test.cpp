#include "sound/soundlibrary.h"
#include "testsounds.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace TestSounds;

namespace {

constexpr int kMixRate = 44100;
constexpr int kChannels = 64;

class SoundLibrary : public ::testing::Test {
protected:
    SoundLibrary() {
        useDiskAudio(dir.file("output.raw"));
        writeFile(dir / "long.wav", sineWav(1.0));
        writeFile(dir / "words.txt", "no sound in here");
    }
    ~SoundLibrary() override { FSOUND_Close(); }

    TempDir dir;
};

TEST_F(SoundLibrary, CallsBeforeInit_FailWithUninitialized) {
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, dir.file("long.wav").c_str(), 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
    EXPECT_EQ(FSOUND_Stream_OpenFile(dir.file("long.wav").c_str(), 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
}

TEST_F(SoundLibrary, Init_RefusesBadArgumentsAMissingDeviceAndASecondInit) {
    EXPECT_FALSE(FSOUND_Init(kMixRate, 0, 0));
    EXPECT_FALSE(FSOUND_Init(0, kChannels, 0));
    EXPECT_FALSE(FSOUND_Init(kMixRate, kChannels, 1));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    useMissingAudioDevice();
    EXPECT_FALSE(FSOUND_Init(kMixRate, kChannels, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
    useDiskAudio(dir.file("output.raw"));
    ASSERT_TRUE(FSOUND_Init(kMixRate, kChannels, 0));
    EXPECT_FALSE(FSOUND_Init(kMixRate, kChannels, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
}

// A game with sound must still end on SIGTERM or SIGINT.
TEST_F(SoundLibrary, Init_LeavesTheTerminationSignalsAlone) {
    const int signals[] = {SIGTERM, SIGINT};
    struct sigaction before[2]{}, after[2]{};
    for (int i = 0; i < 2; ++i) {
        sigaction(signals[i], nullptr, &before[i]);
    }
    ASSERT_TRUE(FSOUND_Init(kMixRate, kChannels, 0));
    for (int i = 0; i < 2; ++i) {
        sigaction(signals[i], nullptr, &after[i]);
        EXPECT_EQ(after[i].sa_handler, before[i].sa_handler) << "signal " << signals[i];
    }
}

TEST_F(SoundLibrary, SampleLoad_FailuresHaveTheirCodes) {
    ASSERT_TRUE(FSOUND_Init(kMixRate, kChannels, 0));
    const std::string good = sineWav(0.1);
    writeFile(dir / "cut.wav", good.substr(0, kWavHeaderSize + 10));
    const std::pair<std::string, int> cases[] = {
        {dir.file("absent.wav"), FMOD_ERR_FILE_NOTFOUND},
        {dir.file(""), FMOD_ERR_FILE_NOTFOUND},
        {dir.file("words.txt"), FMOD_ERR_FILE_FORMAT},
        {dir.file("cut.wav"), FMOD_ERR_FILE_BAD},
    };
    for (const auto& [file, code] : cases) {
        EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, file.c_str(), 0, 0), nullptr) << file;
        EXPECT_EQ(FSOUND_GetError(), code) << file;
    }
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(SoundLibrary, PlaySound_AllChannelsBusy_FailsToAllocate) {
    ASSERT_TRUE(FSOUND_Init(kMixRate, 2, 0));
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, dir.file("long.wav").c_str(), 0, 0);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 0);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 1);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(FSOUND_PlaySound(2, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(SoundLibrary, SampleFree_WhilePlayingOrByClose_StopsItAndRefusesTheStaleHandle) {
    ASSERT_TRUE(FSOUND_Init(kMixRate, kChannels, 0));
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, dir.file("long.wav").c_str(), 0, 0);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    EXPECT_TRUE(FSOUND_Sample_Free(sample));
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_Sample_Free(sample));
    // Closing takes back every handle still issued.
    sample = FSOUND_Sample_Load(FSOUND_FREE, dir.file("long.wav").c_str(), 0, 0);
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(kMixRate, kChannels, 0));
    EXPECT_FALSE(FSOUND_Sample_Free(sample));
}

TEST_F(SoundLibrary, SongAndStream_ShareTheMusicChannel) {
    ASSERT_TRUE(FSOUND_Init(kMixRate, kChannels, 0));
    FMUSIC_MODULE* song = FMUSIC_LoadSong(dir.file("long.wav").c_str());
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(dir.file("long.wav").c_str(), 0, 0);
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
    ASSERT_TRUE(FSOUND_Init(kMixRate, kChannels, 0));
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(dir.file("long.wav").c_str(), 0, 0);
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
