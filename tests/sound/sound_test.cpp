#include "base/tools.h"
#include "sound/soundlibrary.h"
#include "sound/soundsystem.h"
#include "sound/stream.h"
#include "sound/wavreader.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/poll.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

using Status = WavReader::Status;

namespace {

// Sound files, audio drivers and the mixed output.
constexpr int kWavHeaderSize = 44;
constexpr int kRate = 22050;
// The rate the game's output device runs at.
constexpr int kOutputRate = 44100;

std::string littleEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
    return out;
}

// A 16-bit PCM WAV file of interleaved samples.
std::string wav(const std::vector<int16_t>& samples, int rate = kRate, int channels = 1) {
    const auto dataSize = static_cast<uint32_t>(2 * samples.size());
    // RIFF size, format chunk size, PCM, channels, rate, bytes per second and per frame, bits per sample.
    std::string out = "RIFF" + littleEndian(36 + dataSize, 4) + "WAVEfmt " + littleEndian(16, 4) +
                      littleEndian(1, 2) + littleEndian(channels, 2) + littleEndian(rate, 4) +
                      littleEndian(rate * channels * 2, 4) + littleEndian(channels * 2, 2) +
                      littleEndian(16, 2) + "data" + littleEndian(dataSize, 4);
    for (const int16_t sample : samples) {
        out += littleEndian(static_cast<uint16_t>(sample), 2);
    }
    return out;
}

// A 440 Hz sine that fades in over its first tenth and out over its last, so
// it starts and ends without a click.
std::string sineWav(double seconds) {
    const int frames = static_cast<int>(seconds * kRate);
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        const double fade = std::min(1.0, std::min(i, frames - 1 - i) / (0.1 * frames));
        samples.push_back(
            static_cast<int16_t>(0.5 * fade * std::sin(2.0 * M_PI * 440.0 * i / kRate) * 32767));
    }
    return wav(samples);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    PngFiles::writeBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// SDL's file-writing driver: the mixed output goes, as raw frames, to the
// file. Like a sound card it takes the frames at about their own pace. A
// driver that does not exist stands for a machine without a sound device.
void useDiskAudio(const std::string& outputFile) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", outputFile.c_str(), 1);
}
void useMissingAudioDevice() {
    setenv("SDL_AUDIODRIVER", "dummy-nonexistent", 1);
}

// The left channel of the raw 16-bit stereo frames the disk driver wrote.
std::vector<int16_t> leftChannel(const std::filesystem::path& rawOutput) {
    const std::vector<uint8_t> raw = PngFiles::readBytes(rawOutput);
    std::vector<int16_t> left(raw.size() / 4);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<int16_t>(raw[4 * i] | raw[4 * i + 1] << 8);
    }
    return left;
}

bool isLoud(int16_t value) {
    return std::abs(value) > 1000;
}

