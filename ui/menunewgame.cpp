#include "ui/menunewgame.h"

#include "game/gameboard.h"
#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/gamehost.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menulayout.h"
#include "ui/menumain.h"
#include "ui/text.h"

namespace {
const char* const kHuman = "Human";
const char* const kComputer = "Computer";
constexpr float kFirstRowY = 0.2f;
// "Expert Game" is one character longer than a standard button holds.
constexpr float kExpertButtonWidth = 360.0f;
} // namespace

MenuNewGame::MenuNewGame(MenuHost& host, GameHost& game)
    : host(host), game(game),
      container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(MenuMain::kFontName, Font::kBig);
    for (int player = 1; player <= kPlayers; ++player) {
        playerLabels[static_cast<size_t>(player - 1)] = std::make_unique<Text>(
            &container, 0.0f, 0.0f, font.get(), "Player " + std::to_string(player) + ":");
    }
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, MenuMain::kLogoWidth, MenuMain::kLogoHeight,
                                   MenuMain::kLogoName);
    for (auto& button : playerKindButtons) {
        button = MenuMain::makeButton(container, font.get(), this, kHuman);
    }
    easyButton = MenuMain::makeButton(container, font.get(), this, "Easy Game");
    hardButton = MenuMain::makeButton(container, font.get(), this, "Hard Game");
    expertButton = MenuMain::makeButton(container, font.get(), this, "Expert Game", kExpertButtonWidth);
    returnButton = MenuMain::makeButton(container, font.get(), this, "Back");
}

MenuNewGame::~MenuNewGame() = default;

void MenuNewGame::togglePlayer(HumanFlags& flags, int player) {
    if (player < 1 || player > kPlayers) {
        return;
    }
    const auto own = static_cast<size_t>(player - 1);
    flags[own] = !flags[own];
}

const char* MenuNewGame::kindCaption(bool human) {
    return human ? kHuman : kComputer;
}

void MenuNewGame::layout() {
    for (size_t i = 0; i < playerKindButtons.size(); ++i) {
        playerKindButtons[i]->setCaption(kindCaption(humanFlags[i]));
    }
    MenuLayout::place(container, *logo,
                      {{playerKindButtons[0].get(), playerLabels[0].get()},
                       {playerKindButtons[1].get(), playerLabels[1].get()},
                       {easyButton.get()},
                       {hardButton.get()},
                       {expertButton.get()},
                       {returnButton.get()}},
                      {MenuMain::kLogoY, kFirstRowY});
}

void MenuNewGame::render(double, float) {
    layout();
}

void MenuNewGame::linkChildren() {
    linkChild(&container);
}

void MenuNewGame::attach() {
    layout();
}

void MenuNewGame::startGame(int level) {
    lastLevel = level;
    game.startGame(humanFlags, level);
    host.closeMenu(this);
    host.leaveMenus();
}

void MenuNewGame::onClick(Control* source) {
    if (source == playerKindButtons[0].get()) {
        togglePlayer(humanFlags, GameBoard::kPlayer1);
    } else if (source == playerKindButtons[1].get()) {
        togglePlayer(humanFlags, GameBoard::kPlayer2);
    } else if (source == easyButton.get()) {
        startGame(GameBoard::kEasy);
    } else if (source == hardButton.get()) {
        startGame(GameBoard::kHard);
    } else if (source == expertButton.get()) {
        startGame(GameBoard::kExpert);
    } else if (source == returnButton.get()) {
        host.closeMenu(this);
    }
    layout();
}
