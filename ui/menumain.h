#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/menu.h"
#include "ui/menulayout.h"
#include "ui/textscale.h"

#include <memory>
#include <string>
#include <vector>

class ButtonSimple;
class Font;
class GameBoard;
class GameHost;
class Image;
class MenuDemos;
class MenuGames;
class MenuHost;
class MenuNetwork;
class MenuNewGame;
class NetworkHost;
class MenuOptions;
class OptionsHost;

// The first screen: the logo over "Continue" (while a game can be
// continued), "Resign" (during a network game), "New Game", "Network Game",
// "Games", "Demos", "Options" and "Exit". Escape shows the scene, F10 lists
// the textures.
class MenuMain : public Menu, public EventConsumer, public ControlListener {
public:
    // Shared by both menus.
    static constexpr float kContainerSize = 1.0f;
    // The window size the menus were laid out for; smaller windows show them
    // scaled down as a whole.
    static constexpr int kLayoutWidth = TextScale::kLayoutWidth;
    static constexpr int kLayoutHeight = TextScale::kLayoutHeight;
    static constexpr const char* kFontName = "fontbig";
    static constexpr const char* kLogoName = "menu/spr2-logo.png";
    static constexpr float kLogoWidth = MenuLayout::kLogoWidth;
    static constexpr float kLogoHeight = MenuLayout::kLogoHeight;
    // The logo's lower edge, half-way up the screen, and the top button's,
    // where everything fits there.
    static constexpr float kLogoY = 0.5f;
    static constexpr float kFirstButtonY = 0.1f;
    // The main menu's seven rows start higher, just below the logo, where
    // they all fit the layout's places.
    static constexpr float kMainFirstButtonY = 0.3125f;
    static constexpr float kButtonWidth = 300.0f;

    // host, options and game: the application, which outlives the menu.
    MenuMain(MenuHost& host, OptionsHost& options, GameHost& game, NetworkHost& network);
    ~MenuMain() override;

    // The game on this board can be continued while it runs and a human
    // plays in it; the demo's computers are not continued.
    static bool canContinue(const GameBoard& board);
    // A menu's button: width pixels wide at (0, 0) in container, reporting to
    // listener (not owned, as font).
    static std::unique_ptr<ButtonSimple> makeButton(ControlContainer& container, Font* font,
                                                    ControlListener* listener, const std::string& caption,
                                                    float width = kButtonWidth);

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent& e) override;

    ButtonSimple* getContinueButton() const { return continueButton.get(); }
    ButtonSimple* getNewGameButton() const { return newGameButton.get(); }
    ButtonSimple* getNetworkButton() const { return networkButton.get(); }
    ButtonSimple* getResignButton() const { return resignButton.get(); }
    ButtonSimple* getGamesButton() const { return gamesButton.get(); }
    ButtonSimple* getDemosButton() const { return demosButton.get(); }
    ButtonSimple* getOptionsButton() const { return optionsButton.get(); }
    ButtonSimple* getExitButton() const { return exitButton.get(); }
    Image* getLogo() const { return logo.get(); }
    MenuNewGame* getNewGameMenu() const { return newGameMenu.get(); }
    MenuOptions* getOptionsMenu() const { return optionsMenu.get(); }
    MenuDemos* getDemosMenu() const { return demosMenu.get(); }
    MenuGames* getGamesMenu() const { return gamesMenu.get(); }
    MenuNetwork* getNetworkMenu() const { return networkMenu.get(); }

private:
    void layout();

    MenuHost& host;
    GameHost& game;
    NetworkHost& network;
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Image> logo;
    std::unique_ptr<ButtonSimple> continueButton;
    std::unique_ptr<ButtonSimple> resignButton;
    std::unique_ptr<ButtonSimple> newGameButton;
    std::unique_ptr<ButtonSimple> networkButton;
    std::unique_ptr<ButtonSimple> gamesButton;
    std::unique_ptr<ButtonSimple> demosButton;
    std::unique_ptr<ButtonSimple> optionsButton;
    std::unique_ptr<ButtonSimple> exitButton;
    std::unique_ptr<MenuNewGame> newGameMenu;
    std::unique_ptr<MenuOptions> optionsMenu;
    std::unique_ptr<MenuDemos> demosMenu;
    std::unique_ptr<MenuGames> gamesMenu;
    std::unique_ptr<MenuNetwork> networkMenu;
};
