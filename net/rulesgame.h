#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class GameBoard;

// One game between two people on the table's own rules: a GameBoard with both
// players human, its moves made by the two clicks the table takes and its
// queue drained after each, so that the turn passes exactly as at the table.
// The server's games and the client's copy of them are both this class; the
// hash after each move is what the two compare.
class RulesGame {
public:
    RulesGame();
    ~RulesGame();
    RulesGame(RulesGame&&) noexcept;
    RulesGame& operator=(RulesGame&&) noexcept;

    // The start position again.
    void reset();
    // Whether the player to move may make this move now: it is written in
    // the notation, its from-field holds a figure of the player to move, its
    // to-field is empty, and the board has not decided the game.
    bool canPlay(std::string_view notation) const;
    // Every move canPlay takes now, in the notation, from-fields in row-major
    // order; empty once the board has decided the game.
    std::vector<std::string> legalMoves() const;
    // Makes the move if canPlay; false, changing nothing, otherwise.
    bool play(std::string_view notation);
    // Takes the last move back; false when there is none.
    bool takeBack();
    // Plays the moves from the start; false, leaving the start position,
    // when one of them is refused.
    bool replay(const std::vector<std::string>& list);

    // 1 or 2.
    int toMove() const;
    // The board's result: 0 while undecided, else the winning player.
    int winner() const;
    int countFigures(int player) const;
    // The position's Zobrist key with the player to move: equal on both sides
    // exactly when they hold the same position.
    uint64_t hash() const;
    const std::vector<std::string>& moves() const { return played; }
    const GameBoard& board() const { return *gameBoard; }

private:
    void drain();
    // The board's result of the position now: the rules' check of both
    // sides' moves is the dearest part of a move, asked before and after it.
    int result() const;

    std::unique_ptr<GameBoard> gameBoard;
    std::vector<std::string> played;
    static constexpr int kUnknown = -1;
    mutable int knownWinner = kUnknown;
};
