#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/menu.h"

#include <array>
#include <memory>
#include <string>

class ButtonSimple;
class Font;
class Image;
class MenuHost;
class MenuNetwork;
class NetworkHost;
class Text;
class TextField;

// The form of a network game: the server's address and, to join or watch,
// the game's code. To join, the games hosted on the local network are
// listed above the fields as buttons; a click joins one. Enter in a field or
// the button under them starts; while it connects the form says so, a game
// begun takes the menus off the screen, and a failure returns to the
// network menu, which names it. A field's text that cannot be an address or
// a code is named here and nothing starts.
class MenuNetForm : public Menu, public EventConsumer, public ControlListener {
public:
    enum class Mode { Join, Create, Watch };
    static constexpr size_t kLanRows = 2;
    static constexpr size_t kAddressLength = 70;
    static constexpr size_t kCodeLength = 15;
    // Seconds between two questions to the local network while the form shows.
    static constexpr double kSearchInterval = 3.0;

    // host and network: the application; owner: the network menu that owns
    // this form. All outlive it.
    MenuNetForm(MenuHost& host, NetworkHost& network, MenuNetwork& owner);
    ~MenuNetForm() override;

    void setMode(Mode newMode);
    Mode getMode() const { return mode; }

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;
    // Opened from the network menu: the remembered address, a new search.
    void activated(Menu* previous) override;
    // Left while connecting: the attempt is given up.
    void deactivated(Menu* next) override;
    bool isTyping() const override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent&) override {}

    TextField* getAddressField() const { return addressField.get(); }
    TextField* getCodeField() const { return codeField.get(); }
    ButtonSimple* getActionButton() const { return actionButton.get(); }
    ButtonSimple* getReturnButton() const { return returnButton.get(); }
    ButtonSimple* getLanButton(size_t i) const { return lanButtons[i].get(); }
    const Text* getMessage() const { return message.get(); }

private:
    void layout();
    void submit();

    MenuHost& host;
    NetworkHost& network;
    MenuNetwork& owner;
    Mode mode = Mode::Join;
    // Destroyed after the controls below, which leave it on their way.
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Font> smallFont;
    std::unique_ptr<Image> logo;
    std::array<std::unique_ptr<ButtonSimple>, kLanRows> lanButtons;
    std::unique_ptr<Text> addressLabel;
    std::unique_ptr<TextField> addressField;
    std::unique_ptr<Text> codeLabel;
    std::unique_ptr<TextField> codeField;
    std::unique_ptr<Text> message;
    std::unique_ptr<ButtonSimple> actionButton;
    std::unique_ptr<ButtonSimple> returnButton;
    std::string problem;
    double sinceSearch = 0.0;
};
