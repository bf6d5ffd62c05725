#pragma once

#include "game/gameboard.h"
#include "game/move.h"
#include "mesh/vectormath.h"

#include <array>
#include <cstdint>

// The displayed board and the move being shown on it. The rules change their
// board at once; this one follows record by record from the board's queue,
// so the picture changes only when a queued move starts or finishes.
class MoveAnimation {
public:
    static constexpr int kSize = GameBoard::kBoardSize;
    using ShownFields = std::array<std::array<int32_t, kSize>, kSize>; // [x][y]

    // What the scene does when a record starts or lands.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void splash(const vec3& at, int owner) = 0;
        virtual void dropWater(int i, int j) = 0;
        virtual void playMoveSound() = 0;
        virtual void playSelectSound() = 0;
    };

    static constexpr double kJumpSeconds = 1.0;
    static constexpr double kSplitSeconds = 1.0;
    static constexpr double kConvertSeconds = 0.5;

    // Where figures and markers of field (i, j) stand on the board plane.
    static vec3 fieldPosition(int i, int j);
    static bool isOwner(int value) { return value == GameBoard::kPlayer1 || value == GameBoard::kPlayer2; }

    // The empty board before the first game, nothing animated.
    void reset();
    // Shows board's fields and selection as they are, ending the running
    // record at once, without its landing's splash or sound; lastMove stays
    // marked as the last move shown.
    void showBoard(const GameBoard& board, const Move& lastMove = Move());
    // One frame of dt seconds: advances the running record, or finishes it,
    // starts the next queued one and writes the displayed counts to board.
    void update(GameBoard& board, double dt, Listener& listener);

    // 0 off the board.
    int32_t getShown(int i, int j) const;
    const ShownFields& getShownFields() const { return shownFields; }
    int countShownFigures(int player) const;

    bool isRunning() const { return animElapsed < animDuration; }
    int32_t getType() const { return animType; }
    int32_t getOwner() const { return animOwner; }
    // 0 to 1 through the running record.
    float getProgress() const;
    const vec3& getStart() const { return animStart; }
    const vec3& getEnd() const { return animEnd; }
    int32_t getHighlightX() const { return highlightX; }
    int32_t getHighlightY() const { return highlightY; }
    // The last split or jump shown, kept until a figure is selected or the
    // board is cleared or shown afresh; type 0 for none.
    const Move& getLastMove() const { return lastMove; }

private:
    void finish(Listener& listener);
    void start(const Move& m, Listener& listener);
    // Writes only on the board; a record with coordinates outside is shown as far as it can be.
    void setShown(int i, int j, int32_t value);
    void removeHighlightAt(int i, int j);

    ShownFields shownFields{};
    double animDuration = 0.0;
    double animElapsed = 0.0;
    int32_t animType = 0;
    Move animMove;
    int32_t animOwner = 0;
    vec3 animStart;
    vec3 animEnd;
    int32_t highlightX = -1;
    int32_t highlightY = -1;
    Move lastMove;
};
