#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/menu.h"
#include "ui/optionvalues.h"

#include <array>
#include <memory>
#include <string>

class ButtonSimple;
class Font;
class Image;
class MenuHost;
class OptionsHost;
class Text;

// One button per option, its caption the value in effect; a click steps to
// the next value, which takes effect at once. "Back" or Escape return.
class MenuOptions : public Menu, public EventConsumer, public ControlListener {
public:
    enum Row { Quality, Screen, Volume, Hints, Scale, TextSize, kRows };

    // host and options: the application, which outlives the menu.
    MenuOptions(MenuHost& host, OptionsHost& options);
    ~MenuOptions() override;

    // The values with row's option moved on to its next value, the last
    // wrapping round to the first.
    static OptionValues stepped(OptionValues values, Row row);
    // The caption of row's value; a muted sound shows as muted.
    static std::string caption(const OptionValues& values, Row row, bool muted);

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent& e) override;

    ButtonSimple* getButton(Row row) const { return buttons[row].get(); }
    ButtonSimple* getReturnButton() const { return returnButton.get(); }

private:
    void layout();

    MenuHost& host;
    OptionsHost& options;
    // Destroyed after the controls below, which leave it on their way.
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Image> logo;
    std::array<std::unique_ptr<Text>, kRows> labels;
    std::array<std::unique_ptr<ButtonSimple>, kRows> buttons;
    std::unique_ptr<ButtonSimple> returnButton;
};
