#include "sound/soundsystem.h"

#include "base/log.h"
#include "base/tools.h"
#include "sound/soundlibrary.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kSource = "SoundSystem";
const char* const kNotInitialized = "Soundsystem not initialized";

const char* const kErrorTexts[] = {
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
constexpr int kErrorTextCount = static_cast<int>(sizeof kErrorTexts / sizeof kErrorTexts[0]);

std::unique_ptr<SoundSystem> gInstance;

} // namespace

SoundSystem* SoundSystem::instance() {
    if (!gInstance) {
        gInstance.reset(new SoundSystem());
        // A machine without an audio device keeps the silent instance: the
        // game must not die for want of sound.
        gInstance->init();
    }
    return gInstance.get();
}

void SoundSystem::destroy() {
    gInstance.reset();
}

const char* SoundSystem::getErrorText(int code) {
    if (code < 0 || code >= kErrorTextCount) {
        return "Unknown error";
    }
    return kErrorTexts[code];
}

SoundSystem::~SoundSystem() {
    if (initialized) {
        close();
    }
}

bool SoundSystem::init() {
    if (initialized) {
        return false;
    }
    const bool success = FSOUND_Init(mixRate, maxChannels, 0);
    if (success) {
        initialized = true;
        applyVolume();
        log(NOTE, kSource, "init: successfully initialized");
    } else {
        log(ERROR, kSource, "init: could not initialize");
    }
    return success;
}

bool SoundSystem::close() {
    if (!initialized) {
        return false;
    }
    if (song != nullptr) {
        FMUSIC_FreeSong(song);
        song = nullptr;
    }
    if (stream != nullptr) {
        FSOUND_Stream_Close(stream);
        stream = nullptr;
    }
    samples.clear();
    FSOUND_Close();
    initialized = false;
    return true;
}

Sample* SoundSystem::addSample(const std::string& fileName) {
    if (!initialized) {
        log(ERROR, kSource, kNotInitialized);
        return nullptr;
    }
    const std::string resolved = resolvePath(fileName);
    const auto cached = samples.find(resolved);
    if (cached != samples.end()) {
        ++cached->second->refCount;
        log(NOTE, kSource, "addSample: increasing reference count");
        return cached->second.get();
    }
    std::unique_ptr<Sample> sample(new Sample());
    if (!sample->load(resolved)) {
        log(ERROR, kSource, "addSample: sample file not found");
        // The line above reads "not found" for a damaged file too; this one
        // names the file and the reason.
        log(ERROR, kSource, "addSample: " + resolved + ": " + getErrorText(FSOUND_GetError()));
        return nullptr;
    }
    sample->refCount = 1;
    Sample* result = sample.get();
    samples.emplace(resolved, std::move(sample));
    log(NOTE, kSource, "addSample: sample loaded");
    return result;
}

bool SoundSystem::removeSample(Sample* sample) {
    if (sample == nullptr) {
        return false;
    }
    // Found by identity, not by the name it holds: a pointer that is not in
    // the cache was already freed and must not even be read.
    auto entry = samples.begin();
    while (entry != samples.end() && entry->second.get() != sample) {
        ++entry;
    }
    if (entry == samples.end()) {
        log(ERROR, kSource, "removeSample: sample not in list");
        return false;
    }
    if (--sample->refCount > 0) {
        log(NOTE, kSource, "removeSample: decreasing reference count");
        return true;
    }
    log(NOTE, kSource, "removeSample: sample deleted");
    samples.erase(entry);
    return true;
}

void SoundSystem::playSong(const std::string& fileName) {
    if (!initialized) {
        log(ERROR, kSource, kNotInitialized);
        return;
    }
    if (song != nullptr) {
        FMUSIC_FreeSong(song);
    }
    song = FMUSIC_LoadSong(fileName.c_str());
    if (song == nullptr) {
        log(ERROR, kSource, getErrorText(FSOUND_GetError()));
        return;
    }
    FMUSIC_PlaySong(song);
}

void SoundSystem::playStream(const std::string& fileName) {
    if (!initialized) {
        log(ERROR, kSource, kNotInitialized);
        return;
    }
    if (stream != nullptr) {
        FSOUND_Stream_Close(stream);
    }
    stream = FSOUND_Stream_OpenFile(fileName.c_str(), 0, 0);
    if (stream == nullptr) {
        log(ERROR, kSource, getErrorText(FSOUND_GetError()));
        return;
    }
    FSOUND_Stream_Play(FSOUND_FREE, stream);
}

void SoundSystem::setVolume(float share) {
    // Written so that a NaN comes out silent.
    volume = share > 0.0f ? std::min(share, 1.0f) : 0.0f;
    applyVolume();
}

void SoundSystem::setMuted(bool flag) {
    muted = flag;
    applyVolume();
}

void SoundSystem::applyVolume() {
    if (initialized) {
        FSOUND_SetMasterVolume(muted ? 0 : static_cast<int>(std::lround(volume * FSOUND_MAX_VOLUME)));
    }
}
