#include "core/sporrik.h"

#include "core/main.h"
#include "game/gameboard.h"
#include "game/gamelogic.h"
#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "input/inputevent.h"
#include "ui/menumain.h"
#include "ui/sporrikhud.h"

namespace {

// Stands in for the water table scene until it exists: draws nothing, so the
// scene stays black; plays the queued moves out at a steady pace so that a
// game between computers goes on; writes the figure counts the heads-up
// display shows; and Escape brings the menus back, as the scene's Escape does.
class StandInTable : public RenderNode, public EventConsumer {
public:
    StandInTable(GameBoard* board, Main& application) : board(board), application(application) {}

    void render(double elapsed, float) override {
        sinceLastMove += elapsed;
        if (sinceLastMove >= kSecondsPerMove) {
            sinceLastMove = 0.0;
            board->popMove();
        }
        for (int player : {GameBoard::kPlayer1, GameBoard::kPlayer2}) {
            board->setFigureCount(player, board->countFields(player));
        }
    }
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}

    void handleEvent(InputEvent& e) override {
        const auto* key = dynamic_cast<const InputEventKeyUp*>(&e);
        if (key == nullptr || key->getKey() != KeyEscape) {
            return;
        }
        if (!application.menusVisible()) {
            e.consume();
            application.returnToMenus();
        }
    }

private:
    static constexpr double kSecondsPerMove = 0.25;

    GameBoard* board; // not owned: the package's board
    Main& application;
    double sinceLastMove = 0.0;
};

} // namespace

Sporrik::Sporrik(Main& application) {
    board = std::make_unique<GameBoard>();
    table = std::make_unique<StandInTable>(board.get(), application);
    menu = std::make_unique<MenuMain>(board.get(), application);
    hud = std::make_unique<SporrikHud>(board.get());
}

Sporrik::~Sporrik() {
    table.reset();
    menu.reset();
    hud.reset();
    gameLogic.reset();
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
