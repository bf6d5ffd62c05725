#include "sound/soundlibrary.h"

#include "sound/wavreader.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kMinMixRate = 4000;
constexpr int kMaxMixRate = 192000;
constexpr int kChannelLimit = 1024;
constexpr int kStereo = 2;
// Sample frames per mixing buffer: about 23 ms at 44100 Hz, short enough that
// a sample seems to start with the click that triggers it.
constexpr int kBufferFrames = 1024;
// Source frames a stream reads from its file at a time.
constexpr size_t kStreamReadFrames = 4096;
constexpr double kMsPerSecond = 1000.0;
constexpr int kBitsPerByte = 8;
// Mix_PlayMusic's play count for a single pass.
constexpr int kPlayOnce = 0;
constexpr unsigned int kLoopModes = FSOUND_LOOP_OFF | FSOUND_LOOP_NORMAL;

// The master volume in the mixer's scale; the stream's mixing reads it on the
// mixer's thread.
std::atomic<int> gMixVolume{MIX_MAX_VOLUME};

struct ChunkDeleter {
    void operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
};
// Freeing music that plays halts the music channel first.
struct MusicDeleter {
    void operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
};
struct AudioStreamDeleter {
    void operator()(SDL_AudioStream* stream) const { SDL_FreeAudioStream(stream); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ChunkPtr = std::unique_ptr<Mix_Chunk, ChunkDeleter>;
using MusicPtr = std::unique_ptr<Mix_Music, MusicDeleter>;
using AudioStreamPtr = std::unique_ptr<SDL_AudioStream, AudioStreamDeleter>;
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// SDL's audio subsystem alone; video and input stay with GLUT.
class AudioSubsystem {
public:
    AudioSubsystem() : open(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}
    ~AudioSubsystem() {
        if (open) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    AudioSubsystem(const AudioSubsystem&) = delete;
    AudioSubsystem& operator=(const AudioSubsystem&) = delete;
    bool isOpen() const { return open; }

private:
    bool open;
};

// The mixer's output device, 16-bit stereo.
class MixerDevice {
public:
    explicit MixerDevice(int mixRate)
        : open(Mix_OpenAudio(mixRate, AUDIO_S16SYS, kStereo, kBufferFrames) == 0) {}
    ~MixerDevice() {
        if (open) {
            Mix_HaltChannel(-1);
            Mix_HaltMusic();
            Mix_CloseAudio();
            Mix_Quit();
        }
    }
    MixerDevice(const MixerDevice&) = delete;
    MixerDevice& operator=(const MixerDevice&) = delete;
    bool isOpen() const { return open; }

private:
    bool open;
};

// What the device was opened with.
struct OutputFormat {
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    int frameSize = 0;
};

// The handles the library has issued and not yet taken back, owned here.
template <typename Handle>
class Registry {
public:
    Handle* add(std::unique_ptr<Handle> handle) {
        Handle* raw = handle.get();
        items.emplace(raw, std::move(handle));
        return raw;
    }
    bool contains(const Handle* handle) const { return handle != nullptr && items.count(handle) != 0; }
    void remove(const Handle* handle) { items.erase(handle); }

private:
    std::unordered_map<const Handle*, std::unique_ptr<Handle>> items;
};

SDL_AudioFormat sourceFormat(const WavReader& reader) {
    if (reader.isFloat()) {
        return AUDIO_F32LSB;
    }
    switch (reader.getBitsPerSample()) {
    case 8:
        return AUDIO_U8;
    case 16:
        return AUDIO_S16LSB;
    default:
        return AUDIO_S32LSB;
    }
}

} // namespace

struct FSOUND_SAMPLE {
    ChunkPtr chunk;
};

struct FMUSIC_MODULE {
    MusicPtr music;
};

// A WAV file decoded on the mixer's thread while it plays. SDL_mixer's own
// music decoder is not used for streams: its WAV seeking (2.6) lands at the
// start whatever position it is given, and its WAV position runs ahead by
// whole read blocks. Everything below the lock is shared with the mixer's
// thread.
struct FSOUND_STREAM {
    FSOUND_STREAM(WavReader source, AudioStreamPtr convert, const OutputFormat& format, unsigned int loopMode)
        : reader(std::move(source)), converter(std::move(convert)), output(format),
          readBuffer(kStreamReadFrames * reader.getFrameSize()), mode(loopMode) {}

    int lengthMs() const {
        return static_cast<int>(std::llround(reader.getFrameCount() * kMsPerSecond / reader.getRate()));
    }

    // The rest is called with the lock held.

    bool moveTo(int ms) {
        const int64_t frame =
            std::min<int64_t>(reader.getFrameCount(), std::llround(ms / kMsPerSecond * reader.getRate()));
        if (!reader.seekFrame(frame)) {
            return false;
        }
        SDL_AudioStreamClear(converter.get());
        startMs = ms;
        deliveredFrames = 0;
        sourceEnded = false;
        return true;
    }

    void stopAndRewind() {
        playing = false;
        moveTo(0);
    }

    int timeMs() const {
        const double ms = startMs + deliveredFrames * kMsPerSecond / output.rate;
        const int length = lengthMs();
        if ((mode & FSOUND_LOOP_NORMAL) != 0 && length > 0) {
            return static_cast<int>(std::llround(std::fmod(ms, length)));
        }
        return std::min(length, static_cast<int>(std::llround(ms)));
    }

    // The mixer's thread asks for bytes of output to add to out.
    void mix(Uint8* out, int bytes) {
        std::lock_guard<std::mutex> guard(lock);
        if (!playing) {
            return;
        }
        fill(bytes);
        mixBuffer.resize(std::max<size_t>(mixBuffer.size(), bytes));
        const int got = SDL_AudioStreamGet(converter.get(), mixBuffer.data(), bytes);
        if (got > 0) {
            SDL_MixAudioFormat(out, mixBuffer.data(), output.format, static_cast<Uint32>(got),
                               gMixVolume.load());
            deliveredFrames += got / output.frameSize;
        }
        if (got < bytes && sourceEnded) {
            stopAndRewind();
        }
    }

    void fill(int bytes) {
        while (SDL_AudioStreamAvailable(converter.get()) < bytes && !sourceEnded) {
            const size_t frames = reader.read(readBuffer.data(), kStreamReadFrames);
            if (frames == 0) {
                // Looping restarts only at the real end; a read error ends the stream.
                if ((mode & FSOUND_LOOP_NORMAL) != 0 && reader.atEnd() && reader.getFrameCount() > 0 &&
                    reader.seekFrame(0)) {
                    continue;
                }
                SDL_AudioStreamFlush(converter.get());
                sourceEnded = true;
            } else if (SDL_AudioStreamPut(converter.get(), readBuffer.data(),
                                          static_cast<int>(frames * reader.getFrameSize())) != 0) {
                sourceEnded = true;
            }
        }
    }

    WavReader reader;
    AudioStreamPtr converter;
    const OutputFormat output;
    std::vector<unsigned char> readBuffer;
    std::vector<unsigned char> mixBuffer;

    std::mutex lock;
    unsigned int mode;
    bool playing = false;
    bool sourceEnded = false;
    // The file position of the last start or seek, and the output frames
    // handed to the mixer since.
    int startMs = 0;
    int64_t deliveredFrames = 0;
};

namespace {

void mixStream(void* stream, Uint8* out, int bytes) {
    static_cast<FSOUND_STREAM*>(stream)->mix(out, bytes);
}

// Everything FSOUND_Init opens. The members are released in reverse order:
// the handles first, then the device, then the subsystem.
struct Library {
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    // Unhooked first: the mixer's thread must not read a stream being freed.
    ~Library() {
        if (streamOnChannel != nullptr) {
            Mix_HookMusic(nullptr, nullptr);
        }
    }

    AudioSubsystem subsystem;
    std::unique_ptr<MixerDevice> device;
    OutputFormat output;
    int sampleChannels = 0;
    // The music channel plays at most one of them.
    FMUSIC_MODULE* songOnChannel = nullptr;   // not owned: kept in songs
    FSOUND_STREAM* streamOnChannel = nullptr; // not owned: kept in streams
    Registry<FSOUND_SAMPLE> samples;
    Registry<FMUSIC_MODULE> songs;
    Registry<FSOUND_STREAM> streams;
};

int gError = FMOD_ERR_NONE;

// Deliberately never destroyed: the sound system singleton may close the
// library from its own static destructor, after this file's statics are gone.
std::unique_ptr<Library>& library() {
    static auto* holder = new std::unique_ptr<Library>();
    return *holder;
}

// Clears the error and returns the open library, or sets the error and
// returns null.
Library* begin() {
    gError = FMOD_ERR_NONE;
    Library* lib = library().get();
    if (lib == nullptr) {
        gError = FMOD_ERR_UNINITIALIZED;
    }
    return lib;
}

// As begin(), and the handle must be one the library issued and has not
// taken back.
template <typename Handle>
Library* beginWith(Registry<Handle> Library::*registry, const Handle* handle) {
    Library* lib = begin();
    if (lib != nullptr && !(lib->*registry).contains(handle)) {
        gError = FMOD_ERR_INVALID_PARAM;
        return nullptr;
    }
    return lib;
}

template <typename Result>
Result fail(int code, Result result) {
    gError = code;
    return result;
}

bool isRegularFile(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// Why the mixer refused a file it could open: a file with a WAV header is a
// damaged WAV, anything else a format the mixer does not know.
int loadFailure(const char* path) {
    constexpr size_t kHeaderSize = 12;
    constexpr size_t kTagSize = 4;
    constexpr size_t kFormatOffset = 8;
    FilePtr file(std::fopen(path, "rb"));
    if (!file) {
        return FMOD_ERR_FILE_NOTFOUND;
    }
    char header[kHeaderSize] = {};
    const bool wav = std::fread(header, 1, kHeaderSize, file.get()) == kHeaderSize &&
                     std::memcmp(header, "RIFF", kTagSize) == 0 &&
                     std::memcmp(header + kFormatOffset, "WAVE", kTagSize) == 0;
    return wav ? FMOD_ERR_FILE_BAD : FMOD_ERR_FILE_FORMAT;
}

// Opens a file with one of the mixer's loaders; null, with the error set, when
// the file is missing or the mixer refuses it.
template <typename Loaded, typename Loader>
Loaded loadWithMixer(const char* name, Loader loader) {
    if (!isRegularFile(name)) {
        gError = FMOD_ERR_FILE_NOTFOUND;
        return nullptr;
    }
    Loaded loaded(loader(name));
    if (!loaded) {
        gError = loadFailure(name);
    }
    return loaded;
}

bool isLoopMode(unsigned int mode) {
    return (mode & ~kLoopModes) == 0 && mode != kLoopModes;
}

// Takes the stream off the music channel if it is there. Once unhooked, the
// mixer's thread no longer touches it.
void unhook(Library& lib, const FSOUND_STREAM* stream) {
    if (lib.streamOnChannel == stream) {
        Mix_HookMusic(nullptr, nullptr);
        lib.streamOnChannel = nullptr;
    }
}

// Silences whatever song or stream plays; a stream cut off is rewound as by
// FSOUND_Stream_Stop.
void releaseMusicChannel(Library& lib) {
    if (FSOUND_STREAM* stream = lib.streamOnChannel) {
        unhook(lib, stream);
        std::lock_guard<std::mutex> guard(stream->lock);
        if (stream->playing) {
            stream->stopAndRewind();
        }
    }
    if (lib.songOnChannel != nullptr) {
        Mix_HaltMusic();
        lib.songOnChannel = nullptr;
    }
}

} // namespace

bool FSOUND_Init(int mixRate, int maxChannels, unsigned int flags) {
    gError = FMOD_ERR_NONE;
    if (library()) {
        return fail(FMOD_ERR_BUSY, false);
    }
    if (mixRate < kMinMixRate || mixRate > kMaxMixRate || maxChannels < 1 || maxChannels > kChannelLimit ||
        flags != 0) {
        return fail(FMOD_ERR_INVALID_PARAM, false);
    }
    // A WAV cut short is refused rather than played up to where it breaks off.
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
    // SDL would otherwise turn SIGINT and SIGTERM into events of a queue the
    // game never reads: with sound on, a plain kill no longer ended it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    auto lib = std::make_unique<Library>();
    if (!lib->subsystem.isOpen()) {
        return fail(FMOD_ERR_INIT, false);
    }
    lib->device = std::make_unique<MixerDevice>(mixRate);
    if (!lib->device->isOpen()) {
        return fail(FMOD_ERR_INIT, false);
    }
    OutputFormat& output = lib->output;
    if (Mix_QuerySpec(&output.rate, &output.format, &output.channels) == 0) {
        return fail(FMOD_ERR_INIT, false);
    }
    output.frameSize = output.channels * static_cast<int>(SDL_AUDIO_BITSIZE(output.format)) / kBitsPerByte;
    if (Mix_AllocateChannels(maxChannels) != maxChannels) {
        return fail(FMOD_ERR_MEMORY, false);
    }
    lib->sampleChannels = maxChannels;
    library() = std::move(lib);
    FSOUND_SetMasterVolume(FSOUND_MAX_VOLUME);
    return true;
}

void FSOUND_Close() {
    gError = FMOD_ERR_NONE;
    library().reset();
}

int FSOUND_GetError() {
    return gError;
}

bool FSOUND_SetMasterVolume(int volume) {
    if (begin() == nullptr) {
        return false;
    }
    if (volume < 0 || volume > FSOUND_MAX_VOLUME) {
        return fail(FMOD_ERR_INVALID_PARAM, false);
    }
    const int mixVolume = (volume * MIX_MAX_VOLUME + FSOUND_MAX_VOLUME / 2) / FSOUND_MAX_VOLUME;
    gMixVolume = mixVolume;
    Mix_Volume(-1, mixVolume);
    Mix_VolumeMusic(mixVolume);
    return true;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int) {
    Library* lib = begin();
    if (lib == nullptr) {
        return nullptr;
    }
    if (index != FSOUND_FREE || name == nullptr || (mode & ~FSOUND_LOOP_OFF) != 0) {
        return fail(FMOD_ERR_INVALID_PARAM, nullptr);
    }
    ChunkPtr chunk = loadWithMixer<ChunkPtr>(name, [](const char* file) { return Mix_LoadWAV(file); });
    if (!chunk) {
        return nullptr;
    }
    auto sample = std::make_unique<FSOUND_SAMPLE>();
    sample->chunk = std::move(chunk);
    return lib->samples.add(std::move(sample));
}

bool FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
    Library* lib = beginWith(&Library::samples, sample);
    if (lib == nullptr) {
        return false;
    }
    lib->samples.remove(sample);
    return true;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
    Library* lib = beginWith(&Library::samples, sample);
    if (lib == nullptr) {
        return -1;
    }
    if (channel < FSOUND_FREE || channel >= lib->sampleChannels) {
        return fail(FMOD_ERR_INVALID_PARAM, -1);
    }
    const int played = Mix_PlayChannel(channel, sample->chunk.get(), 0);
    if (played < 0) {
        return fail(channel == FSOUND_FREE ? FMOD_ERR_CHANNEL_ALLOC : FMOD_ERR_PLAY, -1);
    }
    return played;
}

bool FSOUND_IsPlaying(int channel) {
    Library* lib = begin();
    if (lib == nullptr) {
        return false;
    }
    if (channel < 0 || channel >= lib->sampleChannels) {
        return fail(FMOD_ERR_INVALID_PARAM, false);
    }
    return Mix_Playing(channel) != 0;
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    Library* lib = begin();
    if (lib == nullptr) {
        return nullptr;
    }
    if (name == nullptr) {
        return fail(FMOD_ERR_INVALID_PARAM, nullptr);
    }
    MusicPtr music = loadWithMixer<MusicPtr>(name, Mix_LoadMUS);
    if (!music) {
        return nullptr;
    }
    auto module = std::make_unique<FMUSIC_MODULE>();
    module->music = std::move(music);
    return lib->songs.add(std::move(module));
}

bool FMUSIC_PlaySong(FMUSIC_MODULE* module) {
    Library* lib = beginWith(&Library::songs, module);
    if (lib == nullptr) {
        return false;
    }
    releaseMusicChannel(*lib);
    if (Mix_PlayMusic(module->music.get(), kPlayOnce) != 0) {
        return fail(FMOD_ERR_PLAY, false);
    }
    lib->songOnChannel = module;
    return true;
}

bool FMUSIC_IsPlaying(FMUSIC_MODULE* module) {
    Library* lib = beginWith(&Library::songs, module);
    if (lib == nullptr) {
        return false;
    }
    return lib->songOnChannel == module && Mix_PlayingMusic() != 0;
}

bool FMUSIC_FreeSong(FMUSIC_MODULE* module) {
    Library* lib = beginWith(&Library::songs, module);
    if (lib == nullptr) {
        return false;
    }
    if (lib->songOnChannel == module) {
        lib->songOnChannel = nullptr;
    }
    lib->songs.remove(module);
    return true;
}

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* fileName, unsigned int mode, int length) {
    Library* lib = begin();
    if (lib == nullptr) {
        return nullptr;
    }
    if (fileName == nullptr || !isLoopMode(mode) || length != 0) {
        return fail(FMOD_ERR_INVALID_PARAM, nullptr);
    }
    WavReader reader;
    switch (reader.open(fileName)) {
    case WavReader::Status::Ok:
        break;
    case WavReader::Status::NotFound:
        return fail(FMOD_ERR_FILE_NOTFOUND, nullptr);
    case WavReader::Status::UnknownFormat:
        return fail(FMOD_ERR_FILE_FORMAT, nullptr);
    case WavReader::Status::Damaged:
        return fail(FMOD_ERR_FILE_BAD, nullptr);
    }
    const OutputFormat& output = lib->output;
    AudioStreamPtr converter(
        SDL_NewAudioStream(sourceFormat(reader), static_cast<Uint8>(reader.getChannels()), reader.getRate(),
                           output.format, static_cast<Uint8>(output.channels), output.rate));
    if (!converter) {
        return fail(FMOD_ERR_FILE_FORMAT, nullptr);
    }
    return lib->streams.add(
        std::make_unique<FSOUND_STREAM>(std::move(reader), std::move(converter), output, mode));
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    Library* lib = beginWith(&Library::streams, stream);
    if (lib == nullptr) {
        return -1;
    }
    if (channel != FSOUND_FREE) {
        return fail(FMOD_ERR_INVALID_PARAM, -1);
    }
    releaseMusicChannel(*lib);
    {
        std::lock_guard<std::mutex> guard(stream->lock);
        if (!stream->moveTo(stream->startMs)) {
            return fail(FMOD_ERR_PLAY, -1);
        }
        stream->playing = true;
    }
    Mix_HookMusic(mixStream, stream);
    lib->streamOnChannel = stream;
    return lib->sampleChannels;
}

bool FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
    Library* lib = beginWith(&Library::streams, stream);
    if (lib == nullptr) {
        return false;
    }
    unhook(*lib, stream);
    std::lock_guard<std::mutex> guard(stream->lock);
    stream->stopAndRewind();
    return true;
}

