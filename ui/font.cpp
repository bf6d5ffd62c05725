#include "ui/font.h"

#include "base/exceptions.h"
#include "ui/control.h"
#include "ui/fontgrid.h"

namespace {
const char* const kFontFolder = "textures/fonts/";
const char* const kFontExtension = ".png";
const char* const kUnknownType = "There is no font of this type supported!";
} // namespace

Font::Metrics Font::Metrics::ofType(int type) {
    if (type != kBig && type != kSmall) {
        throw NotFoundException(kUnknownType);
    }
    const FontGridSize& grid = type == kBig ? kBigFontGrid : kSmallFontGrid;
    Metrics metrics;
    metrics.textureWidth = static_cast<float>(grid.textureSize);
    metrics.textureHeight = static_cast<float>(grid.textureSize);
    metrics.columns = grid.columns;
    metrics.rows = grid.rows;
    metrics.firstChar = static_cast<float>(kFontFirstChar);
    metrics.cellWidth = metrics.textureWidth / metrics.columns;
    metrics.cellHeight = metrics.textureHeight / metrics.rows;
    return metrics;
}

Font::Font(const std::string& name, int type) {
    for (int style = 0; style < kStyleCount; ++style) {
        Control::loadOverlay(materials[style], kFontFolder + name + std::to_string(style) + kFontExtension);
    }
    metrics = Metrics::ofType(type);
}

Font::~Font() {
    for (const Material& material : materials) {
        Control::releaseOverlay(material);
    }
}

Material& Font::getMaterial(int style) {
    if (style < 0 || style >= kStyleCount) {
        return materials[0];
    }
    return materials[style];
}
