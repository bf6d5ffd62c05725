// Opens each input as a WAV file and reads all its frames, with a seek back
// to the start half way, as streaming does on a loop.
#include "fuzzinput.h"
#include "sound/wavreader.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kChunkFrames = 64;
    static const FuzzInput input;
    WavReader reader;
    if (reader.open(input.write("input.wav", data, size)) != WavReader::Status::Ok) {
        return 0;
    }
    std::vector<unsigned char> buffer(kChunkFrames * static_cast<size_t>(reader.getFrameSize()));
    reader.read(buffer.data(), kChunkFrames);
    reader.seekFrame(0);
    while (reader.read(buffer.data(), kChunkFrames) > 0) {
    }
    return 0;
}
