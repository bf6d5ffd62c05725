#pragma once

#include <string>
#include <vector>

// Writes mono 16-bit PCM WAV files.
class WavWriter {
public:
    static constexpr int kSampleRate = 44100;

    // samples in [-1, 1]; values beyond are clipped to ±32767. Throws
    // std::runtime_error naming the path when the file cannot be written.
    static void write(const std::string& path, const std::vector<float>& samples);
    // The whole file as bytes, header included.
    static std::vector<unsigned char> encode(const std::vector<float>& samples);
};
