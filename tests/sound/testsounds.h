#pragma once

#include "support/pngfiles.h"
#include "support/tempdir.h"

// Sound files, audio drivers and the mixed output for the sound tests.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace TestSounds {

constexpr int kWavHeaderSize = 44;
constexpr int kFormatTagOffset = 20;
constexpr int kChannelCountOffset = 22;
constexpr int kRate = 22050;
// The rate the game's output device runs at.
constexpr int kOutputRate = 44100;

inline void appendLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

// Mono samples of a 440 Hz sine that fades in over its first tenth and out
// over its last, so it starts and ends without a click.
inline std::vector<int16_t> sine(double seconds, double amplitude = 0.5) {
    const double pi = std::acos(-1.0);
    const int frames = static_cast<int>(seconds * kRate);
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        const double fade = std::min(1.0, std::min(i, frames - 1 - i) / (0.1 * frames));
        samples.push_back(
            static_cast<int16_t>(amplitude * fade * std::sin(2.0 * pi * 440.0 * i / kRate) * 32767));
    }
    return samples;
}

// A 16-bit PCM WAV file of interleaved samples.
inline std::string wav(const std::vector<int16_t>& samples, int rate = kRate, int channels = 1) {
    const uint32_t dataSize = static_cast<uint32_t>(2 * samples.size());
    std::string out = "RIFF";
    appendLittleEndian(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    appendLittleEndian(out, 16, 4); // format chunk size
    appendLittleEndian(out, 1, 2);  // PCM
    appendLittleEndian(out, channels, 2);
    appendLittleEndian(out, rate, 4);
    appendLittleEndian(out, rate * channels * 2, 4);
    appendLittleEndian(out, channels * 2, 2); // bytes per frame
    appendLittleEndian(out, 16, 2);           // bits per sample
    out += "data";
    appendLittleEndian(out, dataSize, 4);
    for (const int16_t sample : samples) {
        appendLittleEndian(out, static_cast<uint16_t>(sample), 2);
    }
    return out;
}

inline std::string sineWav(double seconds) {
    return wav(sine(seconds));
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    PngFiles::writeBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// SDL's file-writing driver: the mixed output goes, as raw frames, to the
// file. Like a sound card it takes the frames at about their own pace.
inline void useDiskAudio(const std::string& outputFile) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", outputFile.c_str(), 1);
}

// A driver that does not exist stands for a machine without a sound device.
inline void useMissingAudioDevice() {
    setenv("SDL_AUDIODRIVER", "dummy-nonexistent", 1);
}

// The left channel of the raw 16-bit stereo frames the disk driver wrote.
inline std::vector<int16_t> leftChannel(const std::filesystem::path& rawOutput) {
    const std::vector<uint8_t> raw = PngFiles::readBytes(rawOutput);
    std::vector<int16_t> left(raw.size() / 4);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<int16_t>(raw[4 * i] | raw[4 * i + 1] << 8);
    }
    return left;
}

inline bool isLoud(int16_t value) {
    return std::abs(value) > 1000;
}

// Polls until done() holds, for at most ten seconds: the audio thread keeps
// no pace a test could count on.
template <class Condition>
bool waitFor(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace TestSounds
