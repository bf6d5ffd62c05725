#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// Reads the sample frames of an uncompressed WAV file piece by piece, for
// streaming. Accepts 8-, 16- and 32-bit integer and 32-bit float PCM with 1 to
// 8 channels; a file whose data chunk is cut short is refused as damaged.
class WavReader {
public:
    enum class Status { Ok, NotFound, UnknownFormat, Damaged };

    Status open(const std::string& path);

    int getChannels() const { return channels; }
    int getRate() const { return rate; }
    int getBitsPerSample() const { return bitsPerSample; }
    bool isFloat() const { return floatingPoint; }
    int getFrameSize() const { return frameSize; }
    int64_t getFrameCount() const { return frameCount; }
    bool atEnd() const { return nextFrame >= frameCount; }

    // Reads up to maxFrames frames into out, which holds maxFrames frames;
    // returns the number read, 0 at the end of the data or on a read error.
    size_t read(void* out, size_t maxFrames);
    bool seekFrame(int64_t frame);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    Status readFormat(uint32_t size);

    std::unique_ptr<std::FILE, FileCloser> file;
    int channels = 0;
    int rate = 0;
    int bitsPerSample = 0;
    bool floatingPoint = false;
    int frameSize = 0;
    int64_t frameCount = 0;
    int64_t dataStart = 0;
    int64_t nextFrame = 0;
};
