#pragma once

#include "game/gameboard.h"

#include <array>
#include <cstddef>

// Boards drawn as text, rows from y = 0 down: '.' empty, 'o' player 1,
// 'x' player 2.
using Diagram = std::array<const char*, GameBoard::kBoardSize>;

inline void drawDiagram(GameBoard& board, const Diagram& rows) {
    for (int y = 0; y < GameBoard::kBoardSize; ++y) {
        for (int x = 0; x < GameBoard::kBoardSize; ++x) {
            const char c = rows[static_cast<size_t>(y)][x];
            board.setField(x, y, c == 'o' ? 1 : c == 'x' ? 2 : 0);
        }
    }
}

// Positions from real games: a few moves in, and crowded.
inline const Diagram kOpeningDiagram = {"oo.......", "oo.x.....", "..o......", ".........", "....x....",
                                        ".........", ".....xx..", "......x..", "......xxx"};
inline const Diagram kMiddleDiagram = {"ooo..x...", "o.oxxx...", "oooox....", "..ox.x...", "...ooxx..",
                                       ".....x...", "..o.....x", "........x", ".......xx"};
