#include "ui/menunetwork.h"

#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menuhosting.h"
#include "ui/menulayout.h"
#include "ui/menumain.h"
#include "ui/menunetform.h"
#include "ui/networkhost.h"
#include "ui/text.h"

#include <algorithm>

namespace {
const char* const kEllipsis = "\u2026";
// "Create on Server" is longer than a standard button holds.
constexpr float kWideButton = 460.0f;
constexpr float kFirstRowY = 0.2f;
} // namespace

MenuNetwork::MenuNetwork(MenuHost& host, NetworkHost& network)
    : host(host), network(network),
      container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(MenuMain::kFontName, Font::kBig);
    smallFont = std::make_unique<Font>("fontsmall", Font::kSmall);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, MenuMain::kLogoWidth, MenuMain::kLogoHeight,
                                   MenuMain::kLogoName);
    for (auto& line : messageLines) {
        line = std::make_unique<Text>(&container, 0.0f, 0.0f, smallFont.get(), "");
    }
    hostButton = MenuMain::makeButton(container, font.get(), this, "Host Game", kWideButton);
    joinButton = MenuMain::makeButton(container, font.get(), this, "Join Game", kWideButton);
    createButton = MenuMain::makeButton(container, font.get(), this, "Create on Server", kWideButton);
    watchButton = MenuMain::makeButton(container, font.get(), this, "Watch", kWideButton);
    returnButton = MenuMain::makeButton(container, font.get(), this, "Back", kWideButton);
    form = std::make_unique<MenuNetForm>(host, network, *this);
    hosting = std::make_unique<MenuHosting>(host, network, *this);
}

MenuNetwork::~MenuNetwork() {
    form.reset();
    hosting.reset();
}

std::vector<std::string> MenuNetwork::wrap(const std::string& text, size_t width, size_t lines) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size() && out.size() < lines && width > 0) {
        while (at < text.size() && text[at] == ' ') {
            ++at;
        }
        size_t end = at + width;
        if (end >= text.size()) {
            out.push_back(text.substr(at));
            at = text.size();
            break;
        }
        const size_t space = text.rfind(' ', end);
        end = space != std::string::npos && space > at ? space : end;
        out.push_back(text.substr(at, end - at));
        at = end;
    }
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    if (at < text.size() && !out.empty()) {
        // Cut short: the last line says so, within its width.
        std::string& last = out.back();
        if (last.size() + 1 > width) {
            last.resize(width - 1);
        }
        last += kEllipsis;
    }
    return out;
}

void MenuNetwork::layout() {
    const std::vector<std::string> message = wrap(network.failure(), kLineLength, kMessageLines);
    std::vector<MenuLayout::Row> rows;
    for (size_t i = 0; i < messageLines.size(); ++i) {
        const bool used = i < message.size();
        messageLines[i]->setText(used ? message[i] : std::string());
        messageLines[i]->setVisible(used);
    }
    // The message takes one row: its second line stands close under the first.
    if (!message.empty()) {
        rows.push_back(MenuLayout::Row::line(messageLines[0].get()));
    }
    for (ButtonSimple* button :
         {hostButton.get(), joinButton.get(), createButton.get(), watchButton.get(), returnButton.get()}) {
        rows.push_back({button});
    }
    MenuLayout::place(container, *logo, rows, {MenuMain::kLogoY, kFirstRowY});
    if (message.size() > 1) {
        float x = 0.0f;
        float y = 0.0f;
        messageLines[0]->getDrawPosition(x, y);
        const float lineHeight = messageLines[0]->measure().height;
        // Placed centred: the first line's half width gives the advance per character.
        const float advance =
            -2.0f * x / static_cast<float>(std::max<size_t>(Text::countCharacters(message[0]), 1));
        messageLines[0]->setPosition(x, y + lineHeight / 2.0f);
        messageLines[1]->setPosition(-advance * static_cast<float>(Text::countCharacters(message[1])) / 2.0f,
                                     y - lineHeight / 2.0f);
    }
}

void MenuNetwork::render(double, float) {
    layout();
}

void MenuNetwork::linkChildren() {
    linkChild(&container);
}

void MenuNetwork::attach() {
    layout();
}

void MenuNetwork::showTable() {
    host.closeMenu(form.get());
    host.closeMenu(hosting.get());
    host.closeMenu(this);
    host.leaveMenus();
}

void MenuNetwork::showFailure() {
    host.closeMenu(form.get());
    host.closeMenu(hosting.get());
    host.showMenu(this);
}

void MenuNetwork::showWaiting() {
    host.closeMenu(form.get());
    host.showMenu(this);
    host.showMenu(hosting.get());
}

void MenuNetwork::onClick(Control* source) {
    if (source == hostButton.get()) {
        network.clearFailure();
        const std::string why = network.hostGame();
        if (why.empty()) {
            host.showMenu(hosting.get());
        }
    } else if (source == joinButton.get()) {
        network.clearFailure();
        form->setMode(MenuNetForm::Mode::Join);
        host.showMenu(form.get());
    } else if (source == createButton.get()) {
        network.clearFailure();
        form->setMode(MenuNetForm::Mode::Create);
        host.showMenu(form.get());
    } else if (source == watchButton.get()) {
        network.clearFailure();
        form->setMode(MenuNetForm::Mode::Watch);
        host.showMenu(form.get());
    } else if (source == returnButton.get()) {
        network.clearFailure();
        host.closeMenu(this);
        return;
    }
    layout();
}
