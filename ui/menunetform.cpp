#include "ui/menunetform.h"

#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menulayout.h"
#include "ui/menumain.h"
#include "ui/menunetwork.h"
#include "ui/networkhost.h"
#include "ui/text.h"
#include "ui/textfield.h"

#include <vector>

namespace {
// The widest field beside its label that the layout keeps at full size.
constexpr float kFieldWidth = 490.0f;
constexpr float kLanButtonWidth = 640.0f;
constexpr float kFirstRowY = 0.2f;
const char* const kActions[] = {"Join", "Create", "Watch"};
} // namespace

MenuNetForm::MenuNetForm(MenuHost& host, NetworkHost& network, MenuNetwork& owner)
    : host(host), network(network), owner(owner),
      container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(MenuMain::kFontName, Font::kBig);
    smallFont = std::make_unique<Font>("fontsmall", Font::kSmall);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, MenuMain::kLogoWidth, MenuMain::kLogoHeight,
                                   MenuMain::kLogoName);
    for (auto& button : lanButtons) {
        button = MenuMain::makeButton(container, font.get(), this, "", kLanButtonWidth);
    }
    const auto paste = [&network] {
        return network.clipboardText();
    };
    addressLabel = std::make_unique<Text>(&container, 0.0f, 0.0f, font.get(), "Address:");
    addressField = std::make_unique<TextField>(&container, kFieldWidth, font.get(), kAddressLength);
    addressField->setListener(this);
    addressField->setPasteSource(paste);
    addressField->setPlaceholder("host:port");
    codeLabel = std::make_unique<Text>(&container, 0.0f, 0.0f, font.get(), "Code:");
    codeField = std::make_unique<TextField>(&container, kFieldWidth, font.get(), kCodeLength);
    codeField->setListener(this);
    codeField->setPasteSource(paste);
    codeField->setPlaceholder("KTR-4QX-M7P");
    message = std::make_unique<Text>(&container, 0.0f, 0.0f, smallFont.get(), "");
    actionButton = MenuMain::makeButton(container, font.get(), this, kActions[0]);
    returnButton = MenuMain::makeButton(container, font.get(), this, "Back");
}

MenuNetForm::~MenuNetForm() = default;

void MenuNetForm::setMode(Mode newMode) {
    mode = newMode;
    actionButton->setCaption(kActions[static_cast<int>(mode)]);
}

bool MenuNetForm::isTyping() const {
    return addressField->hasFocus() || codeField->hasFocus();
}

void MenuNetForm::layout() {
    std::vector<MenuLayout::Row> rows;
    const std::vector<NetworkHost::LanGame> games =
        mode == Mode::Join ? network.lanGames() : std::vector<NetworkHost::LanGame>();
    for (size_t i = 0; i < lanButtons.size(); ++i) {
        const bool used = i < games.size();
        lanButtons[i]->setVisible(used);
        if (used) {
            lanButtons[i]->setCaption(games[i].caption);
            rows.push_back({lanButtons[i].get()});
        }
    }
    rows.push_back({addressField.get(), kFieldWidth, addressLabel.get()});
    const bool coded = mode != Mode::Create;
    codeField->setVisible(coded);
    codeLabel->setVisible(coded);
    if (coded) {
        rows.push_back({codeField.get(), kFieldWidth, codeLabel.get()});
    }
    const std::string status =
        network.networkPhase() == NetworkHost::Phase::Connecting ? network.statusText() : problem;
    const std::vector<std::string> lines = MenuNetwork::wrap(status, MenuNetwork::kLineLength, 1);
    message->setText(lines.empty() ? std::string() : lines.front());
    message->setVisible(!lines.empty());
    if (!lines.empty()) {
        rows.push_back(MenuLayout::Row::line(message.get()));
    }
    rows.push_back({actionButton.get()});
    rows.push_back({returnButton.get()});
    MenuLayout::place(container, *logo, rows, {MenuMain::kLogoY, kFirstRowY});
}

void MenuNetForm::render(double elapsed, float) {
    switch (network.networkPhase()) {
    case NetworkHost::Phase::Playing:
    case NetworkHost::Phase::Watching:
        owner.showTable();
        return;
    case NetworkHost::Phase::Waiting:
        owner.showWaiting();
        return;
    case NetworkHost::Phase::Failed:
        // The network menu names what failed.
        host.closeMenu(this);
        return;
    default:
        break;
    }
    sinceSearch += elapsed;
    if (mode == Mode::Join && sinceSearch >= kSearchInterval) {
        sinceSearch = 0.0;
        network.searchLan();
    }
    layout();
}

void MenuNetForm::linkChildren() {
    linkChild(&container);
}

void MenuNetForm::attach() {
    layout();
}

void MenuNetForm::activated(Menu* previous) {
    if (previous != nullptr && previous != &owner) {
        return;
    }
    problem.clear();
    if (addressField->getText().empty()) {
        addressField->setText(network.rememberedServer());
    }
    if (mode == Mode::Join) {
        sinceSearch = 0.0;
        network.searchLan();
    }
    // The first field still to fill takes the keys.
    const bool addressGiven = !addressField->getText().empty();
    TextField* first = addressGiven && mode != Mode::Create ? codeField.get() : addressField.get();
    first->requestFocus();
    layout();
}

void MenuNetForm::deactivated(Menu*) {
    if (network.networkPhase() == NetworkHost::Phase::Connecting) {
        network.cancelNetworkGame();
    }
}

void MenuNetForm::submit() {
    if (network.networkPhase() == NetworkHost::Phase::Connecting) {
        return;
    }
    network.clearFailure();
    switch (mode) {
    case Mode::Join:
        problem = network.joinGame(addressField->getText(), codeField->getText());
        break;
    case Mode::Create:
        problem = network.createOnServer(addressField->getText());
        break;
    case Mode::Watch:
        problem = network.watchGame(addressField->getText(), codeField->getText());
        break;
    }
}

void MenuNetForm::onClick(Control* source) {
    if (source == returnButton.get()) {
        host.closeMenu(this);
        return;
    }
    const std::vector<NetworkHost::LanGame> games = network.lanGames();
    for (size_t i = 0; i < lanButtons.size() && i < games.size(); ++i) {
        if (source == lanButtons[i].get()) {
            addressField->setText(games[i].address);
            codeField->setText(games[i].code);
            submit();
            layout();
            return;
        }
    }
    // Enter in the address field goes on to the code while it is empty.
    if (source == addressField.get() && mode != Mode::Create && codeField->getText().empty()) {
        codeField->requestFocus();
    } else if (source == actionButton.get() || source == addressField.get() || source == codeField.get()) {
        submit();
    }
    layout();
}
