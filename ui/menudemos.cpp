#include "ui/menudemos.h"

#include "input/inputevent.h"
#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/gamehost.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menulayout.h"
#include "ui/menumain.h"

MenuDemos::MenuDemos(MenuHost& host, GameHost& game)
    : host(host), game(game),
      container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(MenuMain::kFontName, Font::kBig);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, MenuMain::kLogoWidth, MenuMain::kLogoHeight,
                                   MenuMain::kLogoName);
    demoButton = MenuMain::makeButton(container, font.get(), this, "Demo");
    fluidDemoButton = MenuMain::makeButton(container, font.get(), this, "Fluid Demo");
    returnButton = MenuMain::makeButton(container, font.get(), this, "Back");
}

MenuDemos::~MenuDemos() = default;

void MenuDemos::layout() {
    MenuLayout::place(container, *logo, {{demoButton.get()}, {fluidDemoButton.get()}, {returnButton.get()}},
                      {MenuMain::kLogoY, MenuMain::kFirstButtonY});
}

void MenuDemos::render(double, float) {
    layout();
}

void MenuDemos::linkChildren() {
    linkChild(&container);
}

void MenuDemos::attach() {
    layout();
}

void MenuDemos::onClick(Control* source) {
    if (source == demoButton.get()) {
        game.startDemo();
    } else if (source == fluidDemoButton.get()) {
        game.startFluidDemo();
    } else if (source != returnButton.get()) {
        return;
    }
    // The main menu is what Escape in the demonstration brings back.
    host.closeMenu(this);
    if (source != returnButton.get()) {
        host.leaveMenus();
    }
}

void MenuDemos::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKeyUp*>(&e);
    if (key != nullptr && key->getKey() == KeyEscape) {
        e.consume();
        host.closeMenu(this);
    }
}
