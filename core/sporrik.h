#pragma once

#include "core/gamepackage.h"
#include "ui/optionvalues.h"

#include <memory>
#include <string>

class GameBoard;
class GameOptions;
class GameSession;
class Main;
class MenuMain;
class NetworkSession;
class SceneHost;
class SporrikHud;
class WaterTable;

// The game package of Sporrik: the water table scene, which owns the board,
// and the menus and the heads-up display working on that board.
class Sporrik : public GamePackage {
public:
    // application: shows the package and outlives it. Needs the window's
    // OpenGL context: the scene builds its fluid simulation. recordsFolder:
    // where finished and left games are kept; empty keeps none.
    // stateFolder: where the network game in progress is kept; empty keeps none.
    explicit Sporrik(Main& application, const std::string& recordsFolder = std::string(),
                     const std::string& stateFolder = std::string());
    // The screens go before the table that owns the board they point at.
    ~Sporrik() override;

    RenderNode* getTable() override;
    Menu* getMenu() override;
    RenderNode* getHud() override;
    GameLogic* getGameLogic() override;

    GameBoard& getBoard();
    // Applies a scale of the table scene's picture at once (the options
    // menu's and the command line's): Automatic follows the frame time on a
    // software renderer and keeps the full picture on a graphics card.
    void setScale(OptionValues::Scale scale);
    WaterTable& getWaterTable() { return *table; }
    MenuMain& getMainMenu() { return *menu; }
    GameOptions& getOptions() { return *options; }
    GameSession& getSession() { return *session; }
    NetworkSession& getNetwork() { return *network; }

private:
    std::unique_ptr<SceneHost> host;
    std::unique_ptr<WaterTable> table;
    std::unique_ptr<GameOptions> options;
    std::unique_ptr<NetworkSession> network;
    std::unique_ptr<GameSession> session;
    std::unique_ptr<MenuMain> menu;
    std::unique_ptr<SporrikHud> hud;
    // No game logic is plugged in: the screens call the board directly.
    std::unique_ptr<GameLogic> gameLogic;
};
