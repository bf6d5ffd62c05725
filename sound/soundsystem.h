#pragma once

#include "sound/sample.h"

#include <memory>
#include <string>
#include <unordered_map>

struct FMUSIC_MODULE;
struct FSOUND_STREAM;

// The program's access to the sound library: a singleton holding the loaded
// samples in a cache by file name with reference counts, one song and one
// stream. Without an audio device it stays silent: it logs once, hands out no
// samples, and every other call does nothing, so the game runs on.
class SoundSystem {
public:
    static SoundSystem* instance();
    // Deletes the instance and closes the library. Only at the end of the
    // process, once nobody holds a sample any more.
    static void destroy();

    // The text for a library error code.
    static const char* getErrorText(int code);

    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    bool init();
    bool isInitialized() const { return initialized; }

    // Each sample returned must be handed back to removeSample exactly once;
    // the last hand-back frees it. Null when the file cannot be loaded.
    Sample* addSample(const std::string& fileName);
    bool removeSample(Sample* sample);

    // The song and the stream share the music channel: starting one silences
    // the other.
    void playSong(const std::string& fileName);
    void playStream(const std::string& fileName);

    // share: 0 (silent) to 1 (as recorded), for everything played. Kept
    // while muted, heard again when the mute is lifted.
    void setVolume(float share);
    float getVolume() const { return volume; }
    void setMuted(bool flag);
    bool isMuted() const { return muted; }

private:
    SoundSystem() = default;
    // Frees every sample whatever its count, so it runs only with the instance.
    bool close();

    static constexpr int kMixRate = 44100;
    static constexpr int kMaxChannels = 64;

    void applyVolume();

    bool initialized = false;
    float volume = 1.0f;
    bool muted = false;
    int mixRate = kMixRate;
    int maxChannels = kMaxChannels;
    FMUSIC_MODULE* song = nullptr;   // freed with FMUSIC_FreeSong
    FSOUND_STREAM* stream = nullptr; // closed with FSOUND_Stream_Close
    std::unordered_map<std::string, std::unique_ptr<Sample>> samples;
};
