#include "ui/font.h"

#include "core/exceptions.h"
#include "ui/control.h"

namespace {
const char* const kFontFolder = "textures/fonts/";
const char* const kFontExtension = ".png";
const char* const kUnknownType = "There is no font of this type supported!";

// The generated font images follow these grids; the row counts are
// fractional because the cells do not fill the texture exactly.
constexpr float kBigTextureSize = 512.0f;
constexpr float kBigColumns = 17.0f;
constexpr float kBigRows = 10.25f;
constexpr float kSmallTextureSize = 256.0f;
constexpr float kSmallColumns = 23.0f;
constexpr float kSmallRows = 7.2f;
constexpr float kFirstChar = 33.0f; // "!": the space has no cell
} // namespace

Font::Metrics Font::Metrics::ofType(int type) {
    Metrics metrics;
    switch (type) {
    case kBig:
        metrics.textureWidth = kBigTextureSize;
        metrics.textureHeight = kBigTextureSize;
        metrics.columns = kBigColumns;
        metrics.rows = kBigRows;
        break;
    case kSmall:
        metrics.textureWidth = kSmallTextureSize;
        metrics.textureHeight = kSmallTextureSize;
        metrics.columns = kSmallColumns;
        metrics.rows = kSmallRows;
        break;
    default:
        throw NotFoundException(kUnknownType);
    }
    metrics.firstChar = kFirstChar;
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
