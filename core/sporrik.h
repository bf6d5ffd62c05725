#pragma once

#include "core/gamepackage.h"

#include <memory>

// The game package of Sporrik: the scene, the menus and the heads-up display.
class Sporrik : public GamePackage {
public:
    Sporrik();
    ~Sporrik() override;

    RenderNode* getTable() override;
    Menu* getMenu() override;
    RenderNode* getHud() override;
    GameLogic* getGameLogic() override;

private:
    // No game logic is plugged in: the screens call the board directly.
    std::unique_ptr<GameLogic> gameLogic;
};
