#include "ui/font.h"

#include "base/exceptions.h"
#include "ui/control.h"

namespace {
const char* const kFontFolder = "textures/fonts/";
const char* const kFontExtension = ".png";
const char* const kUnknownType = "There is no font of this type supported!";

// The generated font images follow these grids; the row counts are
// fractional because the cells do not fill the texture exactly.
struct Grid {
    float textureSize;
    float columns;
    float rows;
};
constexpr Grid kBigGrid = {512.0f, 17.0f, 10.25f};
constexpr Grid kSmallGrid = {256.0f, 23.0f, 7.2f};
constexpr float kFirstChar = 33.0f; // "!": the space has no cell
} // namespace

Font::Metrics Font::Metrics::ofType(int type) {
    if (type != kBig && type != kSmall) {
        throw NotFoundException(kUnknownType);
    }
    const Grid& grid = type == kBig ? kBigGrid : kSmallGrid;
    Metrics metrics;
    metrics.textureWidth = grid.textureSize;
    metrics.textureHeight = grid.textureSize;
    metrics.columns = grid.columns;
    metrics.rows = grid.rows;
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
