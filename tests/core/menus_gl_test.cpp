#include "core/gameoptions.h"
#include "core/sporrik.h"
#include "core/sporrikmain.h"
#include "game/gameboard.h"
#include "graph/rendergraph.h"
#include "input/inputevent.h"
#include "scene/watertable.h"
#include "sound/soundsystem.h"
#include "support/uiframe.h"
#include "ui/buttonsimple.h"
#include "ui/image.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/sporrikhud.h"
#include "ui/text.h"
#include "ui/textscale.h"

#include <algorithm>
#include <iterator>
#include <vector>

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
    ~Screens() override {
        System::instance()->setTimeSource(nullptr);
        Main::destroy();
    }

    void frame() { System::instance()->display(); }

    void click(const ButtonSimple& button) {
        clickOn(button, [this] { frame(); });
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

    // Frames on a clock that moves a quarter second each, until done or 10 s.
    template <typename Done>
    void framesUntil(Done done) {
        System::instance()->setTimeSource([this] { return now; });
        for (int i = 0; i < 40 && !done(); ++i) {
            now += 0.25;
            frame();
        }
    }

    double now = 0.0;
    Main* app = nullptr;
    Sporrik* package = nullptr;
    MenuMain* menu = nullptr;
    MenuNewGame* newGame = nullptr;
};

// Back keeps the kinds chosen (two computers: nothing offered for
// continuing), each level button starts its level, and the demo started while
// the expert thinks drops its move and plays hard, not offered for continuing.
TEST_F(Screens, NewGameBackKeepsTheKinds_LevelButtonsStartTheirLevel_DemoDropsTheExpertsMove) {
    GameBoard& board = package->getBoard();
    EXPECT_EQ(app->getRenderGraph().getRenderList().back(), &app->getCursor());
    click(*menu->getPlayButton());
    EXPECT_FALSE(drawn(menu));
    click(*newGame->getKindButton(1));
    click(*newGame->getReturnButton());
    EXPECT_TRUE(drawn(menu));
    for (const auto& [button, level] : {std::pair{newGame->getEasyButton(), GameBoard::kEasy},
                                        {newGame->getExpertButton(), GameBoard::kExpert}}) {
        click(*menu->getPlayButton());
        ASSERT_EQ(top(), newGame);
        EXPECT_EQ(kindCaption(1), "Computer");
        EXPECT_EQ(kindCaption(2), "Computer");
        click(*button);
        EXPECT_FALSE(app->menusVisible());
        EXPECT_EQ(board.getDifficulty(), level);
        pressKey(KeyEscape);
    }
    EXPECT_TRUE(board.isThinking());
    click(*menu->getDemoButton());
    EXPECT_FALSE(board.isThinking());
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
    EXPECT_TRUE(board.isMoveDone());
    pressKey(KeyEscape);
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "New Game");
    pressKey(KeyEscape);
    EXPECT_FALSE(app->menusVisible()) << "Escape in the main menu shows the scene";
}

// A hard game of the human against the computer to its end: once the last
// move is shown, the heads-up display names the winner, and the menu offers a
// new game instead of Continue.
TEST_F(Screens, HardGameEnds_TheHudNamesTheWinnerAndContinueIsGone) {
    GameBoard& board = package->getBoard();
    const auto* hud = static_cast<SporrikHud*>(package->getHud());
    click(*menu->getPlayButton());
    click(*newGame->getHardButton());
    EXPECT_TRUE(board.isHuman(GameBoard::kPlayer1));
    EXPECT_FALSE(board.isHuman(GameBoard::kPlayer2));
    // On player 1's turn still, player 2's figure jumps to two fields from
    // player 1's: the split between them converts it.
    for (const int to : {6, 4, 2}) {
        ASSERT_TRUE(board.performMove(to + 2, to + 2, to, to));
    }
    framesUntil([&] { return !board.hasPendingMoves(); });
    ASSERT_TRUE(board.performMove(0, 0, 1, 1));
    framesUntil([&] { return !hud->getResultText()->getText().empty(); });
    EXPECT_EQ(hud->getResultText()->getText(), "Player 1 Won!");
    EXPECT_EQ(hud->getPlayerText(2)->getText(), "Player 2: 0");
    pressKey(KeyEscape);
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "New Game");
}

