#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/menu.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class ButtonSimple;
class Font;
class Image;
class MenuHost;
class MenuHosting;
class MenuNetForm;
class NetworkHost;
class Text;

// Play across machines: "Host Game" runs the server on this machine and
// waits for a friend, "Join Game" joins a game by its address and code (or
// one listed from the local network), "Create on Server" makes a game on a
// standalone server, "Watch" follows a game by its code. Why the last
// attempt failed stands above the buttons. It owns the forms and the
// waiting screen, and takes the menus off the screen when a game begins.
class MenuNetwork : public Menu, public EventConsumer, public ControlListener {
public:
    // Characters of the small font per line of a message.
    static constexpr size_t kLineLength = 84;
    static constexpr size_t kMessageLines = 2;

    // host and network: the application, which outlives the menu.
    MenuNetwork(MenuHost& host, NetworkHost& network);
    ~MenuNetwork() override;

    // Splits text at spaces into lines of at most width characters (a
    // longer word is cut); at most lines of them, the last ending in "…"
    // when the text goes on.
    static std::vector<std::string> wrap(const std::string& text, size_t width, size_t lines);

    // The game has begun: every network screen closes and the table shows.
    void showTable();
    // Over the table: this menu with the failure, or the waiting screen on it.
    void showFailure();
    void showWaiting();

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent&) override {}

    ButtonSimple* getHostButton() const { return hostButton.get(); }
    ButtonSimple* getJoinButton() const { return joinButton.get(); }
    ButtonSimple* getCreateButton() const { return createButton.get(); }
    ButtonSimple* getWatchButton() const { return watchButton.get(); }
    ButtonSimple* getReturnButton() const { return returnButton.get(); }
    MenuNetForm* getForm() const { return form.get(); }
    MenuHosting* getHosting() const { return hosting.get(); }
    const Text* getMessageLine(size_t line) const { return messageLines[line].get(); }

private:
    void layout();

    MenuHost& host;
    NetworkHost& network;
    // Destroyed after the controls below, which leave it on their way.
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Font> smallFont;
    std::unique_ptr<Image> logo;
    std::array<std::unique_ptr<Text>, kMessageLines> messageLines;
    std::unique_ptr<ButtonSimple> hostButton;
    std::unique_ptr<ButtonSimple> joinButton;
    std::unique_ptr<ButtonSimple> createButton;
    std::unique_ptr<ButtonSimple> watchButton;
    std::unique_ptr<ButtonSimple> returnButton;
    std::unique_ptr<MenuNetForm> form;
    std::unique_ptr<MenuHosting> hosting;
};
