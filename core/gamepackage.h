#pragma once

class GameLogic;
class Menu;
class RenderNode;

// The bundle of top objects that Main shows: the table scene, the main menu,
// the heads-up display and the game-logic plug. The package owns all four.
class GamePackage {
public:
    GamePackage() = default;
    GamePackage(const GamePackage&) = delete;
    GamePackage& operator=(const GamePackage&) = delete;
    virtual ~GamePackage() = default;

    virtual RenderNode* getTable() = 0;
    virtual Menu* getMenu() = 0;
    virtual RenderNode* getHud() = 0;
    virtual GameLogic* getGameLogic() = 0;
};
