#include "tools/assetgen/wavwriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace {
constexpr int kBitsPerSample = 16;
constexpr int kChannels = 1;
constexpr uint16_t kFormatPcm = 1;
constexpr uint32_t kFmtChunkSize = 16;
constexpr size_t kHeaderSize = 44;

void put16(std::vector<unsigned char>& out, uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 255));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 255));
    }
}

void putTag(std::vector<unsigned char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}
} // namespace

std::vector<unsigned char> WavWriter::encode(const std::vector<float>& samples) {
    constexpr int kBlockAlign = kChannels * kBitsPerSample / 8;
    uint32_t dataSize = static_cast<uint32_t>(samples.size() * kBlockAlign);
    std::vector<unsigned char> out;
    out.reserve(kHeaderSize + dataSize);
    putTag(out, "RIFF");
    put32(out, static_cast<uint32_t>(kHeaderSize - 8) + dataSize);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, kFmtChunkSize);
    put16(out, kFormatPcm);
    put16(out, kChannels);
    put32(out, kSampleRate);
    put32(out, kSampleRate * kBlockAlign);
    put16(out, kBlockAlign);
    put16(out, kBitsPerSample);
    putTag(out, "data");
    put32(out, dataSize);
    for (float s : samples) {
        long value = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(value)));
    }
    return out;
}

void WavWriter::write(const std::string& path, const std::vector<float>& samples) {
    std::vector<unsigned char> bytes = encode(samples);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}
