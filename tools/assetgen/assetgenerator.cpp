#include "tools/assetgen/assetgenerator.h"

#include "tools/assetgen/basin.h"
#include "tools/assetgen/buttons.h"
#include "tools/assetgen/caustics.h"
#include "tools/assetgen/effects.h"
#include "tools/assetgen/figures.h"
#include "tools/assetgen/fonts.h"
#include "tools/assetgen/menuart.h"
#include "tools/assetgen/skybox.h"
#include "tools/assetgen/sounds.h"
#include "tools/assetgen/tablemodel.h"

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
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
    std::atomic<size_t> next{0};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto worker = [&] {
        for (size_t i = next++; i < families.size(); i = next++) {
            try {
                families[i](results[i]);
            } catch (...) {
                std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) {
                    failure = std::current_exception();
                }
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        pool.emplace_back(worker);
    }
    worker();
    for (auto& t : pool) {
        t.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    AssetSet all;
    for (AssetSet& r : results) {
        all.merge(std::move(r));
    }
    return all;
}
