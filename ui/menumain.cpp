#include "ui/menumain.h"

#include "game/gameboard.h"
#include "input/inputevent.h"
#include "resources/texturemanager.h"
#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"

namespace {
const char* const kNewGame = "New Game";
const char* const kContinue = "Continue";
constexpr int kListTexturesKey = KeyF1 + 9; // F10
} // namespace

MenuMain::MenuMain(GameBoard* board, MenuHost& host, OptionsHost& options)
    : board(board), host(host), container(nullptr, 0.0f, 0.0f, kContainerSize, kContainerSize) {
    container.setLayoutSize(kLayoutWidth, kLayoutHeight);
    font = std::make_unique<Font>(kFontName, Font::kBig);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, kLogoWidth, kLogoHeight, kLogoName);
    playButton = makeButton(container, font.get(), this, "Play");
    demoButton = makeButton(container, font.get(), this, "Demo");
    fluidDemoButton = makeButton(container, font.get(), this, "Fluid Demo");
    optionsButton = makeButton(container, font.get(), this, "Options");
    exitButton = makeButton(container, font.get(), this, "Exit");
    newGameMenu = std::make_unique<MenuNewGame>(board, host);
    optionsMenu = std::make_unique<MenuOptions>(host, options);
    layout();
}

MenuMain::~MenuMain() {
    // The controls leave the container, which is destroyed after them.
    font.reset();
    logo.reset();
    playButton.reset();
    demoButton.reset();
    fluidDemoButton.reset();
    optionsButton.reset();
    exitButton.reset();
    newGameMenu.reset();
    optionsMenu.reset();
}

bool MenuMain::canContinue(const GameBoard& board) {
    return board.isRunning() && (board.isHuman(GameBoard::kPlayer1) || board.isHuman(GameBoard::kPlayer2));
}

std::unique_ptr<ButtonSimple> MenuMain::makeButton(ControlContainer& container, Font* font,
                                                   ControlListener* listener, const std::string& caption,
                                                   float width) {
    auto button = std::make_unique<ButtonSimple>(&container, 0.0f, 0.0f, width, font, caption);
    button->setListener(listener);
    return button;
}

void MenuMain::layout() {
    playButton->setCaption(canContinue(*board) ? kContinue : kNewGame);
    MenuLayout::place(container, *logo,
                      {{playButton.get()},
                       {demoButton.get()},
                       {fluidDemoButton.get()},
                       {optionsButton.get()},
                       {exitButton.get()}},
                      {kLogoY, kFirstButtonY});
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
    if (source == playButton.get()) {
        if (canContinue(*board)) {
            host.leaveMenus();
        } else {
            host.showMenu(newGameMenu.get());
        }
    } else if (source == demoButton.get()) {
        board->setHuman(GameBoard::kPlayer1, false);
        board->setHuman(GameBoard::kPlayer2, false);
        board->setDifficulty(GameBoard::kHard);
        board->newGame();
        host.leaveMenus();
    } else if (source == fluidDemoButton.get()) {
        host.leaveMenus();
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
