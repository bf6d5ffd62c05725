#include "ui/menugames.h"

#include "input/inputevent.h"
#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/gamehost.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menulayout.h"
#include "ui/menumain.h"

#include <algorithm>

namespace {
// Wide enough for a line of the small font: date, players, counts, result.
constexpr float kRowWidth = 720.0f;
constexpr float kPageButtonWidth = 380.0f;
} // namespace

MenuGames::MenuGames(MenuHost& host, GameHost& game)
    : host(host), game(game),
      container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(MenuMain::kFontName, Font::kBig);
    smallFont = std::make_unique<Font>("fontsmall", Font::kSmall);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, MenuMain::kLogoWidth, MenuMain::kLogoHeight,
                                   MenuMain::kLogoName);
    for (auto& button : rowButtons) {
        button = MenuMain::makeButton(container, smallFont.get(), this, "", kRowWidth);
    }
    olderButton = MenuMain::makeButton(container, font.get(), this, "Older games", kPageButtonWidth);
    newerButton = MenuMain::makeButton(container, font.get(), this, "Newer games", kPageButtonWidth);
    returnButton = MenuMain::makeButton(container, font.get(), this, "Back");
}

MenuGames::~MenuGames() = default;

int MenuGames::pageStart(int line, int count) {
    if (count <= 0) {
        return 0;
    }
    const int held = std::clamp(line, 0, count - 1);
    return held - held % kRowsPerPage;
}

void MenuGames::shown() {
    lines = game.listGames();
    first = pageStart(first, static_cast<int>(lines.size()));
    layout();
}

void MenuGames::layout() {
    std::vector<MenuLayout::Row> stack;
    const int count = static_cast<int>(lines.size());
    for (int row = 0; row < kRowsPerPage; ++row) {
        ButtonSimple& button = *rowButtons[static_cast<size_t>(row)];
        const int line = first + row;
        // An empty folder says so on the first row.
        const bool used = line < count || (count == 0 && row == 0);
        button.setVisible(used);
        button.setCaption(line < count ? lines[static_cast<size_t>(line)] : kNoGames);
        if (used) {
            stack.push_back({&button});
        }
    }
    olderButton->setVisible(first + kRowsPerPage < count);
    newerButton->setVisible(first > 0);
    for (ButtonSimple* button : {olderButton.get(), newerButton.get()}) {
        if (button->isVisible()) {
            stack.push_back({button});
        }
    }
    stack.push_back({returnButton.get()});
    MenuLayout::place(container, *logo, stack, {MenuMain::kLogoY, MenuMain::kFirstButtonY});
}

void MenuGames::render(double, float) {
    layout();
}

void MenuGames::linkChildren() {
    linkChild(&container);
}

void MenuGames::attach() {
    layout();
}

void MenuGames::onClick(Control* source) {
    const int count = static_cast<int>(lines.size());
    if (source == olderButton.get()) {
        first = pageStart(first + kRowsPerPage, count);
    } else if (source == newerButton.get()) {
        first = pageStart(first - kRowsPerPage, count);
    } else if (source == returnButton.get()) {
        host.closeMenu(this);
        return;
    }
    for (int row = 0; row < kRowsPerPage; ++row) {
        const int line = first + row;
        if (source != rowButtons[static_cast<size_t>(row)].get() || line >= count) {
            continue;
        }
        if (game.openGame(line)) {
            // Escape in the replay brings back the main menu.
            host.closeMenu(this);
            host.leaveMenus();
            return;
        }
        // Gone or damaged meanwhile: the list as it now stands.
        shown();
        return;
    }
    layout();
}

void MenuGames::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKeyUp*>(&e);
    if (key != nullptr && key->getKey() == KeyEscape) {
        e.consume();
        host.closeMenu(this);
    }
}
