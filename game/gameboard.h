#pragma once

#include "game/compactposition.h"
#include "game/move.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class ExpertPlayer;

// The whole state of one game: the fields, the selected figure, whose turn it
// is, who plays, and the queue of moves that the table scene has not shown
// yet. The computer player works on the same object. The board changes at
// once when a move is made; the queue is the only way the display learns of it.
class GameBoard {
public:
    // A field position; x = -1 means none.
    struct Position {
        int32_t x = -1;
        int32_t y = -1;
        friend bool operator==(Position a, Position b) { return a.x == b.x && a.y == b.y; }
        friend bool operator!=(Position a, Position b) { return !(a == b); }
    };
    // Yields integers from 0 to 32767, uniformly.
    using RandomSource = std::function<int()>;
    // The position before one move, kept to take the move back.
    struct Snapshot {
        std::vector<int32_t> fields;
        int32_t selectedX = -1;
        int32_t selectedY = -1;
        int mover = 0;
    };
    // A game between two moves, enough to continue it in another run.
    struct Record {
        std::vector<int32_t> fields; // row-major, width * height
        int toMove = 0;
        std::array<bool, 2> human{};
        // Played on another machine: its moves come over the network.
        std::array<bool, 2> remote{};
        int difficulty = 0;
        std::vector<Snapshot> history; // oldest first
        // The splits and jumps from the start of the game, oldest first;
        // empty when they are not known.
        std::vector<Move> moves;
    };

    static constexpr int32_t kEmpty = 0;
    static constexpr int kPlayer1 = 1;
    static constexpr int kPlayer2 = 2;
    static constexpr int kEasy = 1;
    static constexpr int kHard = 2;
    // Searches ahead on a worker thread; its move arrives a moment after the
    // turn passes instead of inside that call.
    static constexpr int kExpert = 3;
    static constexpr int kBoardSize = 9;
    // Larger boards are refused: the game only ever uses 9 x 9, and the limit
    // keeps width * height far from overflowing.
    static constexpr int kMinBoardSize = 2;
    static constexpr int kMaxBoardSize = 256;
    static constexpr int kSplitDistance = 1;
    static constexpr int kJumpDistance = 2;

    GameBoard();
    // Stops and joins the expert's search if one runs.
    ~GameBoard();
    GameBoard(const GameBoard&) = delete;
    GameBoard& operator=(const GameBoard&) = delete;

    // Queries.
    int32_t getField(int x, int y) const;
    int countFields(int32_t value) const;
    static int distance(int x1, int y1, int x2, int y2);
    bool isOnBoard(int x, int y) const;
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int32_t getCurrentPlayer() const { return currentPlayer; }
    bool isHuman(int player) const;
    // The player moves on another machine: neither clicks nor the computer
    // move for it here; its moves arrive through playRemote.
    bool isRemote(int player) const;
    int getDifficulty() const { return difficulty; }
    int32_t getSelectedX() const { return selectedX; }
    int32_t getSelectedY() const { return selectedY; }
    bool isMoveDone() const { return moveDone; }
    int32_t getFigureCount(int player) const;
    // Also takes in the expert's move once its search has finished, so the
    // table scene's usual hasPendingMoves / frontMove / popMove round brings
    // it to the display; never waits for the search.
    bool hasPendingMoves();
    // The expert is searching for the player to move.
    bool isThinking() const;
    int countPendingMoves() const { return static_cast<int>(moveQueue.size()); }
    // The oldest queued move; a record of type 0 when nothing is queued.
    Move frontMove() const;
    // 0 while undecided, else the winning player. At the easy level the
    // legal-move check draws random numbers.
    int winner() const;
    bool isRunning() const;
    bool canClickField(int x, int y) const;
    // A human has a move of their own to take back: there is at least one
    // human player and one of them has moved in this game.
    bool canTakeBack() const;
    int countHistory() const { return static_cast<int>(history.size()); }
    // The splits and jumps made in this game, oldest first (MoveSplit and
    // MoveJump records); a move taken back leaves it.
    const std::vector<Move>& getMoves() const { return moves; }

    // The game as it stands once the move under way has passed the turn:
    // a move already made on the board counts as done.
    Record record() const;

