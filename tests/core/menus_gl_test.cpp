#include "core/gameoptions.h"
#include "core/glutcallbacks.h"
#include "core/sporrik.h"
#include "core/sporrikmain.h"
#include "game/gameboard.h"
#include "graph/rendergraph.h"
#include "input/inputevent.h"
#include "scene/matrix4.h"
#include "scene/moveanimation.h"
#include "scene/watertable.h"
#include "sound/soundsystem.h"
#include "support/fakeclock.h"
#include "support/logcapture.h"
#include "support/uiframe.h"
#include "ui/buttonsimple.h"
#include "ui/image.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/sporrikhud.h"
#include "ui/text.h"

#include <algorithm>
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
    ~Screens() override { Main::destroy(); }

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
    // Clicks field (x, y) where the scene's camera shows it, in a view 60 degrees high.
    void clickField(int x, int y) {
        const vec3 p = MoveAnimation::fieldPosition(x, y);
        const Matrix4x4<double> m =
            multiply(perspectiveAsDrawn(60.0, double{GlTest::kWidth} / GlTest::kHeight, 0.1, 1000.0),
                     widened(package->getWaterTable().viewMatrix()));
        double px = 0.0, py = 0.0;
        ASSERT_TRUE(projectToPixels(m, p.x, p.y, p.z, 1e-6, GlTest::kWidth, GlTest::kHeight, px, py));
        for (const bool down : {true, false}) {
            System::instance()->motion(static_cast<int>(px), static_cast<int>(GlTest::kHeight - py));
            down ? System::instance()->keyDown(KeyMouseLeft) : System::instance()->keyUp(KeyMouseLeft);
            frame();
        }
    }

    Main* app = nullptr;
    Sporrik* package = nullptr;
    MenuMain* menu = nullptr;
    MenuNewGame* newGame = nullptr;
};

TEST_F(Screens, NewGameBackAndEasyGame_KeepTheKindsAndSetTheEasyLevel) {
    EXPECT_EQ(top(), menu);
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "New Game");
    EXPECT_EQ(app->getRenderGraph().getRenderList().back(), &app->getCursor());
    click(*menu->getPlayButton());
    EXPECT_EQ(top(), newGame);
    EXPECT_FALSE(drawn(menu));
    click(*newGame->getKindButton(1));
    click(*newGame->getReturnButton());
    EXPECT_EQ(top(), menu);
    EXPECT_TRUE(drawn(menu));
    click(*menu->getPlayButton());
    EXPECT_EQ(kindCaption(1), "Computer");
    EXPECT_EQ(kindCaption(2), "Computer");
    click(*newGame->getEasyButton());
    EXPECT_FALSE(app->menusVisible());
    EXPECT_EQ(package->getBoard().getDifficulty(), GameBoard::kEasy);
    EXPECT_FALSE(package->getBoard().isHuman(GameBoard::kPlayer1));
}

// Player 1 human against the computer: Escape offers to continue the game;
// its last move, clicked on the board, brings the winner's caption once the
// scene has shown it, and a decided game is not offered for continuing.
TEST_F(Screens, HardGameShowsTheHudUntilTheWinnerAndEscapeOffersContinueMeanwhile) {
    GameBoard& board = package->getBoard();
    const auto* hud = static_cast<SporrikHud*>(package->getHud());
    FakeClock clock;
    const auto framesUntil = [&](auto done) {
        for (int i = 0; i < 40 && !done(); ++i) {
            clock.advance(0.25);
            frame();
        }
    };
    click(*menu->getPlayButton());
    click(*newGame->getHardButton());
    // The scene shows a new game in three frames: cleared, then one figure each.
    for (int i = 0; i < 3; ++i) {
        frame();
    }
    EXPECT_EQ(top(), menu);
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
    EXPECT_TRUE(board.isHuman(GameBoard::kPlayer1));
    EXPECT_FALSE(board.isHuman(GameBoard::kPlayer2));
    EXPECT_TRUE(board.isRunning());
    EXPECT_TRUE(drawn(package->getHud()));
    EXPECT_EQ(hud->getPlayerText(1)->getText(), "Player 1: 1");
    EXPECT_EQ(hud->getPlayerText(2)->getText(), "Player 2: 1");
    pressKey(KeyEscape);
    EXPECT_TRUE(app->menusVisible());
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "Continue");
    click(*menu->getPlayButton());
    EXPECT_FALSE(app->menusVisible());

    // On player 1's turn still, player 2's figure jumps to two fields from
    // player 1's: the split between them converts it.
    for (const int to : {6, 4, 2}) {
        ASSERT_TRUE(board.performMove(to + 2, to + 2, to, to));
    }
    const WaterTable& table = package->getWaterTable();
    framesUntil(
        [&] { return !board.hasPendingMoves() && table.countShownFigures(GameBoard::kPlayer2) == 1; });
    clickField(0, 0);
    clickField(1, 1);
    framesUntil([&] { return !hud->getResultText()->getText().empty(); });
    EXPECT_EQ(hud->getResultText()->getText(), "Player 1 Won!");
    EXPECT_EQ(hud->getPlayerText(2)->getText(), "Player 2: 0");
    pressKey(KeyEscape);
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "New Game");
}

