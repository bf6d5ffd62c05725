#include "core/sporrik.h"

#include "core/gameoptions.h"
#include "core/main.h"
#include "core/system.h"
#include "game/gameboard.h"
#include "game/gamelogic.h"
#include "graph/rendergraph.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "ui/menumain.h"
#include "ui/sporrikhud.h"

namespace {

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
    options = std::make_unique<GameOptions>(*table, System::instance()->getArgument("quality"));
    application.getRenderGraph().addRoot(options.get(), Main::kOptionsPriority);
    menu = std::make_unique<MenuMain>(&table->getBoard(), application, *options);
    hud = std::make_unique<SporrikHud>(&table->getBoard());
}

Sporrik::~Sporrik() {
    menu.reset();
    hud.reset();
    gameLogic.reset();
    options.reset();
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
