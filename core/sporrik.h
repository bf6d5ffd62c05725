#pragma once

#include "core/gamepackage.h"

// The game package of Sporrik: the scene, the menus and the heads-up display.
class Sporrik : public GamePackage {
public:
    Sporrik();
    ~Sporrik() override;

    RenderNode* getTable() override;
    Menu* getMenu() override;
    RenderNode* getHud() override;
    GameLogic* getGameLogic() override;
};
