#include "core/sporrikmain.h"

#include "core/keeper.h"
#include "core/sporrik.h"
#include "core/system.h"

SporrikMain::SporrikMain() = default;

SporrikMain::SporrikMain(std::unique_ptr<Keeper> keeper) : keeper(std::move(keeper)) {}

SporrikMain::~SporrikMain() {
    if (keeper) {
        keeper->saveAll();
    }
    keeper.reset();
    package.reset();
}

void SporrikMain::init() {
    Main::init();
    package = std::make_unique<Sporrik>(*this);
    setGamePackage(package.get());
    if (keeper) {
        keeper->attach(*package);
    }
}

void SporrikMain::frameDone() {
    if (keeper) {
        keeper->update(System::instance()->getTime());
    }
}
