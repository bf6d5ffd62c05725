#include "core/sporrik.h"

#include "game/gamelogic.h"

Sporrik::Sporrik() = default;

Sporrik::~Sporrik() = default;

RenderNode* Sporrik::getTable() {
    return nullptr;
}

Menu* Sporrik::getMenu() {
    return nullptr;
}

RenderNode* Sporrik::getHud() {
    return nullptr;
}

GameLogic* Sporrik::getGameLogic() {
    return gameLogic.get();
}
