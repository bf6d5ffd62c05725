#pragma once

#include "game/gameboard.h"

#include <array>
#include <vector>

// Where the selected figure of the human to move can go, and which opposing
// figures a move there would win. Read from the board's own click rule, so
// the marks never promise a move that a click would refuse.
class MoveHints {
public:
    enum Kind { None, Split, Jump };
    static constexpr int kSize = GameBoard::kBoardSize;
    using Fields = std::array<std::array<Kind, kSize>, kSize>; // [x][y]

    // All None unless a figure is selected and a click could move it.
    static Fields reachable(const GameBoard& board);
    // Empty unless (x, y) is reachable.
    static std::vector<GameBoard::Position> conversions(const GameBoard& board, const Fields& reachable,
                                                        int x, int y);
};
