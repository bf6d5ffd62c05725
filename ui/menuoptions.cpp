#include "ui/menuoptions.h"

#include "input/inputevent.h"
#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menulayout.h"
#include "ui/menumain.h"
#include "ui/optionshost.h"
#include "ui/text.h"

#include <vector>

namespace {

const char* const kLabels[MenuOptions::kRows] = {
    "Quality:", "Screen:", "Sound:", "Hints:", "Scale:", "Text Size:"};
constexpr float kFirstRowY = 0.2f;
// "Full Screen" is the longest caption; wider than a standard button.
constexpr float kValueButtonWidth = 400.0f;
constexpr int kPercent = 100;

template <typename Enum>
Enum nextOf(Enum value, Enum last) {
    return value == last ? Enum{} : static_cast<Enum>(static_cast<int>(value) + 1);
}

std::string percent(int share, int whole) {
    return std::to_string(share * kPercent / whole) + "%";
}

} // namespace

MenuOptions::MenuOptions(MenuHost& host, OptionsHost& options)
    : host(host), options(options),
      container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(MenuMain::kFontName, Font::kBig);
    logo = std::make_unique<Image>(&container, 0.0f, 0.0f, MenuMain::kLogoWidth, MenuMain::kLogoHeight,
                                   MenuMain::kLogoName);
    for (int row = 0; row < kRows; ++row) {
        labels[row] = std::make_unique<Text>(&container, 0.0f, 0.0f, font.get(), kLabels[row]);
        buttons[row] = MenuMain::makeButton(container, font.get(), this, "", kValueButtonWidth);
    }
    returnButton = MenuMain::makeButton(container, font.get(), this, "Back");
}

MenuOptions::~MenuOptions() = default;

OptionValues MenuOptions::stepped(OptionValues values, Row row) {
    switch (row) {
    case Quality:
        values.quality = nextOf(values.quality, OptionValues::Quality::Fast);
        break;
    case Screen:
        values.fullScreen = !values.fullScreen;
        break;
    case Volume:
        values.volume = values.volume >= OptionValues::kVolumeSteps ? 0 : values.volume + 1;
        break;
    case Hints:
        values.moveHints = !values.moveHints;
        break;
    case Scale:
        values.scale = nextOf(values.scale, OptionValues::Scale::Half);
        break;
    case TextSize:
        values.textSize = nextOf(values.textSize, TextScale::kLargest);
        break;
    case kRows:
        break;
    }
    return values;
}

std::string MenuOptions::caption(const OptionValues& values, Row row, bool muted) {
    switch (row) {
    case Quality: {
        const char* const names[] = {"Automatic", "Full", "Fast"};
        return names[static_cast<int>(values.quality)];
    }
    case Screen:
        return values.fullScreen ? "Full Screen" : "Window";
    case Volume:
        if (muted) {
            return "Muted";
        }
        return values.volume <= 0 ? "Off" : percent(values.volume, OptionValues::kVolumeSteps);
    case Hints:
        return values.moveHints ? "On" : "Off";
    case Scale:
        return values.scale == OptionValues::Scale::Automatic
                   ? "Automatic"
                   : percent(OptionValues::percentOf(values.scale), kPercent);
    case TextSize:
        return TextScale::name(values.textSize);
    case kRows:
        break;
    }
    return "";
}

void MenuOptions::layout() {
    const OptionValues values = options.getOptions();
    const bool muted = options.isMuted();
    std::vector<MenuLayout::Row> rows;
    for (int row = 0; row < kRows; ++row) {
        buttons[row]->setCaption(caption(values, static_cast<Row>(row), muted));
        rows.push_back({buttons[row].get(), labels[row].get()});
    }
    rows.push_back({returnButton.get()});
    MenuLayout::place(container, *logo, rows, {MenuMain::kLogoY, kFirstRowY});
}

void MenuOptions::render(double, float) {
    // The M key and H in the game change values behind the menu's back.
    layout();
}

void MenuOptions::linkChildren() {
    linkChild(&container);
}

void MenuOptions::attach() {
    layout();
}

void MenuOptions::onClick(Control* source) {
    if (source == returnButton.get()) {
        host.closeMenu(this);
        return;
    }
    for (int row = 0; row < kRows; ++row) {
        if (source != buttons[row].get()) {
            continue;
        }
        // Touching the volume lifts the mute first: the step it shows is heard.
        if (row == Volume && options.isMuted()) {
            options.setMuted(false);
        } else {
            options.setOptions(stepped(options.getOptions(), static_cast<Row>(row)));
        }
    }
    layout();
}

void MenuOptions::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKeyUp*>(&e);
    if (key != nullptr && key->getKey() == KeyEscape) {
        e.consume();
        host.closeMenu(this);
    }
}
