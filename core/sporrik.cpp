#include "core/sporrik.h"

#include "base/log.h"
#include "core/commandline.h"
#include "core/gameoptions.h"
#include "core/gamesession.h"
#include "core/main.h"
#include "core/networksession.h"
#include "core/system.h"
#include "game/gameboard.h"
#include "game/gamelogic.h"
#include "graph/rendergraph.h"
#include "keep/recordfolder.h"
#include "net/protocol.h"
#include "resources/softwarerenderer.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "ui/menumain.h"
#include "ui/menunetwork.h"
#include "ui/sporrikhud.h"

#include <cstdio>
#include <string>

namespace {

const char* const kSource = "Sporrik";

// The scene's view of the application: the menu stack of Main.
class MainSceneHost : public SceneHost {
public:
    explicit MainSceneHost(Main& application) : application(application) {}

    bool isGamePaused() const override { return application.menusVisible(); }
    void returnToMenus() override { application.returnToMenus(); }
    bool coversPointer(float x, float y) const override { return hud != nullptr && hud->coversPointer(x, y); }
    // hud: not owned; the package's, made after the scene.
    void setHud(const SporrikHud* screen) { hud = screen; }

private:
    Main& application; // not owned: outlives the package
    const SporrikHud* hud = nullptr;
};

} // namespace

Sporrik::Sporrik(Main& application, const std::string& recordsFolder, const std::string& stateFolder) {
    auto sceneHost = std::make_unique<MainSceneHost>(application);
    MainSceneHost& screens = *sceneHost;
    host = std::move(sceneHost);
    table = std::make_unique<WaterTable>(*host);
    options = std::make_unique<GameOptions>(*table, System::instance()->getArgument("quality"));
    application.getRenderGraph().addRoot(options.get(), Main::kOptionsPriority);
    const char* scaleArgument = System::instance()->getArgument("scale");
    OptionValues::Scale scale = OptionValues::Scale::Automatic;
    if (scaleArgument != nullptr && !CommandLine::parseScale(scaleArgument, scale)) {
        log(WARNING, kSource,
            std::string("unknown scale \"") + scaleArgument +
                "\" ignored (auto, 1, 0.75 or 0.5); choosing automatically");
    }
    // The starting scale is taken as the menu's value before the menu can
    // change it, so that only later changes go through the hook.
    OptionValues initial = options->getOptions();
    initial.scale = scale;
    options->applyOptions(initial);
    options->setScaleHook([this](OptionValues::Scale chosen) { setScale(chosen); });
    setScale(scale);
    uint16_t hostPort = Protocol::kDefaultPort;
    const char* portArgument = System::instance()->getArgument("port");
    if (portArgument != nullptr && !CommandLine::parsePort(portArgument, hostPort)) {
        log(WARNING, kSource,
            std::string("unknown port \"") + portArgument + "\" ignored (0 to 65535); hosting on " +
                std::to_string(hostPort));
    }
    if (const char* fpsArgument = System::instance()->getArgument("fps")) {
        int framesPerSecond = 0;
        if (CommandLine::parseFrameCap(fpsArgument, framesPerSecond)) {
            System::instance()->setFrameCap(framesPerSecond);
        } else {
            log(WARNING, kSource,
                std::string("unknown frame rate \"") + fpsArgument +
                    "\" ignored (1 to 1000); drawing every frame");
        }
    }
    network = std::make_unique<NetworkSession>(*table, application, stateFolder, RecordFolder(recordsFolder),
                                               hostPort);
    application.getRenderGraph().addRoot(network.get(), Main::kNetworkPriority);
    session = std::make_unique<GameSession>(*table, application, RecordFolder(recordsFolder));
    session->setNetwork(network.get());
    network->setGameSession(session.get());
    application.getRenderGraph().addRoot(session.get(), Main::kSessionPriority);
    menu = std::make_unique<MenuMain>(application, *options, *session, *network);
    hud = std::make_unique<SporrikHud>(&table->getBoard(), session.get(), network.get());
    screens.setHud(hud.get());
    options->setTypingCheck([&application] { return application.isTyping(); });
    MenuNetwork& networkMenu = *menu->getNetworkMenu();
    network->setScreens([&application, &networkMenu](NetworkSession::Screen screen) {
        application.returnToMenus();
        if (screen == NetworkSession::Screen::Waiting) {
            networkMenu.showWaiting();
        } else {
            networkMenu.showFailure();
        }
    });
}

Sporrik::~Sporrik() {
    static_cast<MainSceneHost&>(*host).setHud(nullptr);
    menu.reset();
    hud.reset();
    network->setGameSession(nullptr);
    network->setScreens(nullptr);
    session.reset();
    network.reset();
    gameLogic.reset();
    options.reset();
    table.reset();
    host.reset();
}

GameBoard& Sporrik::getBoard() {
    return table->getBoard();
}

void Sporrik::setScale(OptionValues::Scale scale) {
    const bool automatic = scale == OptionValues::Scale::Automatic;
    if (automatic && isSoftwareRenderer()) {
        table->followFrameTime();
        char line[128];
        std::snprintf(line, sizeof line,
                      "scale: automatic on the software renderer, %d %% to %d %%, budget %.1f ms",
                      table->getScalePercent(), ScaleController::kLowest, ScaleController::kDefaultBudgetMs);
        log(NOTE, kSource, line);
        return;
    }
    const int percent = OptionValues::percentOf(scale);
    const char* why = automatic ? "automatic, the full picture on a graphics card" : "fixed";
    table->fixScale(percent);
    log(NOTE, kSource, "scale: " + std::to_string(percent) + " % (" + why + ")");
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
