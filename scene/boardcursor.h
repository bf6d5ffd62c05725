#pragma once

#include "game/gameboard.h"

#include <deque>

class Camera;

// The field the keys point at in keyboard play. Tab puts it on a figure of
// the player to move that can move; the arrows step it a field in the
// direction they point on the screen, whatever way the camera looks; Enter
// or Space there does what a click on the field does. A press while the
// last move is still being shown waits until the board takes clicks again.
class BoardCursor {
public:
    static constexpr int kSize = GameBoard::kBoardSize;
    // Holding an arrow steps again after the first delay, then at the
    // interval; seconds.
    static constexpr double kRepeatDelay = 0.4;
    static constexpr double kRepeatInterval = 0.12;
    // How long a refused press is shown, seconds of scene time.
    static constexpr double kRefusalSeconds = 0.8;
    // Presses waiting for the board; more are dropped.
    static constexpr size_t kMaxWaiting = 4;

    bool isShown() const { return shown; }
    int getX() const { return x; }
    int getY() const { return y; }
    void hide();

    // The player whose figures Tab visits: the one to move when human, else
    // the only human at the table; 0 for none.
    static int keyboardPlayer(const GameBoard& board);
    // A figure of player on (fx, fy) with an empty field in reach.
    static bool canMove(const GameBoard& board, int player, int fx, int fy);
    // Shows the cursor on the next figure of player that can move after its
    // field in reading order (a1, b1 ... i1, a2 ...), or the one before it
    // for direction -1, wrapping round. False, changing nothing, when there
    // is none.
    bool nextFigure(const GameBoard& board, int player, int direction);

    // The board step of an arrow key on the screen of camera: along the
    // board axis closest to the arrow's direction there. False for other keys.
    static bool boardStep(const Camera& camera, int key, int& dx, int& dy);
    // Moves one field, held at the edges; starts the arrow's repeat.
    void step(int dx, int dy);
    // Holding the arrow of (dx, dy) for dt more seconds: the steps it repeats.
    void hold(int dx, int dy, double dt);

    // A press at the cursor's field that waits for the board.
    void waitForBoard();
    bool hasWaiting() const { return !waiting.empty(); }
    GameBoard::Position takeWaiting();
    void dropWaiting() { waiting.clear(); }

    // A press at the cursor was refused at scene time now.
    void refuse(double now) { refusedAt = now; }
    bool showsRefusal(double now) const { return now - refusedAt < kRefusalSeconds && now >= refusedAt; }

private:
    bool shown = false;
    // Before the first Tab, reading order starts at a1.
    int x = -1;
    int y = 0;
    double held = 0.0;
    std::deque<GameBoard::Position> waiting;
    double refusedAt = -1.0e9;
};
