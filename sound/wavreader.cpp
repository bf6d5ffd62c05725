#include "sound/wavreader.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xfffe;
constexpr uint32_t kBaseFormatSize = 16;
constexpr uint32_t kExtensibleFormatSize = 40;
// In the extensible format the real format tag opens the sub-format GUID.
constexpr size_t kSubFormatOffset = 24;
constexpr size_t kRiffHeaderSize = 12;
constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kTagSize = 4;
constexpr int kMaxChannels = 8;
constexpr int kMaxRate = 384000;
constexpr int kBitsPerByte = 8;

uint16_t littleEndian16(const unsigned char* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t littleEndian32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool hasTag(const unsigned char* bytes, const char* tag) {
    return std::memcmp(bytes, tag, kTagSize) == 0;
}

} // namespace

WavReader::Status WavReader::open(const std::string& path) {
    *this = WavReader();
    file.reset(std::fopen(path.c_str(), "rb"));
    struct stat info {};
    if (!file || ::fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
        file.reset();
        return Status::NotFound;
    }
    const int64_t fileSize = info.st_size;
    unsigned char riff[kRiffHeaderSize];
    if (std::fread(riff, 1, kRiffHeaderSize, file.get()) != kRiffHeaderSize || !hasTag(riff, "RIFF") ||
        !hasTag(riff + 2 * kTagSize, "WAVE")) {
        return Status::UnknownFormat;
    }
    bool formatRead = false;
    for (;;) {
        unsigned char header[kChunkHeaderSize];
        if (std::fread(header, 1, kChunkHeaderSize, file.get()) != kChunkHeaderSize) {
            return Status::Damaged;
        }
        const uint32_t size = littleEndian32(header + kTagSize);
        const int64_t bodyStart = ftello(file.get());
        if (hasTag(header, "fmt ")) {
            const Status status = readFormat(size);
            if (status != Status::Ok) {
                return status;
            }
            formatRead = true;
        } else if (hasTag(header, "data")) {
            // A cut-short file is refused rather than played up to the cut.
            if (!formatRead || bodyStart + size > fileSize || size % frameSize != 0) {
                return Status::Damaged;
            }
            dataStart = bodyStart;
            frameCount = size / frameSize;
            return Status::Ok;
        }
        // Chunks are padded to an even size.
        const int64_t next = bodyStart + size + (size & 1);
        if (next > fileSize || fseeko(file.get(), next, SEEK_SET) != 0) {
            return Status::Damaged;
        }
    }
}

WavReader::Status WavReader::readFormat(uint32_t size) {
    if (size < kBaseFormatSize) {
        return Status::Damaged;
    }
    unsigned char format[kExtensibleFormatSize] = {};
    const size_t wanted = std::min<size_t>(size, kExtensibleFormatSize);
    if (std::fread(format, 1, wanted, file.get()) != wanted) {
        return Status::Damaged;
    }
    uint16_t tag = littleEndian16(format);
    channels = littleEndian16(format + 2);
    rate = static_cast<int>(std::min<uint32_t>(littleEndian32(format + 4), kMaxRate + 1));
    const int blockAlign = littleEndian16(format + 12);
    bitsPerSample = littleEndian16(format + 14);
    if (tag == kFormatExtensible) {
        if (size < kExtensibleFormatSize) {
            return Status::Damaged;
        }
        tag = littleEndian16(format + kSubFormatOffset);
    }
    const bool pcm = tag == kFormatPcm && (bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 32);
    floatingPoint = tag == kFormatFloat && bitsPerSample == 32;
    if ((!pcm && !floatingPoint) || channels > kMaxChannels) {
        return Status::UnknownFormat;
    }
    if (channels < 1 || rate < 1 || rate > kMaxRate ||
        blockAlign != channels * bitsPerSample / kBitsPerByte) {
        return Status::Damaged;
    }
    frameSize = blockAlign;
    return Status::Ok;
}

size_t WavReader::read(void* out, size_t maxFrames) {
    if (!file) {
        return 0;
    }
    const size_t frames = static_cast<size_t>(std::min<int64_t>(maxFrames, frameCount - nextFrame));
    const size_t got = std::fread(out, frameSize, frames, file.get());
    nextFrame += got;
    return got;
}

bool WavReader::seekFrame(int64_t frame) {
    if (!file || frame < 0 || frame > frameCount ||
        fseeko(file.get(), dataStart + frame * frameSize, SEEK_SET) != 0) {
        return false;
    }
    nextFrame = frame;
    return true;
}
