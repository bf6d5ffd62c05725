#pragma once

#include "game/compactposition.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

// The expert computer player's thinking: iterative deepening with
// principal-variation alpha-beta search over compact positions, move
// ordering by a remembered best move, killers, history and immediate gain,
// and a transposition table. Synchronous; ExpertPlayer runs it on a thread.
class ExpertSearch {
public:
    struct Limits {
        // Wall-clock budget; 0 = none.
        double seconds = 0.0;
        // Positions to visit at most; 0 = none.
        uint64_t nodes = 0;
        // Deepest iteration.
        int depth = kMaxDepth;
    };
    struct Result {
        // None only when the player to move has no move.
        CompactMove move;
        int score = 0;
        // The deepest iteration that completed.
        int depth = 0;
        uint64_t nodes = 0;
        double seconds = 0.0;
    };

    static constexpr int kMaxDepth = 64;
    static constexpr int kWinScore = 1000000;
    static constexpr int kDefaultTableBits = 20;

    // The transposition table holds 2^tableBits entries.
    explicit ExpertSearch(int tableBits = kDefaultTableBits);

    // The best move for the player to move. stop (not owned, may be null)
    // ends the search early from another thread, as the limits do.
    Result run(const CompactPosition& root, const Limits& limits, const std::atomic<bool>* stop = nullptr);
    // Forgets what earlier searches stored.
    void clear();

    // From the view of the player to move: material first, then mobility.
    static int evaluate(const CompactPosition& position);

private:
    using Clock = std::chrono::steady_clock;

    enum Bound : uint8_t { BoundNone, BoundExact, BoundLower, BoundUpper };
    // Trivial, so that a table of zero bytes is a table of empty entries.
    struct Entry {
        uint64_t key;
        int32_t score;
        uint8_t depth;
        uint8_t bound;
        uint8_t moveFrom;
        uint8_t moveTo;
    };
    struct FreeTable {
        void operator()(Entry* entries) const;
    };

    int search(const CompactPosition& position, int depth, int alpha, int beta, int ply);
    // The score of playing move in position, searched to depth: the first
    // move with the whole window, the others by principal variation search.
    int searchMove(const CompactPosition& position, CompactMove move, int depth, int alpha, int beta, int ply,
                   bool first);
    // Packs each move with its ordering key.
    void orderMoves(const CompactPosition& position, const CompactMove* moves, uint64_t* order, int n,
                    CompactMove best, int ply) const;
    bool outOfBudget();
    Entry& slot(uint64_t key) { return table[key & tableMask]; }
    void store(uint64_t key, int depth, int score, Bound bound, CompactMove move, int ply);

    // Zeroed pages come from the system on first touch, so building a
    // search costs no time however large its table.
    std::unique_ptr<Entry[], FreeTable> table;
    uint64_t tableMask = 0;
    std::array<std::array<CompactMove, 2>, kMaxDepth + 1> killers{};
    std::array<std::array<int32_t, CompactPosition::kFields>, CompactPosition::kFields> history{};

    // Per run.
    Limits limits;
    const std::atomic<bool>* stopFlag = nullptr;
    Clock::time_point deadline;
    uint64_t nodes = 0;
    bool stopped = false;
};
