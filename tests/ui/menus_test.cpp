#include "game/gameboard.h"
#include "graph/windowsize.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/image.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/text.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Humans among the players and whether a game was started (and then decided).
TEST(ContinueTest, OnlyARunningGameWithAHuman) {
    const struct {
        bool human1, human2, started, decided, continuable;
    } cases[] = {
        {true, false, false, false, false}, {false, true, true, false, true},
        {true, false, true, false, true},   {false, false, true, false, false},
        {true, false, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.human1 << c.human2 << c.started << c.decided);
        GameBoard board;
        board.setHuman(GameBoard::kPlayer1, c.human1);
        board.setHuman(GameBoard::kPlayer2, c.human2);
        if (c.started) {
            board.newGame();
        }
        if (c.decided) {
            while (board.popMove()) {
            }
            board.setField(8, 8, GameBoard::kEmpty);
            ASSERT_EQ(board.winner(), GameBoard::kPlayer1);
        }
        EXPECT_EQ(MenuMain::canContinue(board), c.continuable);
    }
}

// At most one human; two computers are allowed; only players 1 and 2 exist.
TEST(PlayerKinds, ToggleAllowsAtMostOneHuman) {
    using Flags = MenuNewGame::HumanFlags;
    const struct {
        Flags before;
        int player;
        Flags after;
    } cases[] = {
        {{true, false}, 2, {false, true}},  {{false, true}, 1, {true, false}},
        {{true, false}, 1, {false, false}}, {{false, false}, 2, {false, true}},
        {{true, false}, 0, {true, false}},  {{true, false}, 3, {true, false}},
    };
    for (const auto& c : cases) {
        Flags flags = c.before;
        MenuNewGame::togglePlayer(flags, c.player);
        EXPECT_EQ(flags, c.after) << "player " << c.player << " from " << c.before[0] << c.before[1];
    }
    EXPECT_STREQ(MenuNewGame::kindCaption(true), "Human");
    EXPECT_STREQ(MenuNewGame::kindCaption(false), "Computer");
}

class MenuLayout : public ::testing::Test {
protected:
    void SetUp() override { WindowSize::set(1024, 768); }
    void TearDown() override { WindowSize::set(1024, 768); }

    ButtonSimple* button(float width = 300.0f) {
        buttons.push_back(std::make_unique<ButtonSimple>(&container, 0.0f, 0.0f, width, nullptr, ""));
        return buttons.back().get();
    }

    // Positions near 0 lose the relative precision of a float comparison.
    static constexpr float kTolerance = 1.0e-6f;

    MenuLayout() { container.setLayoutSize(1024, 768); }
    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    Image logo{&container, 0.0f, 0.0f, 512.0f, 128.0f, "menu/spr2-logo.png"};
    std::vector<std::unique_ptr<ButtonSimple>> buttons;
};

// Below 1024 x 768 the menu shrinks as a whole by the tighter of the two
// ratios, so that the logo and the last button stay on the screen.
TEST_F(MenuLayout, MainMenuCentresTheLogoAndStacksFourButtonsOnEveryScreen) {
    const struct {
        int width, height;
        float scale;
    } screens[] = {{1024, 768, 1.0f},   {1920, 1080, 1.0f},           {480, 360, 0.46875f},
                   {320, 240, 0.3125f}, {1024, 300, 300.0f / 768.0f}, {320, 768, 0.3125f}};
    for (const auto& screen : screens) {
        SCOPED_TRACE(testing::Message() << screen.width << "x" << screen.height);
        WindowSize::set(screen.width, screen.height);
        const std::array<ButtonSimple*, 4> stack = {button(), button(), button(), button()};
        MenuMain::arrange(logo, stack);
        const float unitsX = 2.0f * screen.scale / screen.width;
        const float unitsY = 2.0f * screen.scale / screen.height;
        EXPECT_FLOAT_EQ(logo.getX(), -256.0f * unitsX);
        EXPECT_FLOAT_EQ(logo.getY(), 0.5f);
        EXPECT_LE(logo.getY() + logo.getHeight(), 1.0f);
        // Button height plus a quarter of it as the gap.
        const float step = 1.25f * 64.0f * unitsY;
        for (size_t i = 0; i < stack.size(); ++i) {
            EXPECT_FLOAT_EQ(stack[i]->getX(), -150.0f * unitsX) << i;
            EXPECT_FLOAT_EQ(stack[i]->getY(), 0.1f - static_cast<float>(i) * step) << i;
        }
        EXPECT_GT(stack[3]->getY(), -1.0f);
    }
}

TEST_F(MenuLayout, NewGameMenuPutsLabelsBesideTheKindButtons) {
    Text first(&container, 0.0f, 0.0f, nullptr, "Player 1:");
    Text second(&container, 0.0f, 0.0f, nullptr, "Player 2:");
    ButtonSimple* kinds[] = {button(), button()};
    ButtonSimple* easy = button();
    ButtonSimple* hard = button();
    ButtonSimple* expert = button(360.0f);
    ButtonSimple* back = button();
    MenuNewGame::arrange(logo, {&first, &second}, {kinds[0], kinds[1]}, *easy, *hard, *expert, *back);
    const float step = 1.25f * 128.0f / 768.0f;
    float labelX = 0.0f;
    float labelY = 0.0f;
    second.getDrawPosition(labelX, labelY);
    EXPECT_FLOAT_EQ(labelX, -600.0f / 1024.0f);
    EXPECT_NEAR(labelY, 0.2f - step, kTolerance);
    EXPECT_FLOAT_EQ(kinds[0]->getX(), 0.0f);
    EXPECT_FLOAT_EQ(kinds[0]->getY(), 0.2f);
    EXPECT_NEAR(kinds[1]->getY(), 0.2f - step, kTolerance);
    EXPECT_FLOAT_EQ(easy->getX(), -300.0f / 1024.0f);
    EXPECT_FLOAT_EQ(easy->getY(), 0.2f - 2.0f * step);
    EXPECT_FLOAT_EQ(hard->getY(), 0.2f - 3.0f * step);
    EXPECT_FLOAT_EQ(expert->getX(), -360.0f / 1024.0f);
    EXPECT_FLOAT_EQ(expert->getY(), 0.2f - 4.0f * step);
    EXPECT_FLOAT_EQ(back->getY(), 0.2f - 5.0f * step);
    // "Back" still fits above the bottom edge of a 768-pixel screen.
    EXPECT_GT(back->getY(), -1.0f);
}

} // namespace
