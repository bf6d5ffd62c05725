#pragma once

#include <cstdint>

// What a queued move does on the displayed board. The values are part of the
// queue's record format and never change.
enum MoveType : int32_t {
    MoveJump = 1,
    MoveSplit = 2,
    MoveConvert = 3,
    MoveSelect = 4,
    MoveDeselect = 5,
    MoveClear = 6,
    MoveCreate = 7,
};

// One step that the table scene replays on its displayed board. MoveCreate
// carries the owning player in toX; MoveClear carries zeros.
struct Move {
    int32_t fromX = 0;
    int32_t fromY = 0;
    int32_t toX = 0;
    int32_t toY = 0;
    int32_t type = 0;
};

inline bool operator==(const Move& a, const Move& b) {
    return a.fromX == b.fromX && a.fromY == b.fromY && a.toX == b.toX && a.toY == b.toY && a.type == b.type;
}

inline bool operator!=(const Move& a, const Move& b) {
    return !(a == b);
}
