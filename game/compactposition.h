#pragma once

#include <array>
#include <cstdint>

class GameBoard;

// One move of the search: a split names only its target (from == to), since
// any neighbouring own figure gives the same position; a jump names both ends.
struct CompactMove {
    static constexpr uint8_t kNone = 0xFF;

    uint8_t from = kNone;
    uint8_t to = kNone;

    bool isNone() const { return to == kNone; }
    bool isSplit() const { return from == to; }
    friend bool operator==(CompactMove a, CompactMove b) { return a.from == b.from && a.to == b.to; }
    friend bool operator!=(CompactMove a, CompactMove b) { return !(a == b); }
};

// A 9 x 9 position packed into two bit sets, with the player to move and a
// Zobrist key kept up to date move by move. Field (x, y) is bit x + 9 y. The
// rules are the board's: the same moves, conversions and results, without
// the queue, so the search can copy a position for every move it tries.
class CompactPosition {
public:
    using Bits = unsigned __int128;

    static constexpr int kSide = 9;
    static constexpr int kFields = kSide * kSide;
    // A jump reaches at most 16 fields and a split target is an empty field,
    // so with f figures and e empty fields (f + e <= 81) there are at most
    // 16 min(f, e) + e <= 16 * 40 + 41 moves.
    static constexpr int kMaxMoves = 16 * 40 + 41;

    CompactPosition() = default;
    // The board's fields with player (1 or 2) to move. Only a 9 x 9 board fits.
    static bool fits(const GameBoard& board);
    static CompactPosition fromBoard(const GameBoard& board, int player);

    int toMove() const { return side; }
    int32_t getField(int x, int y) const;
    void setField(int x, int y, int32_t value);
    int count(int player) const;
    uint64_t key() const { return hash; }
    // The key recomputed from nothing; equals key() unless the upkeep is wrong.
    uint64_t computeKey() const;

    // Every distinct move of the player to move; returns how many it wrote.
    int generateMoves(CompactMove* out) const;
    bool hasMove(int player) const;
    // Plays a move of the player to move (one that generateMoves lists) and
    // passes the turn.
    void play(CompactMove move);
    bool isLegal(CompactMove move) const;
    // Fields that play(move) would convert.
    int conversions(CompactMove move) const;
    // The same for a move to each empty field, all at once (0 for the
    // other fields).
    void conversionsByField(std::array<uint8_t, kFields>& out) const;
    // The board's result rules: 0 while undecided, else the winning player.
    int winner() const;
    // Split targets of a player: the empty fields next to their figures.
    int reach(int player) const;

    // The fields as bit sets, for the evaluation.
    Bits figureBits(int player) const { return figures(player); }
    Bits emptyBits() const { return empty(); }
    // The set together with every field at distance 1 from it.
    static Bits grown(Bits set);
    // How many fields of set touch each field, bit-sliced: bit f of plane k
    // is bit k of field f's count (0 to 8).
    static std::array<Bits, 4> neighbourCounts(Bits set);
    static Bits border();
    static int popCount(Bits set) {
        return __builtin_popcountll(static_cast<uint64_t>(set)) +
               __builtin_popcountll(static_cast<uint64_t>(set >> 64));
    }

    static int fieldX(int field) { return field % kSide; }
    static int fieldY(int field) { return field / kSide; }
    static int fieldAt(int x, int y) { return x + y * kSide; }

private:
    Bits& figures(int player) { return player == 1 ? player1 : player2; }
    const Bits& figures(int player) const { return player == 1 ? player1 : player2; }
    Bits empty() const;

    Bits player1 = 0;
    Bits player2 = 0;
    int side = 1;
    uint64_t hash = 0;
};
