#pragma once

#include <array>
#include <string>
#include <vector>

// What the menus ask of the game around them: the game in progress, new
// games, the demonstrations and the kept games. The application implements
// it and hands it to the menus it builds.
class GameHost {
public:
    // A game with a human player is in progress, on the table or put aside
    // while something else is shown.
    virtual bool canContinue() const = 0;
    // Shows the game in progress again, exactly where it was left.
    virtual void continueGame() = 0;
    // Starts a new game (level: GameBoard::kEasy to kExpert); the game in
    // progress is kept as an unfinished record.
    virtual void startGame(const std::array<bool, 2>& human, int level) = 0;
    // Two computers play each other; the game in progress is put aside.
    virtual void startDemo() = 0;
    // The scene alone, without figures or counts; the game in progress is
    // put aside.
    virtual void startFluidDemo() = 0;
    // One line per kept game, newest first, read anew.
    virtual std::vector<std::string> listGames() = 0;
    // Shows the game of that line of the last list on the table, to step
    // through; false when it cannot be read any more.
    virtual bool openGame(int index) = 0;

protected:
    GameHost() = default;
    GameHost(const GameHost&) = default;
    GameHost& operator=(const GameHost&) = default;
    ~GameHost() = default;
};
