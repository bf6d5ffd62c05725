#include "tools/assetgen/assetgenerator.h"

#include "tools/assetgen/basin.h"
#include "tools/assetgen/buttons.h"
#include "tools/assetgen/caustics.h"
#include "tools/assetgen/effects.h"
#include "tools/assetgen/figures.h"
#include "tools/assetgen/fonts.h"
#include "tools/assetgen/menuart.h"
#include "tools/assetgen/parallel.h"
#include "tools/assetgen/skybox.h"
#include "tools/assetgen/sounds.h"
#include "tools/assetgen/tablemodel.h"

#include <functional>
#include <vector>

AssetSet AssetGenerator::generate(int threads) const {
    // Slowest first, so that two threads finish together.
    std::vector<std::function<void(AssetSet&)>> families = {
        makeSkyBox,
        makeCaustics,
        makeBasinTextures,
        makeFigures,
        [this](AssetSet& out) { makeFontTextures(out, fonts.mono, fonts.monoBold); },
        [this](AssetSet& out) { makeMenuArt(out, fonts.logo); },
        makeTable,
        makeEffectTextures,
        makeButtonTextures,
        makeSounds,
    };
    std::vector<AssetSet> results(families.size());
    runInParallel(families.size(), threads, [&](size_t i) { families[i](results[i]); });
    AssetSet all;
    for (AssetSet& r : results) {
        all.merge(std::move(r));
    }
    return all;
}
