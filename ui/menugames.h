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
class GameHost;
class Image;
class MenuHost;

// The kept games, newest first, a page of them at a time: one line each
// (date, players, counts, result); a click shows that game on the table to
// step through. "Older games" and "Newer games" turn the pages; "Back" or
// Escape return to the main menu.
class MenuGames : public Menu, public EventConsumer, public ControlListener {
public:
    static constexpr int kRowsPerPage = 4;
    static constexpr const char* kNoGames = "No games kept yet";

    // host and game: the application, which outlives the menu.
    MenuGames(MenuHost& host, GameHost& game);
    ~MenuGames() override;

    // The first line of the page that holds line, for count lines.
    static int pageStart(int line, int count);

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;
    // The list is read anew each time the menu comes on screen.
    void shown() override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent& e) override;

    ButtonSimple* getRowButton(int row) const { return rowButtons[static_cast<size_t>(row)].get(); }
    ButtonSimple* getOlderButton() const { return olderButton.get(); }
    ButtonSimple* getNewerButton() const { return newerButton.get(); }
    ButtonSimple* getReturnButton() const { return returnButton.get(); }
    const std::vector<std::string>& getLines() const { return lines; }

private:
    void layout();

    MenuHost& host;
    GameHost& game;
    // Destroyed after the controls below, which leave it on their way.
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Font> smallFont;
    std::unique_ptr<Image> logo;
    std::array<std::unique_ptr<ButtonSimple>, kRowsPerPage> rowButtons;
    std::unique_ptr<ButtonSimple> olderButton;
    std::unique_ptr<ButtonSimple> newerButton;
    std::unique_ptr<ButtonSimple> returnButton;
    std::vector<std::string> lines;
    int first = 0;
};
