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
// a transposition table, late-move reductions and an evaluation fitted on
// self-play games; aspiration windows and a clock that spends more time where
// the best move is unsettled can be switched on. Synchronous; ExpertPlayer
// runs it on a thread.
class ExpertSearch {
public:
    // What the search does beyond plain principal-variation search; each can
    // be switched off to measure what it brings.
    struct Settings {
        // Late moves of small gain are searched shallower first, and again to
        // the full depth only when they beat the best move so far.
        bool lateMoveReductions = true;
        // From the fourth iteration on the root starts with a narrow window
        // around the last score, widened when the score falls outside it.
        // Off: it won no more games than it lost (README, Measuring the rules).
        bool aspirationWindows = false;
        // ExpertEvaluation::fitted instead of ExpertEvaluation::byHand.
        bool fittedEvaluation = true;
        // The time and node limits are an average to aim at: a search spends
        // more while its best move keeps changing and less once the move
        // stands firm, and an iteration cut short still gives the best move
        // it has proved. Off: it won no more games than it lost.
        bool flexibleClock = false;
        // The remembered best move searched before the other moves are
        // generated, and the conversions of all moves counted at once for
        // their order: faster, the same order.
        bool quickOrdering = true;

        // None of the above: the search as it played before they came, the
        // yardstick the benchmark measures them against.
        static Settings baseline();
    };
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
    // Scores are in hundredths of a figure (below kWinScore's neighbourhood).
    static constexpr int kFigureScore = 100;
    // With the flexible clock one search takes at most this many times its
    // limits.
    static constexpr double kMaxStretch = 2.0;

    // The transposition table holds 2^tableBits entries.
    explicit ExpertSearch(int tableBits = kDefaultTableBits);
    ExpertSearch(int tableBits, const Settings& settings);

    // The best move for the player to move. stop (not owned, may be null)
    // ends the search early from another thread, as the limits do.
    Result run(const CompactPosition& root, const Limits& limits, const std::atomic<bool>* stop = nullptr);
    // Forgets what earlier searches stored.
    void clear();

    const Settings& getSettings() const { return settings; }

    // The fitted evaluation, from the view of the player to move.
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
    // One pass over the root's moves within a window.
    struct RootPass {
        int score;
        // The move that raised the window's lower end last; none on a fail low.
        CompactMove best;
    };

    RootPass searchRoot(const CompactPosition& root, uint64_t* order, int n, int depth, int alpha, int beta);
    int search(const CompactPosition& position, int depth, int alpha, int beta, int ply);
    // The score of playing move in position, searched to depth: the first
    // move with the whole window, the others by principal variation search,
    // first reduction plies shallower when that is more than 0.
    int searchMove(const CompactPosition& position, CompactMove move, int depth, int alpha, int beta, int ply,
                   bool first, int reduction);
    // How many plies shallower the index-th move (in search order) is tried
    // first; packed is its ordering key with the move.
    int reduction(int depth, int index, uint64_t packed, bool window) const;
    int evaluatePosition(const CompactPosition& position) const;
    // Packs each move with its ordering key.
    void orderMoves(const CompactPosition& position, const CompactMove* moves, uint64_t* order, int n,
                    CompactMove best, int ply) const;
    bool outOfBudget();
    // The share of the limits spent so far (the larger of time and nodes).
    double spent() const;
    // With the flexible clock, the share of the limits this search may take.
    double share() const;
    // Lets the search run until share times the limits.
    void allow(double share);
    Entry& slot(uint64_t key) { return table[key & tableMask]; }
    void store(uint64_t key, int depth, int score, Bound bound, CompactMove move, int ply);

    Settings settings;
    // Zeroed pages come from the system on first touch, so building a
    // search costs no time however large its table.
    std::unique_ptr<Entry[], FreeTable> table;
    uint64_t tableMask = 0;
    std::array<std::array<CompactMove, 2>, kMaxDepth + 1> killers{};
    std::array<std::array<int32_t, CompactPosition::kFields>, CompactPosition::kFields> history{};

    // Per run.
    Limits limits;
    const std::atomic<bool>* stopFlag = nullptr;
    Clock::time_point start;
    // Where the search is cut off: the limits, or with the flexible clock a
    // share of them.
    Clock::time_point deadline;
    uint64_t nodeLimit = 0;
    uint64_t nodes = 0;
    bool stopped = false;
    // Recent changes of the best move at the root, older ones counting less.
    double unrest = 0.0;
};
