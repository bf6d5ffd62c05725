#pragma once

#include "game/gameboard.h"
#include "keep/settings.h"
#include "ui/optionvalues.h"

#include <string>
#include <vector>

class Sporrik;

// Keeps the player's settings and the game in progress between runs: loads
// them at the start, writes the settings when they change (at most once a
// second, and at the end) and the game after every move and at the end.
// A file that cannot be trusted is set aside and the game starts without it.
class Keeper {
public:
    // Where the files go: $XDG_CONFIG_HOME/sporrik, $XDG_STATE_HOME/sporrik
    // and $XDG_DATA_HOME/sporrik/games, under ~/.config, ~/.local/state and
    // ~/.local/share when unset.
    struct Folders {
        std::string config;
        std::string state;
        std::string records;
        static Folders fromEnvironment();
    };

    explicit Keeper(Folders folders);

    // Before the window opens: the kept options choose its kind, unless the
    // command line does.
    void loadSettings();

    // Hands the settings to the package's options, scene and menus; the
    // package must outlive the keeper's use of it. quality= and window on the
    // command line hold for this run: the file keeps its own values unless
    // the options menu changes them.
    void attach(Sporrik& package);
    // Once a frame, with the seconds of a monotonic clock; the first
    // continues the kept game.
    void update(double now);
    // At the end of the program: whatever changed is written.
    void saveAll();

    std::string settingsPath() const;
    std::string gamePath() const;
    const std::string& recordsFolder() const { return folders.records; }
    const std::string& stateFolder() const { return folders.state; }

private:
    // What tells one game state from another without copying its history.
    struct Signature {
        std::vector<int32_t> fields;
        int toMove = 0;
        int history = 0;
        bool settled = false;
        // The game is put aside while the table shows something else.
        bool aside = false;
        bool operator==(const Signature& o) const {
            return fields == o.fields && toMove == o.toMove && history == o.history && settled == o.settled &&
                   aside == o.aside;
        }
    };

    Settings gather() const;
    void apply(const Settings& settings);
    static OptionValues optionValues(const Settings::Options& kept);
    void loadGame();
    void saveSettings();
    void saveGame();
    // Fills s anew, reusing its storage: it is read every frame.
    void readSignature(Signature& s) const;

    Folders folders;
    Settings loaded;
    Settings written;
    Sporrik* package = nullptr; // not owned: the application's package
    double lastSettingsWrite = -1.0e9;
    Signature lastGame;
    Signature currentGame;
    bool gameLoaded = false;
    bool gameKept = false;
    std::string gameText; // as last written or read
};
