#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/menu.h"

#include <array>
#include <memory>

class ButtonSimple;
class Font;
class GameHost;
class MenuHost;
class Image;
class Text;

// Sets each player to human or computer and starts an easy, a hard or an
// expert game.
class MenuNewGame : public Menu, public EventConsumer, public ControlListener {
public:
    static constexpr int kPlayers = 2;
    using HumanFlags = std::array<bool, kPlayers>;

    // host and game: the application, which outlives the menu.
    MenuNewGame(MenuHost& host, GameHost& game);
    ~MenuNewGame() override;

    // Inverts player's flag (1 or 2) and no other.
    static void togglePlayer(HumanFlags& flags, int player);
    static const char* kindCaption(bool human);

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override;

    void onClick(Control* source) override;
    void handleEvent(InputEvent&) override {}

    const HumanFlags& getHumanFlags() const { return humanFlags; }
    void setHumanFlags(const HumanFlags& flags) { humanFlags = flags; }
    // The level of the last game started here (GameBoard::kEasy to kExpert).
    int getLevel() const { return lastLevel; }
    void setLevel(int level) { lastLevel = level; }
    ButtonSimple* getKindButton(int player) const {
        return playerKindButtons[static_cast<size_t>(player - 1)].get();
    }
    ButtonSimple* getEasyButton() const { return easyButton.get(); }
    ButtonSimple* getHardButton() const { return hardButton.get(); }
    ButtonSimple* getExpertButton() const { return expertButton.get(); }
    ButtonSimple* getReturnButton() const { return returnButton.get(); }

private:
    void layout();
    void startGame(int level);

    MenuHost& host;
    GameHost& game;
    // Destroyed after the controls below, which leave it on their way.
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::array<std::unique_ptr<Text>, kPlayers> playerLabels;
    std::unique_ptr<Image> logo;
    std::array<std::unique_ptr<ButtonSimple>, kPlayers> playerKindButtons;
    std::unique_ptr<ButtonSimple> easyButton;
    std::unique_ptr<ButtonSimple> hardButton;
    std::unique_ptr<ButtonSimple> expertButton;
    std::unique_ptr<ButtonSimple> returnButton;
    HumanFlags humanFlags = {true, false};
    int lastLevel = 2; // hard
};
