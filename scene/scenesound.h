#pragma once

#include <string>

class Sample;

// One sample of the sound system's cache, held from construction to
// destruction. Without a sound device or the file it stays silent.
class SceneSound {
public:
    explicit SceneSound(const std::string& fileName);
    ~SceneSound();
    SceneSound(const SceneSound&) = delete;
    SceneSound& operator=(const SceneSound&) = delete;

    void play() const;
    bool isLoaded() const { return sample != nullptr; }

private:
    Sample* sample = nullptr; // not owned: the sound system's, handed back in the destructor
};