// A small window shows the menus scaled down, their buttons drawn where they
// take clicks.
TEST_F(Screens, SmallWindowsShowTheMenusAndTheirButtonsTakeClicks) {
    const auto middle = [](const Control& c) {
        return pixelAt(c.getAbsoluteX() + c.getWidth() / 2.0f, c.getAbsoluteY() + c.getHeight() / 2.0f);
    };
    System::instance()->reshape(320, 240);
    frame();
    frame();
    for (const ButtonSimple* button :
         {menu->getPlayButton(), menu->getDemoButton(), menu->getFluidDemoButton(), menu->getOptionsButton(),
          menu->getExitButton()}) {
        EXPECT_FALSE(black(middle(*button))) << button->getCaption();
    }
    EXPECT_TRUE(near(middle(*menu->getLogo()), UiAssets::kLogo));
    click(*menu->getPlayButton());
    ASSERT_EQ(top(), newGame);
    click(*newGame->getReturnButton());
    EXPECT_EQ(top(), menu);
    click(*menu->getOptionsButton());
    ASSERT_EQ(top(), menu->getOptionsMenu());
    click(*menu->getOptionsMenu()->getReturnButton());
    EXPECT_EQ(top(), menu);
}

// Each option's button changes the value in effect at once: quality, screen,
// volume, hints, scale and text size, each stepped once from the start. M mutes over
// every screen and, pressed again, the sound is back at its step; H in the
// game and the hints button switch one value.
TEST_F(Screens, OptionButtonsTakeEffectAtOnce_MMutesAndKeepsTheVolumeStep) {
    GameOptions& options = package->getOptions();
    WaterTable& table = package->getWaterTable();
    MenuOptions* optionsMenu = menu->getOptionsMenu();
    std::vector<OptionValues::Scale> scales;
    options.setScaleHook([&](OptionValues::Scale scale) { scales.push_back(scale); });
    click(*menu->getOptionsButton());
    ASSERT_EQ(top(), optionsMenu);
    const OptionValues start = options.getOptions();
    OptionValues defaults;
    defaults.fullScreen = start.fullScreen;
    ASSERT_EQ(start, defaults);
    for (int row = 0; row < MenuOptions::kRows; ++row) {
        SCOPED_TRACE(testing::Message() << "row " << row);
        ButtonSimple& button = *optionsMenu->getButton(static_cast<MenuOptions::Row>(row));
        click(button);
        const OptionValues expected = MenuOptions::stepped(start, static_cast<MenuOptions::Row>(row));
        EXPECT_EQ(options.getOptions(), expected);
        EXPECT_EQ(button.getCaption(),
                  MenuOptions::caption(expected, static_cast<MenuOptions::Row>(row), false));
        // The first step of each row, seen where it takes effect.
        const bool inEffect[] = {table.getQuality().getLevel() == SceneQuality::Level::Full,
                                 System::instance()->isFullscreen() != start.fullScreen,
                                 SoundSystem::instance()->getVolume() == 0.0f,
                                 !table.getSceneOptions().moveHints,
                                 scales == std::vector{OptionValues::Scale::Full},
                                 TextScale::getSize() == TextScale::Size::Large};
        static_assert(std::size(inEffect) == MenuOptions::kRows, "every row is looked at");
        EXPECT_TRUE(inEffect[row]);
        options.setOptions(start);
    }

    ButtonSimple& volume = *optionsMenu->getButton(MenuOptions::Volume);
    pressKey('m');
    EXPECT_EQ(volume.getCaption(), "Muted");
    EXPECT_TRUE(SoundSystem::instance()->isMuted());
    pressKey(KeyEscape);
    EXPECT_EQ(top(), menu);
    pressKey(KeyEscape);
    ASSERT_FALSE(app->menusVisible());
    pressKey('m');
    pressKey('h');
    EXPECT_FALSE(SoundSystem::instance()->isMuted());
    EXPECT_EQ(options.getOptions().volume, start.volume);
    EXPECT_EQ(options.getOptions().moveHints, !start.moveHints);
    pressKey(KeyEscape);
    click(*menu->getOptionsButton());
    EXPECT_EQ(volume.getCaption(), MenuOptions::caption(start, MenuOptions::Volume, false));
    click(*optionsMenu->getButton(MenuOptions::Hints));
    EXPECT_EQ(table.getSceneOptions().moveHints, start.moveHints);
}

} // namespace
