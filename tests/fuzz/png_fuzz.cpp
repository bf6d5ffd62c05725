// Decodes each input as a PNG file, with the size limit the game's images use.
#include "fuzzinput.h"
#include "resources/image.h"
#include "resources/pngdecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzInput input;
    PngPicture picture;
    PngDecoder(input.write("input.png", data, size)).decode(Image2D::kMaxSize, picture);
    return 0;
}
