#pragma once

#include "core/gamepackage.h"

#include <memory>

class GameBoard;
class Main;
class MenuMain;
class SporrikHud;

// The game package of Sporrik: the scene, the menus and the heads-up display,
// all working on one board.
class Sporrik : public GamePackage {
public:
    // application: shows the package and outlives it.
    explicit Sporrik(Main& application);
    // The screens go before the board they point at.
    ~Sporrik() override;

    RenderNode* getTable() override;
    Menu* getMenu() override;
    RenderNode* getHud() override;
    GameLogic* getGameLogic() override;

    GameBoard& getBoard() { return *board; }

private:
    // Held here until the water table scene, its rightful owner, exists.
    std::unique_ptr<GameBoard> board;
    std::unique_ptr<RenderNode> table;
    std::unique_ptr<MenuMain> menu;
    std::unique_ptr<SporrikHud> hud;
    // No game logic is plugged in: the screens call the board directly.
    std::unique_ptr<GameLogic> gameLogic;
};
