#pragma once

#include "game/compactposition.h"
#include "game/move.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A game as its moves from the start position, replayed by the rules: the
// position after each move, who made it, how many figures it won and how the
// game stands at its end. The records, the move list and the replay on the
// table read a game through it.
class PlayedGame {
public:
    // Longer games are not kept as records: no game between people comes near.
    static constexpr int kMaxMoves = 4000;

    enum class Ending { Unfinished, BoardFull, NoFigures, NoMove };
    struct Step {
        Move move;
        int mover = 0;
        int won = 0;
    };

    // The moves, players 1 and 2 taking turns from the start position;
    // nothing, with the reason naming the move, when one is not a split or
    // jump of the player to move from an own figure onto an empty field.
    static std::optional<PlayedGame> replay(const std::vector<Move>& moves, std::string& reason);

    int countMoves() const { return static_cast<int>(steps.size()); }
    const std::vector<Step>& getSteps() const { return steps; }
    std::vector<Move> getMoves() const;
    // After the first n moves, n from 0 to countMoves(); held to that range.
    const CompactPosition& positionAfter(int n) const;
    // The same position as a board's fields, row by row.
    std::vector<int32_t> fieldsAfter(int n) const;
    // 0 while undecided at the end, else the winning player.
    int winner() const { return positionAfter(countMoves()).winner(); }
    Ending ending() const;
    // Figures of player at the end.
    int finalCount(int player) const { return positionAfter(countMoves()).count(player); }

    static CompactPosition startPosition();

private:
    PlayedGame() = default;

    std::vector<Step> steps;
    // positions[n] stands after n moves.
    std::vector<CompactPosition> positions;
};
