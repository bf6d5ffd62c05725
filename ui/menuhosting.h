#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/menu.h"

#include <memory>

class ButtonSimple;
class Font;
class Image;
class MenuHost;
class MenuNetwork;
class NetworkHost;
class Text;

// The screen of a game made and waiting for its second player: the join
// code in large letters, where a friend reaches this game, "Waiting for
// player 2 — code KTR-4QX-M7P", a button to play the other side instead and
// one to give the game up. The menus leave when the friend joins; leaving
// the screen any other way gives the game up.
class MenuHosting : public Menu, public EventConsumer, public ControlListener {
public:
    // The code's letters against the big font's.
    static constexpr float kCodeMagnification = 1.5f;

    // host and network: the application; owner: the network menu that owns
    // this screen. All outlive it.
    MenuHosting(MenuHost& host, NetworkHost& network, MenuNetwork& owner);
    ~MenuHosting() override;

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;
    // Left before the friend joined: the game is given up.
    void deactivated(Menu* next) override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent&) override {}

    const Text* getCodeText() const { return codeText.get(); }
    const Text* getWaitingText() const { return waitingText.get(); }
    ButtonSimple* getSwapButton() const { return swapButton.get(); }
    ButtonSimple* getCancelButton() const { return cancelButton.get(); }

private:
    void layout();

    MenuHost& host;
    NetworkHost& network;
    MenuNetwork& owner;
    // Destroyed after the controls below, which leave it on their way.
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Font> smallFont;
    std::unique_ptr<Image> logo;
    std::unique_ptr<Text> codeCaption;
    std::unique_ptr<Text> codeText;
    std::unique_ptr<Text> addressText;
    std::unique_ptr<Text> waitingText;
    std::unique_ptr<ButtonSimple> swapButton;
    std::unique_ptr<ButtonSimple> cancelButton;
};
