#pragma once

#include "game/gameboard.h"
#include "game/move.h"

#include <optional>
#include <string>
#include <string_view>

// The game's readable notation, shared by the records, the network and the
// tests. A field is a letter a-i along the board's first coordinate and a
// digit 1-9 along its second, so player 1 starts on "a1" and player 2 on
// "i9". A move is its from-field then its to-field: "c3d4" splits, "c3e5"
// jumps.
class Notation {
public:
    static constexpr size_t kFieldLength = 2;
    static constexpr size_t kMoveLength = 2 * kFieldLength;

    // Empty for a field off the board.
    static std::string field(int x, int y);
    // A split or jump as its two fields; empty for any other record or a
    // field off the board.
    static std::string move(const Move& move);

    // Exactly two characters, lower case; nothing else is a field.
    static std::optional<GameBoard::Position> parseField(std::string_view text);
    // Exactly four characters naming two fields one or two steps apart: a
    // MoveSplit or a MoveJump record. Anything else, a move of no distance
    // or one too far among them, is refused.
    static std::optional<Move> parseMove(std::string_view text);
};
