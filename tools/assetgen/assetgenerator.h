#pragma once

#include "tools/assetgen/assetset.h"

#include <string>

// The font files the generator rasterises.
struct FontFiles {
    std::string mono;     // the big font
    std::string monoBold; // the small font, whose tiny glyphs need the weight
    std::string logo;
};

// Makes every asset family, spread over a number of threads. Each family
// draws from its own seeded generator and the results are gathered in a
// fixed order, so the output does not depend on the thread count.
class AssetGenerator {
public:
    explicit AssetGenerator(FontFiles fonts) : fonts(std::move(fonts)) {}

    // Throws std::runtime_error (for example for a missing font file).
    AssetSet generate(int threads) const;

private:
    FontFiles fonts;
};
