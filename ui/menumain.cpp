#include "ui/menumain.h"

#include "game/gameboard.h"
#include "input/inputevent.h"
#include "resources/texturemanager.h"
#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/gamehost.h"
#include "ui/image.h"
#include "ui/menudemos.h"
#include "ui/menugames.h"
#include "ui/menuhost.h"
#include "ui/menunetwork.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/networkhost.h"

namespace {
constexpr int kListTexturesKey = KeyF1 + 9; // F10
} // namespace

namespace {
// "Network Game" is longer than a standard button holds.
constexpr float kNetworkButtonWidth = 400.0f;
} // namespace

MenuMain::MenuMain(MenuHost& host, OptionsHost& options, GameHost& game, NetworkHost& network)
    : host(host), game(game), network(network),
      container(nullptr, 0.0f, 0.0f, kContainerSize, kContainerSize) {
    container.setLayoutSize(kLayoutWidth, kLayoutHeight);
    font = std::make_unique<Font>(kFontName, Font::kBig);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, kLogoWidth, kLogoHeight, kLogoName);
    continueButton = makeButton(container, font.get(), this, "Continue");
    resignButton = makeButton(container, font.get(), this, "Resign");
    newGameButton = makeButton(container, font.get(), this, "New Game");
    networkButton = makeButton(container, font.get(), this, "Network Game", kNetworkButtonWidth);
    gamesButton = makeButton(container, font.get(), this, "Games");
    demosButton = makeButton(container, font.get(), this, "Demos");
    optionsButton = makeButton(container, font.get(), this, "Options");
    exitButton = makeButton(container, font.get(), this, "Exit");
    newGameMenu = std::make_unique<MenuNewGame>(host, game);
    optionsMenu = std::make_unique<MenuOptions>(host, options);
    demosMenu = std::make_unique<MenuDemos>(host, game);
    gamesMenu = std::make_unique<MenuGames>(host, game);
    networkMenu = std::make_unique<MenuNetwork>(host, network);
    layout();
}

MenuMain::~MenuMain() {
    // The controls leave the container, which is destroyed after them.
    font.reset();
    logo.reset();
    continueButton.reset();
    resignButton.reset();
    newGameButton.reset();
    networkButton.reset();
    gamesButton.reset();
    demosButton.reset();
    optionsButton.reset();
    exitButton.reset();
    newGameMenu.reset();
    optionsMenu.reset();
    demosMenu.reset();
    gamesMenu.reset();
    networkMenu.reset();
}

bool MenuMain::canContinue(const GameBoard& board) {
    // A network game is continued through its connection, not from the board.
    const bool remote = board.isRemote(GameBoard::kPlayer1) || board.isRemote(GameBoard::kPlayer2);
    return board.isRunning() && !remote &&
           (board.isHuman(GameBoard::kPlayer1) || board.isHuman(GameBoard::kPlayer2));
}

std::unique_ptr<ButtonSimple> MenuMain::makeButton(ControlContainer& container, Font* font,
                                                   ControlListener* listener, const std::string& caption,
                                                   float width) {
    auto button = std::make_unique<ButtonSimple>(&container, 0.0f, 0.0f, width, font, caption);
    button->setListener(listener);
    return button;
}

void MenuMain::layout() {
    const bool continuable = game.canContinue();
    continueButton->setVisible(continuable);
    std::vector<MenuLayout::Row> rows;
    if (continuable) {
        rows.push_back({continueButton.get()});
    }
    const bool resignable = network.canResign();
    resignButton->setVisible(resignable);
    if (resignable) {
        rows.push_back({resignButton.get()});
    }
    for (ButtonSimple* button : {newGameButton.get(), networkButton.get(), gamesButton.get(),
                                 demosButton.get(), optionsButton.get(), exitButton.get()}) {
        rows.push_back({button});
    }
    MenuLayout::place(container, *logo, rows, {kLogoY, kMainFirstButtonY});
}

void MenuMain::render(double, float) {
    layout();
}

void MenuMain::linkChildren() {
    linkChild(&container);
}

void MenuMain::attach() {
    layout();
}

void MenuMain::onClick(Control* source) {
    if (source == continueButton.get()) {
        game.continueGame();
        host.leaveMenus();
    } else if (source == resignButton.get()) {
        network.resign();
        host.leaveMenus();
    } else if (source == newGameButton.get()) {
        host.showMenu(newGameMenu.get());
    } else if (source == networkButton.get()) {
        host.showMenu(networkMenu.get());
    } else if (source == gamesButton.get()) {
        host.showMenu(gamesMenu.get());
    } else if (source == demosButton.get()) {
        host.showMenu(demosMenu.get());
    } else if (source == optionsButton.get()) {
        host.showMenu(optionsMenu.get());
    } else if (source == exitButton.get()) {
        // Never returns: the menus are gone once it has run.
        host.quit();
    }
}

void MenuMain::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKeyUp*>(&e);
    if (key == nullptr) {
        return;
    }
    if (key->getKey() == KeyEscape) {
        e.consume();
        host.leaveMenus();
    } else if (key->getKey() == kListTexturesKey) {
        e.consume();
        TextureManager::instance().listTextures();
    }
}
