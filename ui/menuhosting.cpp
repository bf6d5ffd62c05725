#include "ui/menuhosting.h"

#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menulayout.h"
#include "ui/menumain.h"
#include "ui/menunetwork.h"
#include "ui/networkhost.h"
#include "ui/text.h"

#include <vector>

namespace {
const char* const kDash = "\u2014";
constexpr float kWideButton = 420.0f;
constexpr float kFirstRowY = 0.3f;
// Addresses beyond these are left out: a friend needs one.
constexpr size_t kAddressesShown = 3;
} // namespace

MenuHosting::MenuHosting(MenuHost& host, NetworkHost& network, MenuNetwork& owner)
    : host(host), network(network), owner(owner),
      container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(MenuMain::kFontName, Font::kBig);
    smallFont = std::make_unique<Font>("fontsmall", Font::kSmall);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, MenuMain::kLogoWidth, MenuMain::kLogoHeight,
                                   MenuMain::kLogoName);
    codeCaption =
        std::make_unique<Text>(&container, 0.0f, 0.0f, smallFont.get(), "Tell your friend this code:");
    codeText = std::make_unique<Text>(&container, 0.0f, 0.0f, font.get(), "");
    codeText->setMagnification(kCodeMagnification);
    addressText = std::make_unique<Text>(&container, 0.0f, 0.0f, smallFont.get(), "");
    waitingText = std::make_unique<Text>(&container, 0.0f, 0.0f, smallFont.get(), "");
    swapButton = MenuMain::makeButton(container, font.get(), this, "Play Player 2", kWideButton);
    cancelButton = MenuMain::makeButton(container, font.get(), this, "Cancel", kWideButton);
}

MenuHosting::~MenuHosting() = default;

void MenuHosting::layout() {
    const std::string code = network.joinCode();
    const int seat = network.ownSeat();
    const int other = seat == 1 ? 2 : 1;
    codeText->setText(code.empty() ? std::string("...") : code);
    std::string where;
    const std::vector<std::string> addresses = network.reachableAt();
    for (size_t i = 0; i < addresses.size() && i < kAddressesShown; ++i) {
        where += (i == 0 ? "" : ", ") + addresses[i];
    }
    addressText->setText(where.empty() ? std::string() : "Address: " + where);
    if (network.networkPhase() == NetworkHost::Phase::Waiting) {
        waitingText->setText("Waiting for player " + std::to_string(other) + " " + kDash + " code " + code);
    } else {
        waitingText->setText(network.statusText());
    }
    swapButton->setCaption("Play Player " + std::to_string(other));
    std::vector<MenuLayout::Row> rows = {MenuLayout::Row::line(codeCaption.get()),
                                         MenuLayout::Row::line(codeText.get())};
    addressText->setVisible(!where.empty());
    if (!where.empty()) {
        rows.push_back(MenuLayout::Row::line(addressText.get()));
    }
    rows.push_back(MenuLayout::Row::line(waitingText.get()));
    rows.push_back({swapButton.get()});
    rows.push_back({cancelButton.get()});
    MenuLayout::place(container, *logo, rows, {MenuMain::kLogoY, kFirstRowY});
}

void MenuHosting::render(double, float) {
    switch (network.networkPhase()) {
    case NetworkHost::Phase::Playing:
    case NetworkHost::Phase::Watching:
        owner.showTable();
        return;
    case NetworkHost::Phase::Failed:
    case NetworkHost::Phase::Idle:
        host.closeMenu(this);
        return;
    default:
        break;
    }
    layout();
}

void MenuHosting::linkChildren() {
    linkChild(&container);
}

void MenuHosting::attach() {
    layout();
}

void MenuHosting::deactivated(Menu*) {
    const NetworkHost::Phase phase = network.networkPhase();
    if (phase == NetworkHost::Phase::Waiting || phase == NetworkHost::Phase::Connecting) {
        network.cancelNetworkGame();
    }
}

void MenuHosting::onClick(Control* source) {
    if (source == swapButton.get()) {
        network.swapSides();
    } else if (source == cancelButton.get()) {
        host.closeMenu(this);
        return;
    }
    layout();
}