// Through GLUT's display handler: the first frame after the clock starts
// has no elapsed time, each later one the time since the one before.
TEST_F(Screens, DisplayHandler_FirstFrameHasNoElapsedTimeThenTheTimeSinceTheLast) {
    struct ElapsedRecorder : RenderNode {
        void render(double elapsed, float) override { frames.push_back(elapsed); }
        void linkChildren() override {}
        void attach() override {}
        void detach() override {}
        std::vector<double> frames;
    } recorder;
    FakeClock clock;
    app->getRenderGraph().addRoot(&recorder, 0);
    for (const double step : {5.0, 0.25, 0.5}) {
        clock.advance(step);
        GlutCallbacks::display();
    }
    app->getRenderGraph().removeRoot(&recorder);
    frame();
    EXPECT_EQ(recorder.frames, (std::vector<double>{0.0, 0.25, 0.5}));
}

// Small windows show both menus whole, scaled down, and their buttons still
// take clicks where they are drawn.
TEST_F(Screens, SmallWindowsShowTheWholeMenusAndTheirButtonsTakeClicks) {
    const auto inside = [](const Control& c) {
        return c.getAbsoluteX() >= -1.0f && c.getAbsoluteX() + c.getWidth() <= 1.0f &&
               c.getAbsoluteY() >= -1.0f && c.getAbsoluteY() + c.getHeight() <= 1.0f;
    };
    const auto middle = [](const Control& c) {
        return pixelAt(c.getAbsoluteX() + c.getWidth() / 2.0f, c.getAbsoluteY() + c.getHeight() / 2.0f);
    };
    for (const auto& size : {std::make_pair(480, 360), std::make_pair(320, 240)}) {
        SCOPED_TRACE(testing::Message() << size.first << "x" << size.second);
        System::instance()->reshape(size.first, size.second);
        frame();
        frame();
        const ButtonSimple* buttons[] = {menu->getPlayButton(), menu->getDemoButton(),
                                         menu->getFluidDemoButton(), menu->getOptionsButton(),
                                         menu->getExitButton()};
        for (const ButtonSimple* button : buttons) {
            EXPECT_TRUE(inside(*button)) << button->getCaption();
            EXPECT_FALSE(black(middle(*button))) << button->getCaption();
        }
        EXPECT_TRUE(inside(*menu->getLogo()));
        EXPECT_TRUE(near(middle(*menu->getLogo()), UiAssets::kLogo));
        click(*menu->getPlayButton());
        ASSERT_EQ(top(), newGame);
        EXPECT_TRUE(inside(*newGame->getReturnButton()));
        click(*newGame->getReturnButton());
        EXPECT_EQ(top(), menu);
        click(*menu->getOptionsButton());
        ASSERT_EQ(top(), menu->getOptionsMenu());
        EXPECT_TRUE(inside(*menu->getOptionsMenu()->getButton(MenuOptions::Quality)));
        click(*menu->getOptionsMenu()->getReturnButton());
        EXPECT_EQ(top(), menu);
    }
}

// Each option's button changes the value in effect at once, and steps round
// to where it began. M mutes over every screen and, pressed again, the sound
// is back at its step; H in the game and the hints button switch one value.
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
    // Quality, screen, volume, hints and scale.
    const int valueCounts[MenuOptions::kRows] = {3, 2, 5, 2, 4};
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
                                 scales == std::vector{OptionValues::Scale::Full}};
        EXPECT_TRUE(inEffect[row]);
        for (int i = 1; i < valueCounts[row]; ++i) {
            click(button);
        }
        EXPECT_EQ(options.getOptions(), start);
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

// Two computers at the expert level: player 1 thinks while the menus come
// back, and the demo that follows drops that move and plays hard.
TEST_F(Screens, ExpertGameThinksAndTheDemoDropsItsMove) {
    GameBoard& board = package->getBoard();
    click(*menu->getPlayButton());
    click(*newGame->getKindButton(1));
    click(*newGame->getExpertButton());
    EXPECT_FALSE(app->menusVisible());
    EXPECT_EQ(board.getDifficulty(), GameBoard::kExpert);
    EXPECT_TRUE(board.isThinking());
    pressKey(KeyEscape);
    click(*menu->getDemoButton());
    EXPECT_FALSE(board.isThinking());
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
    EXPECT_TRUE(board.isMoveDone());
}

// Fluid Demo shows the scene whatever the game; Demo starts two hard
// computers, which are not offered for continuing.
TEST_F(Screens, FluidDemoAndDemoLeaveTheMenus) {
    GameBoard& board = package->getBoard();
    board.setDifficulty(GameBoard::kEasy);
    click(*menu->getFluidDemoButton());
    EXPECT_FALSE(app->menusVisible());
    EXPECT_TRUE(drawn(package->getHud()));
    EXPECT_FALSE(board.isRunning());
    pressKey(KeyEscape);
    EXPECT_TRUE(app->menusVisible());
    click(*menu->getDemoButton());
    EXPECT_FALSE(app->menusVisible());
    EXPECT_FALSE(board.isHuman(GameBoard::kPlayer1));
    EXPECT_FALSE(board.isHuman(GameBoard::kPlayer2));
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
    EXPECT_TRUE(board.isRunning());
    pressKey(KeyEscape);
    EXPECT_EQ(menu->getPlayButton()->getCaption(), "New Game");
    // Escape in the main menu shows the scene.
    pressKey(KeyEscape);
    EXPECT_FALSE(app->menusVisible());
}

} // namespace
