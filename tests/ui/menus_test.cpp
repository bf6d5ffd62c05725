#include "game/gameboard.h"
#include "graph/windowsize.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/image.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/text.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// Each toggle changes its own player only; only players 1 and 2 exist.
TEST(PlayerKinds, ToggleChangesOnlyItsOwnPlayer) {
    using Flags = MenuNewGame::HumanFlags;
    const struct {
        Flags before;
        int player;
        Flags after;
    } cases[] = {
        {{true, false}, 2, {true, true}},   {{true, true}, 1, {false, true}},
        {{true, false}, 1, {false, false}}, {{false, false}, 2, {false, true}},
        {{true, false}, 0, {true, false}},  {{true, false}, 3, {true, false}},
    };
    for (const auto& c : cases) {
        Flags flags = c.before;
        MenuNewGame::togglePlayer(flags, c.player);
        EXPECT_EQ(flags, c.after) << "player " << c.player << " from " << c.before[0] << c.before[1];
    }
}

// Each option's button steps through all its values, each with a caption of
// its own, and wraps round to the first; no other option moves.
TEST(OptionSteps, EveryValueOnceThenBackToTheFirst_OthersUntouched) {
    const struct {
        MenuOptions::Row row;
        int values;
    } cases[] = {
        {MenuOptions::Quality, 3},
        {MenuOptions::Screen, 2},
        {MenuOptions::Volume, OptionValues::kVolumeSteps + 1},
        {MenuOptions::Hints, 2},
        {MenuOptions::Scale, 4},
    };
    OptionValues start;
    start.volume = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row);
        OptionValues values = start;
        std::set<std::string> captions;
        for (int i = 0; i < c.values; ++i) {
            captions.insert(MenuOptions::caption(values, c.row, false));
            values = MenuOptions::stepped(values, c.row);
            for (int other = 0; other < MenuOptions::kRows; ++other) {
                if (other != c.row) {
                    const auto row = static_cast<MenuOptions::Row>(other);
                    EXPECT_EQ(MenuOptions::caption(values, row, false),
                              MenuOptions::caption(start, row, false));
                }
            }
        }
        EXPECT_EQ(values, start);
        EXPECT_EQ(captions.size(), static_cast<size_t>(c.values));
    }
}

// Every control lies inside the window and apart from the others.
void expectApart(const std::vector<const Control*>& controls) {
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& a = *controls[i];
        EXPECT_TRUE(a.getX() >= -1.0f && a.getX() + a.getWidth() <= 1.0f && a.getY() >= -1.0f &&
                    a.getY() + a.getHeight() <= 1.0f)
            << "control " << i;
        for (size_t j = 0; j < i; ++j) {
            const Control& b = *controls[j];
            EXPECT_TRUE(a.getX() >= b.getX() + b.getWidth() || b.getX() >= a.getX() + a.getWidth() ||
                        a.getY() >= b.getY() + b.getHeight() || b.getY() >= a.getY() + a.getHeight())
                << "controls " << j << " and " << i;
        }
    }
}

// Below 1024 x 768 the menus shrink as a whole, by the tighter of the two ratios.
TEST(MenuLayout, BothMenusFitEveryWindowWithoutOverlapping) {
    for (const auto& [width, height] :
         {std::pair{1024, 768}, {1920, 1080}, {320, 240}, {1024, 300}, {320, 768}}) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        WindowSize::set(width, height);
        ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
        container.setLayoutSize(1024, 768);
        Image logo{&container, 0.0f, 0.0f, 512.0f, 128.0f, "menu/spr2-logo.png"};
        std::vector<std::unique_ptr<ButtonSimple>> b;
        for (const float buttonWidth : {300.0f, 300.0f, 300.0f, 300.0f, 300.0f, 360.0f}) {
            b.push_back(std::make_unique<ButtonSimple>(&container, 0.0f, 0.0f, buttonWidth, nullptr, ""));
        }
        MenuMain::arrange(logo, {b[0].get(), b[1].get(), b[2].get(), b[3].get(), b[4].get()});
        expectApart({&logo, b[0].get(), b[1].get(), b[2].get(), b[3].get(), b[4].get()});
        Text first(&container, 0.0f, 0.0f, nullptr, "Player 1:");
        Text second(&container, 0.0f, 0.0f, nullptr, "Player 2:");
        MenuNewGame::arrange(logo, {&first, &second}, {b[0].get(), b[1].get()}, *b[2], *b[3], *b[5], *b[4]);
        expectApart({&logo, b[0].get(), b[1].get(), b[2].get(), b[3].get(), b[4].get(), b[5].get()});
    }
    WindowSize::set(1024, 768);
}

} // namespace