    // Commands.
    // Sizes outside kMinBoardSize..kMaxBoardSize are refused with a warning.
    // A new size returns the board to its state before the first game.
    void setBoardSize(int newWidth, int newHeight);
    // Only 0, 1 and 2 are field values; anything else is ignored.
    void setField(int x, int y, int32_t value);
    void clearFields();
    // A player is a human, a remote player or the computer: making one of
    // the first two clears the other.
    void setHuman(int player, bool flag);
    void setRemote(int player, bool flag);
    void setFigureCount(int player, int32_t count);
    // Accepts kEasy, kHard and kExpert; other values are ignored.
    void setDifficulty(int level);
    // The table scene marks a human's completed move through this.
    void setMoveDone(bool done) { moveDone = done; }
    void newGame();
    bool clickField(int x, int y);
    // Takes in a finished expert move first, as hasPendingMoves does.
    bool popMove();
    bool performMove(int fromX, int fromY, int toX, int toY);
    // A remote player's move, queued as a computer's would be: only while
    // that player is to move and has not moved, from one of its figures to
    // an empty field one or two steps away. False, changing nothing, otherwise.
    bool playRemote(int fromX, int fromY, int toX, int toY);
    // Returns to the position before the last move of a human player,
    // dropping every move after it: the fields, the player to move and the
    // selection then. The queue is emptied and nothing is queued: the display
    // must show the board afresh. A search under way is cancelled. False,
    // changing nothing, when no human move is left to take back (always in a
    // game of two computers).
    bool takeBack();
    // Continues a recorded game on this board: nothing queued, nothing
    // selected, no turn started (continueTurn does that once the display
    // shows the board). False, changing nothing, for a record that does not
    // fit the board (sizes, field values, players, level).
    bool restore(const Record& r);
    // Shows a position of a recorded game: its fields with toMove to move,
    // nothing queued or selected, and nobody moving, neither by click nor
    // as the computer; performMove then plays the recorded moves for the
    // display to show. False, changing nothing, for fields that do not fit
    // the board or a player other than 1 and 2.
    bool showPosition(const std::vector<int32_t>& shown, int toMove);
    // A computer to move makes its move, as when the turn passes to it.
    void continueTurn();
    // A move of the search for player: a split comes from the first
    // neighbouring own figure in row-major order, as the other levels choose.
    bool performCompactMove(CompactMove move, int player);

    // Computer player. computerMove is the one-move player of the easy and
    // hard levels; at the expert level a turn starts the search instead.
    bool computerMove(int player);
    Position chooseTarget(int player) const;
    Position chooseSource(int x, int y, int player) const;
    Position findNearestFigure(int x, int y, int player) const;
    int32_t fieldWeight(int x, int y, int player) const;

    // A null source restores defaultRandom.
    void setRandomSource(RandomSource source);
    // The C runtime's rand() folded to 0..32767 (glibc's own range is wider).
    static int defaultRandom();

private:
    static bool isPlayer(int player) { return player == kPlayer1 || player == kPlayer2; }
    static int opponent(int player) { return kPlayer1 + kPlayer2 - player; }
    static size_t slot(int player) { return static_cast<size_t>(player - 1); }
    // Neither a human nor a remote player: the computer moves for it.
    bool isComputer(int player) const { return isPlayer(player) && !isHuman(player) && !isRemote(player); }
    size_t index(int x, int y) const { return static_cast<size_t>(x + y * width); }
    bool hasSelection() const { return selectedX != -1; }
    void clearSelection();
    void queueMove(int fromX, int fromY, int toX, int toY, MoveType type);
    void passTurn();
    // Moves for a computer player whose turn has come.
    void playComputer(int player);
    bool startExpert(int player);
    void collectExpertMove();
    void cancelExpert();
    void remember(int mover);

    std::vector<int32_t> fields;
    int32_t width = 0;
    int32_t height = 0;
    int32_t selectedX = -1;
    int32_t selectedY = -1;
    std::deque<Move> moveQueue;
    std::array<bool, 2> human{};
    std::array<bool, 2> remote{};
    std::array<int32_t, 2> figureCounts{};
    int32_t currentPlayer = -1;
    bool moveDone = false;
    int32_t difficulty = kHard;
    bool running = false;
    RandomSource randomSource;
    // Made at the first expert turn.
    std::unique_ptr<ExpertPlayer> expert;
    // What the expert is thinking about; its move is dropped unless the board
    // still shows exactly this when the move is ready.
    std::vector<int32_t> expertFields;
    int expertPlayer = 0;
    // Kept only while a human plays: the demonstration never takes back.
    std::vector<Snapshot> history;
    std::vector<Move> moves;
};
