#include "ui/textscale.h"

#include <algorithm>

namespace {

TextScale::Size gSize = TextScale::Size::Normal;

// Small to Huge; the generated fonts come in these sizes, so that from
// 1024 x 768 up to a height of 1536 the glyphs are drawn texel for texel.
constexpr float kSizeFactors[] = {0.75f, 1.0f, 1.5f, 2.0f};
constexpr float kHeightShares[] = {0.0f, 0.0f, 0.75f, 1.0f};
const char* const kNames[] = {"Small", "Normal", "Large", "Huge"};

} // namespace

void TextScale::setSize(Size size) {
    gSize = size;
}

TextScale::Size TextScale::getSize() {
    return gSize;
}

float TextScale::sizeFactor(Size size) {
    return kSizeFactors[static_cast<int>(size)];
}

float TextScale::heightShare(Size size) {
    return kHeightShares[static_cast<int>(size)];
}

float TextScale::windowFactor(int viewportWidth, int viewportHeight) {
    return std::min({1.0f, static_cast<float>(viewportWidth) / kLayoutWidth,
                     static_cast<float>(viewportHeight) / kLayoutHeight});
}

float TextScale::factor(int viewportWidth, int viewportHeight) {
    return std::max(windowFactor(viewportWidth, viewportHeight) * sizeFactor(gSize),
                    heightShare(gSize) * static_cast<float>(viewportHeight) / kLayoutHeight);
}

const char* TextScale::name(Size size) {
    return kNames[static_cast<int>(size)];
}
