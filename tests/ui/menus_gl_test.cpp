#include "core/inputevent.h"
#include "core/sporrik.h"
#include "core/sporrikmain.h"
#include "game/gameboard.h"
#include "graph/rendergraph.h"
#include "support/logcapture.h"
#include "support/uiframe.h"
#include "ui/buttonsimple.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/sporrikhud.h"
#include "ui/text.h"

#include <algorithm>

namespace {

// The whole application on the stand-in textures, driven through the input
// queue one frame at a time.
class Screens : public UiFrame {
protected:
    Screens() {
        Main::registerInstance(std::make_unique<SporrikMain>());
        app = Main::instance();
        package = static_cast<SporrikMain*>(app)->getPackage();
        menu = static_cast<MenuMain*>(package->getMenu());
        newGame = menu->getNewGameMenu();
        frame();
    }
    ~Screens() override { Main::destroy(); }

    void frame() { System::instance()->display(); }

    void click(const ButtonSimple& button) {
        const float x = button.getAbsoluteX() + button.getWidth() / 2.0f;
        const float y = button.getAbsoluteY() + button.getHeight() / 2.0f;
        const int px = static_cast<int>((x + 1.0f) / 2.0f * GlTest::kWidth);
        const int py = static_cast<int>((1.0f - y) / 2.0f * GlTest::kHeight);
        System* system = System::instance();
        system->motion(px, py);
        system->keyDown(KeyMouseLeft);
        frame();
        system->motion(px, py);
        system->keyUp(KeyMouseLeft);
        frame();
    }
    void pressKey(int key) {
        System::instance()->keyDown(key);
        frame();
        System::instance()->keyUp(key);
        frame();
    }
    Menu* top() const { return app->getMenuStack().back(); }
    bool drawn(RenderNode* node) const {
        const auto& list = app->getRenderGraph().getRenderList();
        return std::find(list.begin(), list.end(), node) != list.end();
    }
    std::string kindCaption(int player) const { return newGame->getKindButton(player)->getCaption(); }

    Main* app = nullptr;
    Sporrik* package = nullptr;
    MenuMain* menu = nullptr;
    MenuNewGame* newGame = nullptr;
};

TEST_F(Screens, StartShowsTheMainMenuWithNewGame) {
    EXPECT_EQ(top(), menu);
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "New Game");
    ASSERT_NE(menu->getExitButton()->getLabel(), nullptr);
    EXPECT_EQ(menu->getExitButton()->getLabel()->getText(), "Exit");
    EXPECT_TRUE(drawn(&app->getCursor()));
    EXPECT_EQ(app->getRenderGraph().getRenderList().back(), &app->getCursor());
}

TEST_F(Screens, NewGameOffersAHumanAgainstTheComputer) {
    click(*menu->getPlayButton());
    EXPECT_EQ(top(), newGame);
    EXPECT_FALSE(drawn(menu));
    EXPECT_EQ(kindCaption(1), "Human");
    EXPECT_EQ(kindCaption(2), "Computer");
}

TEST_F(Screens, MakingPlayerTwoHumanMakesPlayerOneTheComputer) {
    click(*menu->getPlayButton());
    click(*newGame->getKindButton(2));
    EXPECT_EQ(kindCaption(1), "Computer");
    EXPECT_EQ(kindCaption(2), "Human");
    click(*newGame->getKindButton(2));
    EXPECT_EQ(kindCaption(2), "Computer");
}

TEST_F(Screens, BackReturnsToTheMainMenuKeepingTheKinds) {
    click(*menu->getPlayButton());
    click(*newGame->getKindButton(1));
    click(*newGame->getReturnButton());
    EXPECT_EQ(top(), menu);
    EXPECT_TRUE(drawn(menu));
    click(*menu->getPlayButton());
    EXPECT_EQ(kindCaption(1), "Computer");
    EXPECT_EQ(kindCaption(2), "Computer");
}

TEST_F(Screens, HardGameShowsTheHudAndEscapeOffersContinue) {
    GameBoard& board = package->getBoard();
    click(*menu->getPlayButton());
    click(*newGame->getHardButton());
    EXPECT_FALSE(app->menusVisible());
    EXPECT_EQ(top(), menu);
    EXPECT_TRUE(drawn(package->getHud()));
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
    EXPECT_TRUE(board.isHuman(GameBoard::kPlayer1));
    EXPECT_FALSE(board.isHuman(GameBoard::kPlayer2));
    EXPECT_TRUE(board.isRunning());

    pressKey(KeyEscape);
    EXPECT_TRUE(app->menusVisible());
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "Continue");
    click(*menu->getPlayButton());
    EXPECT_FALSE(app->menusVisible());
}

TEST_F(Screens, EasyGameSetsTheEasyLevel) {
    click(*menu->getPlayButton());
    click(*newGame->getEasyButton());
    EXPECT_EQ(package->getBoard().getDifficulty(), GameBoard::kEasy);
    EXPECT_FALSE(app->menusVisible());
}

TEST_F(Screens, DemoStartsTwoHardComputersAndIsNotContinued) {
    GameBoard& board = package->getBoard();
    board.setDifficulty(GameBoard::kEasy);
    click(*menu->getDemoButton());
    EXPECT_FALSE(app->menusVisible());
    EXPECT_FALSE(board.isHuman(GameBoard::kPlayer1));
    EXPECT_FALSE(board.isHuman(GameBoard::kPlayer2));
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
    EXPECT_TRUE(board.isRunning());
    pressKey(KeyEscape);
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "New Game");
}

TEST_F(Screens, FluidDemoShowsTheSceneWithoutAGame) {
    click(*menu->getFluidDemoButton());
    EXPECT_FALSE(app->menusVisible());
    EXPECT_FALSE(package->getBoard().isRunning());
}

TEST_F(Screens, EscapeInTheMenuShowsTheScene) {
    pressKey(KeyEscape);
    EXPECT_FALSE(app->menusVisible());
    EXPECT_TRUE(drawn(package->getHud()));
}

TEST_F(Screens, F10ListsEveryLoadedTexture) {
    LogCapture log;
    pressKey(KeyF1 + 9);
    // Three font styles of each font, the logo, nine button pieces, the
    // pointer; a long description goes on over a second line.
    const auto listed = std::count_if(log.lines().begin(), log.lines().end(), [](const std::string& line) {
        return line.find("TextureManager") != std::string::npos &&
               line.find("file=textures/") != std::string::npos;
    });
    EXPECT_EQ(listed, 3 + 3 + 1 + 9 + 1);
    EXPECT_TRUE(app->menusVisible());
}

TEST_F(Screens, HudShowsTheCountsOfTheRunningGame) {
    click(*menu->getPlayButton());
    click(*newGame->getHardButton());
    frame();
    auto* hud = static_cast<SporrikHud*>(package->getHud());
    EXPECT_EQ(hud->getPlayerText(1)->getText(), "Player 1: 1");
    EXPECT_EQ(hud->getPlayerText(2)->getText(), "Player 2: 1");
    EXPECT_EQ(hud->getResultText()->getText(), "");
}

} // namespace
