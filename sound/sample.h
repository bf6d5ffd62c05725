#pragma once

#include <string>

struct FSOUND_SAMPLE;

// One loaded sound in the sound system's cache. Only the sound system makes
// and deletes samples; callers hold them between addSample and removeSample.
class Sample {
public:
    ~Sample();
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;

    // Plays the sample once on any free channel; the channel, or -1.
    int play();

    const std::string& getName() const { return name; }
    int getRefCount() const { return refCount; }

private:
    friend class SoundSystem;
    Sample() = default;
    bool load(const std::string& fileName);

    FSOUND_SAMPLE* handle = nullptr; // freed in the destructor
    std::string name;
    int refCount = 0;
};