bool FSOUND_Stream_Close(FSOUND_STREAM* stream) {
    Library* lib = beginWith(&Library::streams, stream);
    if (lib == nullptr) {
        return false;
    }
    unhook(*lib, stream);
    lib->streams.remove(stream);
    return true;
}

int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream) {
    Library* lib = beginWith(&Library::streams, stream);
    if (lib == nullptr) {
        return 0;
    }
    return stream->lengthMs();
}

int FSOUND_Stream_GetTime(FSOUND_STREAM* stream) {
    Library* lib = beginWith(&Library::streams, stream);
    if (lib == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(stream->lock);
    return stream->timeMs();
}

bool FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms) {
    Library* lib = beginWith(&Library::streams, stream);
    if (lib == nullptr) {
        return false;
    }
    if (ms < 0 || ms > stream->lengthMs()) {
        return fail(FMOD_ERR_INVALID_PARAM, false);
    }
    std::lock_guard<std::mutex> guard(stream->lock);
    if (!stream->moveTo(ms)) {
        return fail(FMOD_ERR_FILE_BAD, false);
    }
    return true;
}

bool FSOUND_Stream_SetMode(FSOUND_STREAM* stream, unsigned int mode) {
    Library* lib = beginWith(&Library::streams, stream);
    if (lib == nullptr) {
        return false;
    }
    if (!isLoopMode(mode)) {
        return fail(FMOD_ERR_INVALID_PARAM, false);
    }
    std::lock_guard<std::mutex> guard(stream->lock);
    stream->mode = mode;
    return true;
}
