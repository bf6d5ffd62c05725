#include "core/sporrik.h"

#include "base/log.h"
#include "core/main.h"
#include "core/system.h"
#include "game/gameboard.h"
#include "game/gamelogic.h"
#include "resources/softwarerenderer.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "ui/menumain.h"
#include "ui/sporrikhud.h"

namespace {

const char* const kSource = "Sporrik";

// The scene's view of the application: the menu stack of Main.
class MainSceneHost : public SceneHost {
public:
    explicit MainSceneHost(Main& application) : application(application) {}

    bool isGamePaused() const override { return application.menusVisible(); }
    void returnToMenus() override { application.returnToMenus(); }

private:
    Main& application; // not owned: outlives the package
};

} // namespace

Sporrik::Sporrik(Main& application) {
    host = std::make_unique<MainSceneHost>(application);
    table = std::make_unique<WaterTable>(*host);
    const char* requested = System::instance()->getArgument("quality");
    const SceneQuality quality = SceneQuality::choose(requested, isSoftwareRenderer());
    log(NOTE, kSource, quality.describe(requested));
    table->setQuality(quality);
    menu = std::make_unique<MenuMain>(&table->getBoard(), application);
    hud = std::make_unique<SporrikHud>(&table->getBoard());
}

Sporrik::~Sporrik() {
    menu.reset();
    hud.reset();
    gameLogic.reset();
    table.reset();
    host.reset();
}

GameBoard& Sporrik::getBoard() {
    return table->getBoard();
}

RenderNode* Sporrik::getTable() {
    return table.get();
}

Menu* Sporrik::getMenu() {
    return menu.get();
}

RenderNode* Sporrik::getHud() {
    return hud.get();
}

GameLogic* Sporrik::getGameLogic() {
    return gameLogic.get();
}
