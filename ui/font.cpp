#include "ui/font.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "ui/control.h"

namespace {
const char* const kUnknownType = "There is no font of this type supported!";
// Rounding may ask for a hair more than a size: that size still serves.
constexpr float kScaleTolerance = 0.02f;
} // namespace

Font::Metrics Font::Metrics::ofType(int type, int percent) {
    if (type != kBig && type != kSmall) {
        throw NotFoundException(kUnknownType);
    }
    const FontGridSize grid = scaledFontGrid(type == kBig ? kBigFontGrid : kSmallFontGrid, percent);
    Metrics metrics;
    metrics.textureWidth = static_cast<float>(grid.textureWidth);
    metrics.textureHeight = static_cast<float>(grid.textureHeight);
    metrics.columns = static_cast<float>(grid.columns);
    metrics.rows = metrics.textureHeight / grid.cellHeight;
    metrics.firstChar = static_cast<float>(kFontFirstChar);
    metrics.cellWidth = grid.cellWidth;
    metrics.cellHeight = grid.cellHeight;
    return metrics;
}

Font::Font(const std::string& name, int type, int percent) : name(name), type(type), percent(percent) {
    for (int style = 0; style < kStyleCount; ++style) {
        Control::loadOverlay(materials[style], fontFileName(name, style, percent));
    }
    metrics = Metrics::ofType(type, percent);
}

Font::~Font() {
    for (const Material& material : materials) {
        Control::releaseOverlay(material);
    }
}

int Font::percentFor(float scale) {
    for (const int size : kFontPercents) {
        if (static_cast<float>(size) / kFontFullSize >= scale - kScaleTolerance) {
            return size;
        }
    }
    return kFontPercents[kSizes - 1];
}

Font& Font::sizedFor(float scale) {
    const int wanted = percentFor(scale);
    if (wanted == percent) {
        return *this;
    }
    int index = 0;
    while (kFontPercents[index] != wanted) {
        ++index;
    }
    if (!sizes[index] && !failed[index]) {
        try {
            sizes[index] = std::make_unique<Font>(name, type, wanted);
        } catch (const std::exception& e) {
            failed[index] = true;
            log(WARNING, "Font",
                name + " at " + std::to_string(wanted) + " % not loaded (" + e.what() +
                    "): its text is drawn from the full size");
        }
    }
    return sizes[index] ? *sizes[index] : *this;
}

Material& Font::getMaterial(int style) {
    if (style < 0 || style >= kStyleCount) {
        return materials[0];
    }
    return materials[style];
}
