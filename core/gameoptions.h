#pragma once

#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "ui/optionshost.h"

#include <functional>

class WaterTable;

// Applies the options menu's values to the scene, the window and the sound,
// each at once. It is also a node of the render graph, drawing nothing, so
// that M mutes and unmutes the sound over every screen.
class GameOptions : public OptionsHost, public RenderNode, public EventConsumer {
public:
    using ScaleHook = std::function<void(OptionValues::Scale)>;
    // The options the player has changed in the menu during this run.
    struct Chosen {
        bool quality = false;
        bool fullScreen = false;
        bool scale = false;
    };

    // table: not owned, outlives this. qualityArgument: the command line's
    // quality=, or null; it and the command line's window hold for this run,
    // and the values start as they make the game run.
    GameOptions(WaterTable& table, const char* qualityArgument);

    OptionValues getOptions() const override;
    // The options menu's choice: applies what differs from the values in
    // effect and counts it as the player's choice.
    void setOptions(const OptionValues& newValues) override;
    // The same for values the game sets itself (the kept settings, the
    // command line): applied, not counted as chosen.
    void applyOptions(const OptionValues& newValues);
    const Chosen& getChosen() const { return chosen; }
    bool isMuted() const override;
    void setMuted(bool muted) override;
    // Receives the table scene's drawing scale; without it the value is
    // only kept.
    void setScaleHook(ScaleHook hook) { scaleHook = std::move(hook); }
    // Tells whether a text field has the keys: M is then a letter typed.
    void setTypingCheck(std::function<bool()> check) { typing = std::move(check); }

    void render(double, float) override {}
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}
    void handleEvent(InputEvent& e) override;

private:
    WaterTable& table; // not owned: the package's scene
    OptionValues values;
    Chosen chosen;
    ScaleHook scaleHook;
    std::function<bool()> typing;
};
