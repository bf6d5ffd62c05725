#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/menu.h"

#include <memory>

class ButtonSimple;
class Font;
class GameHost;
class Image;
class MenuHost;

// The demonstrations: "Demo" lets two hard computers play each other,
// "Fluid Demo" shows the scene alone; neither loses the game in progress.
// "Back" or Escape return to the main menu.
class MenuDemos : public Menu, public EventConsumer, public ControlListener {
public:
    // host and game: the application, which outlives the menu.
    MenuDemos(MenuHost& host, GameHost& game);
    ~MenuDemos() override;

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent& e) override;

    ButtonSimple* getDemoButton() const { return demoButton.get(); }
    ButtonSimple* getFluidDemoButton() const { return fluidDemoButton.get(); }
    ButtonSimple* getReturnButton() const { return returnButton.get(); }

private:
    void layout();

    MenuHost& host;
    GameHost& game;
    // Destroyed after the controls below, which leave it on their way.
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Image> logo;
    std::unique_ptr<ButtonSimple> demoButton;
    std::unique_ptr<ButtonSimple> fluidDemoButton;
    std::unique_ptr<ButtonSimple> returnButton;
};
