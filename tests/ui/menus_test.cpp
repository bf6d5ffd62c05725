#include "core/system.h"
#include "game/gameboard.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/image.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/text.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Plays the board's queued records out, as the scene does, until the queue
// is empty or only a human's move is awaited.
void playOut(GameBoard& board) {
    while (board.popMove()) {
    }
}

TEST(ContinueTest, NothingToContinueBeforeTheFirstGame) {
    GameBoard board;
    EXPECT_FALSE(MenuMain::canContinue(board));
}

TEST(ContinueTest, RunningGameWithAHumanCanBeContinued) {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, false);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    EXPECT_TRUE(MenuMain::canContinue(board));
}

TEST(ContinueTest, DemoBetweenComputersIsNotContinued) {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, false);
    board.setHuman(GameBoard::kPlayer2, false);
    board.newGame();
    EXPECT_TRUE(board.isRunning());
    EXPECT_FALSE(MenuMain::canContinue(board));
}

TEST(ContinueTest, DecidedGameIsNotContinued) {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, true);
    board.newGame();
    playOut(board);
    board.setField(8, 8, GameBoard::kEmpty);
    ASSERT_EQ(board.winner(), GameBoard::kPlayer1);
    EXPECT_FALSE(MenuMain::canContinue(board));
}

TEST(PlayerKinds, SecondHumanMakesTheOtherAComputer) {
    MenuNewGame::HumanFlags flags = {true, false};
    MenuNewGame::togglePlayer(flags, 2);
    EXPECT_EQ(flags, (MenuNewGame::HumanFlags{false, true}));
    MenuNewGame::togglePlayer(flags, 1);
    EXPECT_EQ(flags, (MenuNewGame::HumanFlags{true, false}));
}

TEST(PlayerKinds, BothComputersAreAllowed) {
    MenuNewGame::HumanFlags flags = {true, false};
    MenuNewGame::togglePlayer(flags, 1);
    EXPECT_EQ(flags, (MenuNewGame::HumanFlags{false, false}));
    MenuNewGame::togglePlayer(flags, 2);
    EXPECT_EQ(flags, (MenuNewGame::HumanFlags{false, true}));
}

TEST(PlayerKinds, UnknownPlayerChangesNothing) {
    MenuNewGame::HumanFlags flags = {true, false};
    MenuNewGame::togglePlayer(flags, 0);
    MenuNewGame::togglePlayer(flags, 3);
    EXPECT_EQ(flags, (MenuNewGame::HumanFlags{true, false}));
}

TEST(PlayerKinds, CaptionsNameTheKind) {
    EXPECT_STREQ(MenuNewGame::kindCaption(true), "Human");
    EXPECT_STREQ(MenuNewGame::kindCaption(false), "Computer");
}

class MenuLayout : public ::testing::Test {
protected:
    void SetUp() override { System::instance()->reshape(kWidth, kHeight); }

    ButtonSimple* button() {
        buttons.push_back(std::make_unique<ButtonSimple>(&container, 0.0f, 0.0f, 300.0f, nullptr, ""));
        return buttons.back().get();
    }

    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;
    // Positions near 0 lose the relative precision of a float comparison.
    static constexpr float kTolerance = 1.0e-6f;
    // Button height plus a quarter, in screen units: 80 pixels.
    const float step = 1.25f * 2.0f * 64.0f / kHeight;
    const float buttonX = -300.0f / kWidth;

    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    Image logo{&container, 0.0f, 0.0f, 512.0f, 128.0f, "menu/spr2-logo.png"};
    std::vector<std::unique_ptr<ButtonSimple>> buttons;
};

TEST_F(MenuLayout, MainMenuCentresTheLogoAndStacksFourButtons) {
    const std::array<ButtonSimple*, 4> stack = {button(), button(), button(), button()};
    MenuMain::arrange(logo, stack);
    EXPECT_FLOAT_EQ(logo.getX(), -0.5f);
    EXPECT_FLOAT_EQ(logo.getY(), 0.5f);
    for (size_t i = 0; i < stack.size(); ++i) {
        EXPECT_FLOAT_EQ(stack[i]->getX(), buttonX) << i;
        EXPECT_FLOAT_EQ(stack[i]->getY(), 0.1f - static_cast<float>(i) * step) << i;
    }
}

TEST_F(MenuLayout, MainMenuButtonsStayOnAWideScreen) {
    System::instance()->reshape(1920, 1080);
    const std::array<ButtonSimple*, 4> stack = {button(), button(), button(), button()};
    MenuMain::arrange(logo, stack);
    EXPECT_FLOAT_EQ(logo.getX(), -512.0f / 1920.0f);
    // The lowest button ends above the bottom edge.
    EXPECT_GT(stack[3]->getY(), -1.0f);
    EXPECT_FLOAT_EQ(stack[3]->getY(), 0.1f - 3.0f * 1.25f * 128.0f / 1080.0f);
}

TEST_F(MenuLayout, NewGameMenuPutsLabelsBesideTheKindButtons) {
    Text first(&container, 0.0f, 0.0f, nullptr, "Player 1:");
    Text second(&container, 0.0f, 0.0f, nullptr, "Player 2:");
    ButtonSimple* kind1 = button();
    ButtonSimple* kind2 = button();
    ButtonSimple* easy = button();
    ButtonSimple* hard = button();
    ButtonSimple* back = button();
    MenuNewGame::arrange(logo, {&first, &second}, {kind1, kind2}, *easy, *hard, *back);

    float labelX = 0.0f;
    float labelY = 0.0f;
    second.getDrawPosition(labelX, labelY);
    EXPECT_FLOAT_EQ(labelX, -600.0f / kWidth);
    EXPECT_NEAR(labelY, 0.2f - step, kTolerance);
    EXPECT_FLOAT_EQ(kind1->getX(), 0.0f);
    EXPECT_FLOAT_EQ(kind1->getY(), 0.2f);
    EXPECT_NEAR(kind2->getY(), 0.2f - step, kTolerance);
    EXPECT_FLOAT_EQ(easy->getX(), buttonX);
    EXPECT_FLOAT_EQ(easy->getY(), 0.2f - 2.0f * step);
    EXPECT_FLOAT_EQ(hard->getY(), 0.2f - 3.0f * step);
    EXPECT_FLOAT_EQ(back->getY(), 0.2f - 4.0f * step);
    // "Back" still fits above the bottom edge of a 768-pixel screen.
    EXPECT_GT(back->getY(), -1.0f);
}

} // namespace
