#include "core/gameoptions.h"
#include "core/gamesession.h"
#include "core/keeper.h"
#include "core/sporrik.h"
#include "core/sporrikmain.h"
#include "game/gameboard.h"
#include "game/notation.h"
#include "graph/rendergraph.h"
#include "input/inputevent.h"
#include "scene/watertable.h"
#include "sound/soundsystem.h"
#include "support/poll.h"
#include "support/tempdir.h"
#include "support/uiframe.h"
#include "ui/buttonsimple.h"
#include "ui/image.h"
#include "ui/menudemos.h"
#include "ui/menugames.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/movelist.h"
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
    Screens() : Screens(nullptr) {}
    // keeper: what the application keeps, or null for nothing.
    explicit Screens(std::unique_ptr<Keeper> keeper) {
        Main::registerInstance(keeper ? std::make_unique<SporrikMain>(std::move(keeper))
                                      : std::make_unique<SporrikMain>());
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
    void startDemo(bool fluid) {
        click(*menu->getDemosButton());
        MenuDemos& demos = *menu->getDemosMenu();
        click(fluid ? *demos.getFluidDemoButton() : *demos.getDemoButton());
    }
    // A move by clicks of the human to move, shown to its end.
    void play(const char* notation) {
        GameBoard& board = package->getBoard();
        const Move m = *Notation::parseMove(notation);
        board.clickField(m.fromX, m.fromY);
        board.setMoveDone(board.clickField(m.toX, m.toY));
        framesUntil([&] { return !package->getWaterTable().isShowingMoves(); });
    }
    // The board's fields, the player to move and the moves made.
    std::string game() const {
        GameBoard& board = package->getBoard();
        std::string text = std::to_string(board.getCurrentPlayer()) + ":";
        for (int i = 0; i < GameBoard::kBoardSize * GameBoard::kBoardSize; ++i) {
            text += std::to_string(board.getField(i % GameBoard::kBoardSize, i / GameBoard::kBoardSize));
        }
        for (const Move& m : board.getMoves()) {
            text += " " + Notation::move(m);
        }
        return text;
    }
    std::string counts() const {
        const auto* hud = static_cast<SporrikHud*>(package->getHud());
        return hud->getPlayerText(1)->getText() + " " + hud->getPlayerText(2)->getText();
    }

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
    click(*menu->getNewGameButton());
    EXPECT_FALSE(drawn(menu));
    click(*newGame->getKindButton(1));
    click(*newGame->getReturnButton());
    EXPECT_TRUE(drawn(menu));
    for (const auto& [button, level] : {std::pair{newGame->getEasyButton(), GameBoard::kEasy},
                                        {newGame->getExpertButton(), GameBoard::kExpert}}) {
        click(*menu->getNewGameButton());
        ASSERT_EQ(top(), newGame);
        EXPECT_EQ(kindCaption(1), "Computer");
        EXPECT_EQ(kindCaption(2), "Computer");
        click(*button);
        EXPECT_FALSE(app->menusVisible());
        EXPECT_EQ(board.getDifficulty(), level);
        pressKey(KeyEscape);
    }
    EXPECT_TRUE(board.isThinking());
    startDemo(false);
    EXPECT_FALSE(board.isThinking());
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
    EXPECT_TRUE(board.isMoveDone());
    pressKey(KeyEscape);
    EXPECT_EQ(top(), menu);
    EXPECT_FALSE(menu->getContinueButton()->isVisible());
    pressKey(KeyEscape);
    EXPECT_FALSE(app->menusVisible()) << "Escape in the main menu shows the scene";
}

// A hard game of the human against the computer to its end: once the last
// move is shown, the heads-up display names the winner, and the menu offers a
// new game instead of Continue.
TEST_F(Screens, HardGameEnds_TheHudNamesTheWinnerAndContinueIsGone) {
    GameBoard& board = package->getBoard();
    const auto* hud = static_cast<SporrikHud*>(package->getHud());
    click(*menu->getNewGameButton());
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
    EXPECT_FALSE(menu->getContinueButton()->isVisible());
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
         {menu->getNewGameButton(), menu->getGamesButton(), menu->getDemosButton(), menu->getOptionsButton(),
          menu->getExitButton()}) {
        EXPECT_FALSE(black(middle(*button))) << button->getCaption();
    }
    EXPECT_TRUE(near(middle(*menu->getLogo()), UiAssets::kLogo));
    click(*menu->getNewGameButton());
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

// A game against the computer stays where it was through both
// demonstrations: the fluid demo shows no figures and no counts, and
// Continue, offered meanwhile, brings back the same fields, player to move,
// moves and counts; the menu comes back without the look of the click that
// left it. Where Continue stood while hidden, a click is New Game's.
TEST_F(Screens, DemonstrationsKeepTheGameInProgress_ContinueReturnsToItExactly) {
    click(*menu->getNewGameButton());
    click(*newGame->getEasyButton());
    framesUntil([&] { return !package->getWaterTable().isShowingMoves(); });
    play("a1b2");
    const std::string before = game();
    const std::string shown = counts();
    for (const bool fluid : {true, false}) {
        pressKey(KeyEscape);
        ASSERT_TRUE(menu->getContinueButton()->isVisible());
        EXPECT_EQ(menu->getContinueButton()->getState(), ButtonSimple::Normal)
            << "the last click's look stayed";
        startDemo(fluid);
        framesUntil([&] { return false; });
        if (fluid) {
            EXPECT_EQ(counts(), " ") << "the fluid demo shows counts";
            EXPECT_EQ(package->getWaterTable().countShownFigures(1) +
                          package->getWaterTable().countShownFigures(2),
                      0);
        } else {
            EXPECT_NE(game(), before) << "the demonstration did not play";
        }
        pressKey(KeyEscape);
        click(*menu->getContinueButton());
        framesUntil([&] { return !package->getWaterTable().isShowingMoves(); });
        EXPECT_EQ(game(), before) << (fluid ? "after the fluid demo" : "after the demo");
        EXPECT_EQ(counts(), shown);
    }
    // Two computers replace the game: nothing to continue, and a click where
    // Continue stood is New Game's.
    pressKey(KeyEscape);
    click(*menu->getNewGameButton());
    click(*newGame->getKindButton(1));
    click(*newGame->getEasyButton());
    pressKey(KeyEscape);
    EXPECT_FALSE(menu->getContinueButton()->isVisible());
    click(*menu->getNewGameButton());
    EXPECT_EQ(top(), newGame);
}

