#pragma once

#include <string>
#include <vector>

// What the screens over the table show besides the board, and what a click
// on them asks: the moves of the game on the table and which of them the
// table shows, a line about what is shown, the coach's words, and Play from
// here. The application implements it.
class GameView {
public:
    struct Entry {
        // In the game's notation, "c3d4".
        std::string move;
        // Figures the move won.
        int won = 0;
    };

    // The table shows a game, not the scene alone (before the first game,
    // in the fluid demo).
    virtual bool showsGame() const = 0;
    // Every move of the game on the table, oldest first.
    virtual const std::vector<Entry>& getMoveEntries() const = 0;
    // The table shows the position after this many of them.
    virtual int getShownMoves() const = 0;
    // What the table shows when it is not the game being played ("Replay:
    // move 3 of 40 ..."); empty otherwise.
    virtual std::string getCaption() const = 0;
    // The coach's last words, up to two lines apart by a line feed; empty
    // when it has none.
    virtual std::string getCoachText() const = 0;
    // Shows the position after count moves; the count of every move returns
    // to the game being played.
    virtual void showMoves(int count) = 0;
    virtual bool canPlayFromHere() const = 0;
    // A new game from the position shown, with the same players.
    virtual void playFromHere() = 0;

protected:
    GameView() = default;
    GameView(const GameView&) = default;
    GameView& operator=(const GameView&) = default;
    ~GameView() = default;
};
