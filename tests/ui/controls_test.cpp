#include "game/gameboard.h"
#include "graph/windowsize.h"
#include "input/inputevent.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/movelist.h"
#include "ui/sporrikhud.h"
#include "ui/text.h"
#include "ui/textscale.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A text's position moves only its drawing point (that a container's does
// not: the text drawing test); its size is 0 until drawn.
TEST(ControlTree, ImagesAddEveryParentsPositionATextDrawsWhereItIsTold) {
    ControlContainer outer(nullptr, 0.5f, -0.25f, 1.0f, 1.0f);
    ControlContainer inner(&outer, 0.125f, 0.5f, 1.0f, 1.0f);
    Image image(&inner, -0.375f, 0.0625f, 10.0f, 10.0f, "x.png");
    EXPECT_FLOAT_EQ(image.getAbsoluteX(), 0.25f);
    EXPECT_FLOAT_EQ(image.getAbsoluteY(), 0.3125f);
    Text text(&inner, 0.0f, 0.0f, nullptr, "centre");
    text.setPosition(-0.4f, 0.6f);
    float drawX = 1.0f, drawY = 1.0f;
    text.getDrawPosition(drawX, drawY);
    EXPECT_FLOAT_EQ(drawX, -0.4f);
    EXPECT_FLOAT_EQ(drawY, 0.6f);
    EXPECT_FLOAT_EQ(text.getWidth(), 0.0f);
}