// What the application keeps goes to a folder of the test's own.
struct KeptFolder {
    TempDir kept;
};

class KeptScreens : private KeptFolder, public Screens {
protected:
    KeptScreens()
        : Screens(std::make_unique<Keeper>(
              Keeper::Folders{kept.file("config"), kept.file("state"), kept.file("games")})) {}
};

// Two people play to a win; the game is kept as a record, listed under
// Games and shown on the table: Right plays a move, End shows the final
// counts and the winner, the coach names its move for a position of the
// record, a click on a move in the list shows that position, and Play from
// here continues from it with the same players, take-back included.
TEST_F(KeptScreens, FinishedGameKeptAsARecord_ReplayedToItsCounts_PlayedOnFromAMove) {
    GameSession& session = package->getSession();
    const auto* hud = static_cast<SporrikHud*>(package->getHud());
    click(*menu->getNewGameButton());
    if (kindCaption(2) != "Human") {
        click(*newGame->getKindButton(2));
    }
    click(*newGame->getEasyButton());
    framesUntil([&] { return !package->getWaterTable().isShowingMoves(); });
    for (const char* m : {"a1b2", "i9g7", "b2c3", "g7e5", "c3d4"}) {
        play(m);
    }
    const std::string finalCounts = counts();
    ASSERT_EQ(finalCounts, "Player 1: 5 Player 2: 0");
    ASSERT_EQ(session.getRecords().list().size(), 1u);

    pressKey(KeyEscape);
    click(*menu->getGamesButton());
    MenuGames& games = *menu->getGamesMenu();
    ASSERT_EQ(top(), &games);
    ASSERT_EQ(games.getLines().size(), 1u);
    EXPECT_NE(games.getLines()[0].find("Human - Human  5:0 Player 1 won"), std::string::npos)
        << games.getLines()[0];
    click(*games.getRowButton(0));
    ASSERT_FALSE(app->menusVisible());
    ASSERT_EQ(session.getMode(), GameSession::Mode::Review);
    frame();
    EXPECT_EQ(counts(), "Player 1: 1 Player 2: 1");
    pressKey(KeyArrowRight);
    EXPECT_TRUE(package->getWaterTable().isShowingMoves()) << "the move is not played for the table";
    framesUntil([&] { return !package->getWaterTable().isShowingMoves(); });
    EXPECT_EQ(counts(), "Player 1: 2 Player 2: 1");
    pressKey(KeyEnd);
    frame();
    EXPECT_EQ(counts(), finalCounts);
    EXPECT_EQ(hud->getResultText()->getText(), "Player 1 Won!");
    EXPECT_FALSE(session.canPlayFromHere());

    pressKey(KeyArrowLeft);
    pressKey('t');
    ASSERT_TRUE(poll([&] {
        frame();
        return hud->getCoachText(0)->getText().rfind("The expert would play", 0) == 0;
    })) << hud->getCoachText(0)->getText();
    EXPECT_EQ(hud->getCoachText(0)->getText(), "The expert would play c3d4 (+1) as played");
    EXPECT_EQ(hud->getCoachText(1)->getText().find("Player 1 wins"), 0u) << hud->getCoachText(1)->getText();
    EXPECT_EQ(Notation::move(package->getWaterTable().getTip()), "c3d4");

    // The second move of the list: its cell in the first row, right half.
    const MoveList::Geometry g = MoveList::geometry(GlTest::kWidth, GlTest::kHeight, 1.0f, true);
    const float x = g.columns[2] + g.moveWidth / 2.0f;
    const float y = g.firstRowTop - g.rowHeight / 2.0f;
    System* system = System::instance();
    system->motion(static_cast<int>((x + 1.0f) / 2.0f * GlTest::kWidth),
                   static_cast<int>((1.0f - y) / 2.0f * GlTest::kHeight));
    system->keyDown(KeyMouseLeft);
    frame();
    system->keyUp(KeyMouseLeft);
    frame();
    EXPECT_EQ(session.getShownMoves(), 2);
    EXPECT_TRUE(package->getWaterTable().getTip().type == 0) << "the tip outlived its position";
    ASSERT_TRUE(session.canPlayFromHere());
    click(*hud->getMoveList()->getPlayButton());
    GameBoard& board = package->getBoard();
    EXPECT_EQ(session.getMode(), GameSession::Mode::Play);
    EXPECT_TRUE(board.isHuman(1) && board.isHuman(2));
    EXPECT_EQ(board.getMoves().size(), 2u);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer1);
    pressKey(KeyBackspace);
    EXPECT_EQ(board.getMoves().size(), 1u);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer2);
}

} // namespace