class WavReaderTest : public ::testing::Test {
protected:
    Status openBytes(const std::string& bytes) {
        writeFile(dir / "test.wav", bytes);
        return reader.open(dir.file("test.wav"));
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
    const std::string good = sineWav(0.1);
    // A valid file with the field at offset replaced.
    const auto with = [&](int offset, uint32_t value, int bytes) {
        return std::string(good).replace(offset, bytes, littleEndian(value, bytes));
    };
    std::string dataFirst = good;
    dataFirst.replace(12, 4, "data").replace(kWavHeaderSize - 8, 4, "fmt ");
    const std::vector<std::tuple<std::string, std::string, Status>> cases = {
        {"empty", "", Status::UnknownFormat},
        {"text", "no sound at all, only these words", Status::UnknownFormat},
        {"not wave", std::string(good).replace(8, 4, "AVI "), Status::UnknownFormat},
        {"adpcm", with(20, 2, 2), Status::UnknownFormat},
        {"24 bit", with(34, 24, 2), Status::UnknownFormat},
        {"header only", good.substr(0, 12), Status::Damaged},
        {"data cut", good.substr(0, good.size() - 100), Status::Damaged},
        {"data before format", dataFirst, Status::Damaged},
        {"huge chunk", with(16, 0x7fffffff, 4), Status::Damaged},
        {"no channels", with(22, 0, 2), Status::Damaged},
        {"no rate", with(24, 0, 4), Status::Damaged},
        {"bad frame size", with(32, 3, 2), Status::Damaged},
    };
    for (const auto& [name, bytes, status] : cases) {
        EXPECT_EQ(openBytes(bytes), status) << name;
    }
    EXPECT_EQ(reader.open(dir.file("absent.wav")), Status::NotFound);
    EXPECT_EQ(reader.open(dir.file("")), Status::NotFound);
    int16_t frame = 0;
    EXPECT_EQ(reader.read(&frame, 1), 0u);
}

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

TEST_F(SoundLibrary, Init_RefusesAMissingDeviceAndASecondInit_CallsBeforeAreRefused) {
    EXPECT_EQ(load("long.wav"), nullptr);
    EXPECT_EQ(open("long.wav"), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
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
    struct sigaction before[2] = {}, after[2] = {};
    const int signals[2] = {SIGTERM, SIGINT};
    for (int i = 0; i < 2; ++i) {
        sigaction(signals[i], nullptr, &before[i]);
    }
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    for (int i = 0; i < 2; ++i) {
        sigaction(signals[i], nullptr, &after[i]);
        EXPECT_EQ(after[i].sa_handler, before[i].sa_handler) << signals[i];
    }
}

TEST_F(SoundLibrary, SampleLoad_FailuresHaveTheirCodes) {
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    writeFile(dir / "words.txt", "no sound in here");
    writeFile(dir / "cut.wav", sineWav(0.1).substr(0, kWavHeaderSize + 10));
    const std::pair<std::string, int> cases[] = {
        {"", FMOD_ERR_FILE_NOTFOUND}, {"words.txt", FMOD_ERR_FILE_FORMAT}, {"cut.wav", FMOD_ERR_FILE_BAD}};
    for (const auto& [file, code] : cases) {
        EXPECT_EQ(load(file), nullptr) << file;
        EXPECT_EQ(FSOUND_GetError(), code) << file;
    }
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(SoundLibrary, Samples_TakeFreeChannelsOnly_FreeWhilePlayingOrByCloseStopsAndRefusesTheStaleHandle) {
    ASSERT_TRUE(FSOUND_Init(kOutputRate, 2, 0));
    FSOUND_SAMPLE* sample = load("long.wav");
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 0);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 1);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(FSOUND_PlaySound(2, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_TRUE(FSOUND_IsPlaying(1));
    EXPECT_TRUE(FSOUND_Sample_Free(sample));
    EXPECT_FALSE(FSOUND_IsPlaying(1));
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_Sample_Free(sample));
    // Closing takes back every handle still issued.
    sample = load("long.wav");
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(kOutputRate, kChannels, 0));
    EXPECT_FALSE(FSOUND_Sample_Free(sample));
}

TEST_F(SoundLibrary, Stream_TimeStartsWhereSetWrapsWhenLoopingAndStopRewinds_BadModeOrChannelIsRefused) {
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
    EXPECT_TRUE(poll([&] { return (playing = FSOUND_Stream_GetTime(stream)) > 500; }));
    EXPECT_LE(playing, 1000);
    EXPECT_TRUE(FSOUND_Stream_Stop(stream));
    EXPECT_EQ(FSOUND_Stream_GetTime(stream), 0);
    // Looping, the time wraps past the end.
    ASSERT_TRUE(FSOUND_Stream_SetMode(stream, FSOUND_LOOP_NORMAL));
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 900));
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), kChannels);
    EXPECT_TRUE(poll([&] { return FSOUND_Stream_GetTime(stream) < 900; }));
    EXPECT_TRUE(FSOUND_Stream_Stop(stream));
    EXPECT_FALSE(FSOUND_Stream_SetMode(stream, FSOUND_LOOP_OFF | FSOUND_LOOP_NORMAL));
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1);
    EXPECT_EQ(FSOUND_Stream_OpenFile(dir.file("long.wav").c_str(), 0, 100), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

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
using StreamTest = SoundSystemTest;

// Only a close that fails is reported: not an unopened stream, not the file a
// reload replaces.
TEST_F(StreamTest, Close_ReportsOnlyAFailure) {
    SoundSystem::instance();
    LogCapture log;
    {
        Stream unopened;
        EXPECT_FALSE(unopened.load(dir.file("absent.wav")));
        EXPECT_EQ(unopened.play(), -1);
        Stream reloaded;
        ASSERT_TRUE(reloaded.load(dir.file("select.wav")));
        EXPECT_GE(reloaded.play(), 0);
        ASSERT_TRUE(reloaded.load(dir.file("move.wav")));
        EXPECT_EQ(reloaded.getLengthMs(), 200);
    }
    EXPECT_EQ(log.lines().size(), 1u) << "only the failed load";
    auto outliving = std::make_unique<Stream>();
    ASSERT_TRUE(outliving->load(dir.file("select.wav")));
    SoundSystem::destroy();
    log.clear();
    outliving.reset();
    EXPECT_TRUE(log.has("could not close stream"));
}

TEST_F(SoundSystemTest, PlayedSample_ReachesTheOutputForItsLength) {
    SoundSystem* sound = SoundSystem::instance();
    // A stretch of silence first, so the sample is seen to start when played.
    constexpr uintmax_t kSilentBytes = kOutputRate / 10 * 4;
    ASSERT_TRUE(poll([&] { return std::filesystem::file_size(dir / "output.raw") >= kSilentBytes; }));
    Sample* sample = sound->addSample(dir.file("select.wav"));
    ASSERT_NE(sample, nullptr);
    const int channel = sample->play();
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(poll([&] { return !FSOUND_IsPlaying(channel); }));
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
    const auto peakOf = [&](bool stream) {
        const uintmax_t from = std::filesystem::file_size(output) / 4;
        stream ? sound->playStream(dir.file("move.wav")) : void(sample->play());
        const uintmax_t to = from + kOutputRate * 6 / 10;
        EXPECT_TRUE(poll([&] { return std::filesystem::file_size(output) / 4 >= to; }));
        const std::vector<int16_t> left = leftChannel(output);
        int peak = 0;
        for (uintmax_t i = from; i < std::min<uintmax_t>(to, left.size()); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(left[i])));
        }
        return peak;
    };
    const bool playSample = false, playStream = true;
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

TEST_F(SoundSystemTest, AddSample_SameFileTwice_SharesOneSampleFreedAtTheLastRemovalOrByDestroy) {
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
    // Destroyed with a sample still counted, the next instance starts afresh.
    SoundSystem::destroy();
    sound = SoundSystem::instance();
    EXPECT_TRUE(sound->isInitialized());
    EXPECT_FALSE(sound->init());
    EXPECT_NE(sound->addSample(dir.file("select.wav")), nullptr);
}

TEST_F(SoundSystemTest, AddSample_FollowsThePathArgument) {
    writeFile(dir / "sounds" / "select.wav", sineWav(0.1));
    setAssetDirectory(dir.file(""));
    Sample* sample = SoundSystem::instance()->addSample("sounds/select.wav");
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->getName(), dir.file("") + "/sounds/select.wav");
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
    sound->playSong(dir.file("select.wav"));
    sound->playStream(dir.file("select.wav"));
    Stream stream;
    EXPECT_FALSE(stream.load(dir.file("select.wav")));
    EXPECT_EQ(stream.play(), -1);
}

} // namespace