// Scales multiply down the tree; a container without a layout size keeps
// pixel sizes, one with a layout size only ever shrinks them.
TEST(ControlTree, ContainersWithALayoutSizeScaleTheirChildrenInSmallerViewports) {
    ControlContainer outer(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    ControlContainer inner(&outer, 0.0f, 0.0f, 1.0f, 1.0f);
    Image image(&inner, 0.0f, 0.0f, 10.0f, 10.0f, "x.png");
    EXPECT_FLOAT_EQ(image.pixelScale(320, 240), 1.0f);
    inner.setLayoutSize(1024, 768);
    const struct {
        int width, height;
        float scale;
    } cases[] = {
        {1024, 768, 1.0f}, {2048, 1536, 1.0f}, {512, 768, 0.5f}, {1024, 192, 0.25f}, {320, 240, 0.3125f}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(image.pixelScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
    }
    outer.setLayoutSize(2048, 768);
    EXPECT_FLOAT_EQ(image.pixelScale(1024, 768), 0.5f);
    EXPECT_FLOAT_EQ(inner.pixelScale(1024, 768), 0.5f);
    EXPECT_FLOAT_EQ(outer.pixelScale(1024, 768), 1.0f);
}

TEST(ControlTree, ChildrenListInCreationOrderAndLeaveWithEveryEntry) {
    ControlContainer container(nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    Image first(&container, 0.0f, 0.0f, 1.0f, 1.0f, "a.png");
    auto second = std::make_unique<Image>(&container, 0.0f, 0.0f, 1.0f, 1.0f, "b.png");
    Image third(&container, 0.0f, 0.0f, 1.0f, 1.0f, "c.png");
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{&first, second.get(), &third}));
    container.addControl(second.get());
    second.reset();
    EXPECT_EQ(container.getChildren(), (std::list<Control*>{&first, &third}));
}

// Nothing is hit before the first draw. Only a left-button event that
// presses the button (from MouseOver) is claimed; pressing again leaves it Down.
TEST(ButtonBeforeDrawing, NothingIsHitYet_KeysThatPressNothingPass) {
    WindowSize::set(1024, 768);
    ControlContainer container{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    ButtonSimple button{&container, -0.25f, 0.0f, 300.0f, nullptr, "Demo"};
    EXPECT_FALSE(button.hitTest(0.0f, 0.05f));
    EXPECT_EQ(button.getLabel(), nullptr);
    InputEventKeyUp left(0.0, KeyMouseLeft, 0.0, 0.1);
    button.handleEvent(left);
    EXPECT_FALSE(left.isConsumed());
    button.setState(ButtonSimple::MouseOver);
    InputEventKeyUp right(0.0, KeyMouseRight, 0.0, 0.1);
    button.handleEvent(right);
    EXPECT_FALSE(right.isConsumed());
    EXPECT_EQ(button.getState(), ButtonSimple::MouseOver);
    EXPECT_TRUE(button.press());
    EXPECT_FALSE(button.press());
    EXPECT_EQ(button.getState(), ButtonSimple::Down);
}

// Two humans, or player 1 against the expert; every record shown at once.
TEST(TurnCaption, NamesThePlayerToMove_NotWhileAMoveIsShown_AndTheThinkingComputer) {
    for (const bool twoHumans : {true, false}) {
        GameBoard board;
        const auto turn = [&] {
            return SporrikHud::turnCaption(board, board.winner());
        };
        EXPECT_EQ(turn(), "");
        board.setHuman(GameBoard::kPlayer1, true);
        board.setHuman(GameBoard::kPlayer2, twoHumans);
        board.setDifficulty(GameBoard::kExpert);
        board.newGame();
        while (board.popMove()) {
        }
        EXPECT_EQ(turn(), "Player 1 to move");
        board.clickField(0, 0);
        board.clickField(1, 1);
        board.setMoveDone(true);
        EXPECT_EQ(turn(), "");
        while (board.popMove()) {
        }
        EXPECT_EQ(turn(), twoHumans ? "Player 2 to move" : "Player 2 is thinking");
        board.setField(8, 8, GameBoard::kEmpty);
        EXPECT_EQ(turn(), "") << "decided";
    }
}

// A long frame carries its remainder, so the next frame updates again.
TEST(FrameCounter, QuarterSecondFramesShowFourFromTheFourthFrame_ALongFrameCarriesTheRemainder) {
    SporrikHud::FrameCounter counter;
    for (int frame = 1; frame <= 12; ++frame) {
        counter.count(0.25);
        EXPECT_EQ(counter.framesPerSecond, frame < 4 ? 0 : 4) << frame;
    }
    counter = {};
    counter.count(0.1);
    counter.count(0.1);
    counter.count(2.5);
    EXPECT_EQ(counter.framesPerSecond, 3);
    counter.count(0.0);
    EXPECT_EQ(counter.framesPerSecond, 1);
}

// The result names the winner, and only once the game is decided.
TEST(HudCaptions, ResultNamesTheWinnerOnceDecided) {
    for (const int winner : {0, GameBoard::kPlayer1, GameBoard::kPlayer2}) {
        GameBoard board;
        if (winner != 0) {
            board.setField(4, 4, winner);
        }
        ASSERT_EQ(board.winner(), winner);
        EXPECT_EQ(SporrikHud::compose(board, 61, 1024).result,
                  winner == 0 ? "" : "Player " + std::to_string(winner) + " Won!");
    }
}

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A scaled text shrinks both ways; a limit narrows only a line that exceeds it.
TEST(TextLayout, ScaleShrinksTheCellsAndAWidthLimitSqueezesOnlyALongerLine) {
    const Font::Metrics big = Font::Metrics::ofType(Font::kBig);
    const float advance = big.cellWidth * 2.0f / kWidth;
    const Text::Layout half = Text::layOut(big, "AB", 0, 0, kWidth, kHeight, 0.5f);
    EXPECT_FLOAT_EQ(half.width, advance);
    EXPECT_FLOAT_EQ(half.height, big.cellHeight / kHeight);
    EXPECT_FLOAT_EQ(Text::layOut(big, "AB", 0, 0, kWidth, kHeight, 1.0f, 3.0f * advance).width,
                    2.0f * advance);
    const Text::Layout squeezed =
        Text::layOut(big, "Fluid Demo", 0, 0, kWidth, kHeight, 1.0f, 5.0f * advance);
    EXPECT_FLOAT_EQ(squeezed.width, 5.0f * advance);
    EXPECT_FLOAT_EQ(squeezed.height, big.cellHeight * 2.0f / kHeight);
    EXPECT_LE(squeezed.glyphs.back().x1, squeezed.width + 2.0f / kWidth + 1.0e-6f);
}

// The font drawn is the smallest made that is not smaller than the text; a
// text larger than any is drawn from the largest.
TEST(FontSizes, TheSmallestMadeNotBelowTheScale_ElseTheLargest) {
    const std::pair<float, int> cases[] = {{0.4f, 75},  {0.75f, 75}, {0.8f, 100}, {1.0f, 100},
                                           {1.2f, 150}, {2.0f, 200}, {2.8f, 300}, {5.0f, 300}};
    for (const auto& [scale, percent] : cases) {
        EXPECT_EQ(Font::percentFor(scale), percent) << scale;
    }
}

// A menu of three buttons by keys: Down and Tab step forward, Up and
// Shift+Tab back, round the ends; Enter clicks the focused one as it comes
// up. A hidden button is passed over; when the focused one goes, the one in
// its place takes the focus. Other keys pass on.
TEST(MenuKeys, FocusStepsRoundAndActivates_HiddenAndRemovedButtonsArePassed) {
    struct Clicks : ControlListener {
        void onClick(Control* source) override { clicked.push_back(source); }
        void onMouseOver(Control*) override {}
        void onMouseOut(Control*) override {}
        std::vector<Control*> clicked;
    } listener;
    ControlContainer menu{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    Image logo{&menu, 0.0f, 0.0f, 1.0f, 1.0f, "logo.png"};
    std::vector<std::unique_ptr<ButtonSimple>> b;
    for (const char* caption : {"first", "second", "third"}) {
        b.push_back(std::make_unique<ButtonSimple>(&menu, 0.0f, 0.0f, 300.0f, nullptr, caption));
        b.back()->setListener(&listener);
    }
    const auto press = [&menu](int key, int modifiers = 0) {
        InputEventKeyDown down(0.0, key, modifiers);
        menu.handleEvent(down);
        InputEventKeyUp up(0.0, key, 0.0, 0.1, modifiers);
        menu.handleEvent(up);
        return static_cast<ButtonSimple*>(menu.getFocused())->getCaption();
    };
    menu.render(0.0, 0.0f);
    EXPECT_TRUE(b[0]->hasFocus());
    EXPECT_EQ(press(KeyArrowDown), "second");
    EXPECT_EQ(press(KeyTab), "third");
    EXPECT_EQ(press(KeyTab), "first");
    EXPECT_EQ(press(KeyArrowUp), "third");
    EXPECT_EQ(press(KeyTab, ModShift), "second");
    press(KeyEnter);
    EXPECT_EQ(listener.clicked, std::vector<Control*>{b[1].get()});
    InputEventKeyUp strayRelease(0.0, KeySpace, 0.0, 0.1);
    menu.handleEvent(strayRelease);
    EXPECT_EQ(listener.clicked.size(), 1u) << "a release pressed elsewhere clicked";
    b[2]->setVisible(false);
    EXPECT_EQ(press(KeyArrowDown), "first");
    b[2]->setVisible(true);
    press(KeyArrowDown);
    b[1].reset();
    menu.render(0.0, 0.0f);
    EXPECT_EQ(static_cast<ButtonSimple*>(menu.getFocused())->getCaption(), "third");
    InputEventKeyDown other(0.0, 'x');
    menu.handleEvent(other);
    EXPECT_FALSE(other.isConsumed());
}

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
    const std::tuple<Flags, int, Flags> cases[] = {
        {{true, false}, 2, {true, true}},   {{true, true}, 1, {false, true}},
        {{true, false}, 1, {false, false}}, {{false, false}, 2, {false, true}},
        {{true, false}, 0, {true, false}},  {{true, false}, 3, {true, false}},
    };
    for (const auto& [before, player, after] : cases) {
        Flags flags = before;
        MenuNewGame::togglePlayer(flags, player);
        EXPECT_EQ(flags, after) << "player " << player << " from " << before[0] << before[1];
    }
}

// Each option's button steps through all its values, each with a caption of
// its own, and wraps round to the first; no other option moves.
TEST(OptionSteps, EveryValueOnceThenBackToTheFirst_OthersUntouched) {
    const std::pair<MenuOptions::Row, int> cases[] = {{MenuOptions::Quality, 3},
                                                      {MenuOptions::Screen, 2},
                                                      {MenuOptions::Volume, OptionValues::kVolumeSteps + 1},
                                                      {MenuOptions::Hints, 2},
                                                      {MenuOptions::Scale, 4},
                                                      {MenuOptions::TextSize, 4}};
    OptionValues start;
    start.volume = 1;
    for (const auto& [row, count] : cases) {
        SCOPED_TRACE(testing::Message() << "row " << row);
        OptionValues values = start;
        std::set<std::string> captions;
        for (int i = 0; i < count; ++i) {
            captions.insert(MenuOptions::caption(values, row, false));
            values = MenuOptions::stepped(values, row);
            for (int other = 0; other < MenuOptions::kRows; ++other) {
                if (other != row) {
                    const auto unchanged = static_cast<MenuOptions::Row>(other);
                    EXPECT_EQ(MenuOptions::caption(values, unchanged, false),
                              MenuOptions::caption(start, unchanged, false));
                }
            }
        }
        EXPECT_EQ(values, start);
        EXPECT_EQ(captions.size(), static_cast<size_t>(count));
    }
}

} // namespace
