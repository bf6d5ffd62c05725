#include "core/sporrikmain.h"

#include "core/gamesession.h"
#include "core/keeper.h"
#include "core/sporrik.h"
#include "core/system.h"

SporrikMain::SporrikMain() = default;

SporrikMain::SporrikMain(std::unique_ptr<Keeper> keeper, std::string replayFile)
    : keeper(std::move(keeper)), replayFile(std::move(replayFile)) {}

SporrikMain::~SporrikMain() {
    if (keeper) {
        keeper->saveAll();
    }
    keeper.reset();
    package.reset();
}

void SporrikMain::init() {
    Main::init();
    package = std::make_unique<Sporrik>(*this, keeper ? keeper->recordsFolder() : std::string(),
                                        keeper ? keeper->stateFolder() : std::string());
    setGamePackage(package.get());
    if (keeper) {
        keeper->attach(*package);
    }
}

void SporrikMain::frameDone() {
    if (keeper) {
        keeper->update(System::instance()->getTime());
    }
    // After the first frame, which continues the kept game: the replay puts
    // it aside rather than replacing it.
    if (!replayFile.empty()) {
        package->getSession().openFile(replayFile);
        replayFile.clear();
    }
}
