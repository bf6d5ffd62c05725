#include "game/expertsearch.h"

#include "game/expertevaluation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

namespace {

constexpr int kInfinity = ExpertSearch::kWinScore + 1;
// Scores beyond this are wins or losses found some plies down.
constexpr int kWinThreshold = ExpertSearch::kWinScore - ExpertSearch::kMaxDepth - 1;
// The clock and the stop flag are read once per this many positions (a power
// of two): often enough to stop within a fraction of a millisecond.
constexpr uint64_t kCheckInterval = 1024;

// Move ordering keys: the remembered best move, then immediate gain, then
// killers, then history.
constexpr int kTableMoveKey = 1 << 30;
constexpr int kGainKey = 1 << 20;
constexpr int kKillerKey = 1 << 19;
constexpr int kHistoryLimit = 1 << 18;

// Late-move reductions: from this remaining depth and this place in the
// order on, a move is first searched log(depth) log(index) / kDivisor plies
// shallower (less one inside the principal variation), rounded.
constexpr int kMinReducedDepth = 3;
constexpr int kFirstReducedMove = 3;
constexpr double kReductionBase = 0.5;
constexpr double kReductionDivisor = 2.0;
constexpr int kReductionDepths = 32;
constexpr int kReductionIndices = 64;

// Aspiration windows: half the first window, in hundredths of a figure; each
// failure widens it this many times.
constexpr int kAspirationMinDepth = 4;
constexpr int kAspirationWindow = 50;
constexpr int kAspirationGrowth = 4;

// The flexible clock, in shares of the limits: a search is cut off at
// kSteadyShare plus kUnrestShare for each recent change of the best move (a
// change counts kUnrestDecay as much one iteration later), at most
// ExpertSearch::kMaxStretch; past kNewIterationShare of that cut-off no new
// iteration starts, since it would prove little before it.
constexpr double kSteadyShare = 0.8;
constexpr double kUnrestShare = 0.5;
constexpr double kUnrestDecay = 0.5;
constexpr double kNewIterationShare = 0.6;

int toTable(int score, int ply) {
    return score > kWinThreshold ? score + ply : score < -kWinThreshold ? score - ply : score;
}

int fromTable(int score, int ply) {
    return score > kWinThreshold ? score - ply : score < -kWinThreshold ? score + ply : score;
}

bool isDecided(int score) {
    return score > kWinThreshold || score < -kWinThreshold;
}

// A move and its ordering key in one number, so that ordering is one sort.
constexpr int kMoveBits = 16;

uint64_t pack(CompactMove move, int key) {
    return static_cast<uint64_t>(key) << kMoveBits | static_cast<uint64_t>(move.from) << 8 | move.to;
}

CompactMove unpack(uint64_t packed) {
    return {static_cast<uint8_t>(packed >> 8), static_cast<uint8_t>(packed)};
}

// The first move alone, since it often refutes the position and the rest is
// never looked at; then the rest, best first.
void bringForward(uint64_t* order, int i, int n) {
    if (i == 0) {
        std::swap(order[0], *std::max_element(order, order + n));
    } else if (i == 1) {
        std::sort(order + 1, order + n, std::greater<uint64_t>());
    }
}

using ReductionTable = std::array<std::array<int8_t, kReductionIndices>, kReductionDepths>;

ReductionTable makeReductions() {
    ReductionTable table{};
    for (int depth = 1; depth < kReductionDepths; ++depth) {
        for (int index = 1; index < kReductionIndices; ++index) {
            const double r = kReductionBase + std::log(depth) * std::log(index) / kReductionDivisor;
            table[static_cast<size_t>(depth)][static_cast<size_t>(index)] = static_cast<int8_t>(r);
        }
    }
    return table;
}

const ReductionTable kReductions = makeReductions();

} // namespace

ExpertSearch::Settings ExpertSearch::Settings::baseline() {
    Settings settings;
    settings.lateMoveReductions = false;
    settings.aspirationWindows = false;
    settings.fittedEvaluation = false;
    settings.flexibleClock = false;
    settings.quickOrdering = false;
    return settings;
}

void ExpertSearch::FreeTable::operator()(Entry* entries) const {
    std::free(entries);
}

ExpertSearch::ExpertSearch(int tableBits) : ExpertSearch(tableBits, Settings()) {}

ExpertSearch::ExpertSearch(int tableBits, const Settings& newSettings)
    : settings(newSettings), table(static_cast<Entry*>(std::calloc(size_t{1} << tableBits, sizeof(Entry)))),
      tableMask((uint64_t{1} << tableBits) - 1) {
    if (!table) {
        throw std::bad_alloc();
    }
}

void ExpertSearch::clear() {
    std::memset(table.get(), 0, (tableMask + 1) * sizeof(Entry));
    for (auto& row : history) {
        row.fill(0);
    }
}

int ExpertSearch::evaluate(const CompactPosition& position) {
    return ExpertEvaluation::fitted(position);
}

int ExpertSearch::evaluatePosition(const CompactPosition& position) const {
    return settings.fittedEvaluation ? ExpertEvaluation::fitted(position)
                                     : ExpertEvaluation::byHand(position);
}

ExpertSearch::Result ExpertSearch::run(const CompactPosition& root, const Limits& newLimits,
                                       const std::atomic<bool>* stop) {
    start = Clock::now();
    limits = newLimits;
    stopFlag = stop;
    nodes = 0;
    stopped = false;
    unrest = 0.0;
    allow(settings.flexibleClock ? kSteadyShare : 1.0);
    for (auto& pair : killers) {
        pair = {};
    }
    // Old history still hints, but the new position's cut-offs should win.
    for (auto& row : history) {
        for (auto& value : row) {
            value /= 2;
        }
    }

    Result result;
    CompactMove moves[CompactPosition::kMaxMoves];
    uint64_t order[CompactPosition::kMaxMoves];
    const int n = root.generateMoves(moves);
    if (n == 0) {
        return result;
    }
    // Even a decided root gets a move: the board lets the game go on, and the
    // result may change again.
    result.move = moves[0];
    const int deepest = std::clamp(limits.depth, 1, kMaxDepth);
    for (int depth = 1; depth <= deepest; ++depth) {
        int alpha = -kInfinity;
        int beta = kInfinity;
        int window = kAspirationWindow;
        if (settings.aspirationWindows && depth >= kAspirationMinDepth) {
            alpha = std::max(result.score - window, -kInfinity);
            beta = std::min(result.score + window, kInfinity);
        }
        // The best move this iteration has proved so far, for a cut short one.
        CompactMove proved;
        RootPass pass{};
        for (;;) {
            orderMoves(root, moves, order, n, proved.isNone() ? result.move : proved, 0);
            pass = searchRoot(root, order, n, depth, alpha, beta);
            if (!pass.best.isNone()) {
                proved = pass.best;
            }
            if (stopped) {
                break;
            }
            if (pass.score <= alpha && alpha > -kInfinity) {
                alpha = std::max(alpha - window * kAspirationGrowth, -kInfinity);
            } else if (pass.score >= beta && beta < kInfinity) {
                beta = std::min(beta + window * kAspirationGrowth, kInfinity);
            } else {
                break;
            }
            window = std::min(window * kAspirationGrowth, kInfinity);
        }
        // An unfinished iteration has not looked at every move: the last
        // finished one decides, or with the flexible clock a move this one
        // has proved better.
        if (stopped) {
            if (settings.flexibleClock && !proved.isNone()) {
                result.move = proved;
            }
            break;
        }
        result.move = pass.best;
        result.score = pass.score;
        result.depth = depth;
        store(root.key(), depth, pass.score, BoundExact, pass.best, 0);
        if (isDecided(pass.score)) {
            break;
        }
        if (settings.flexibleClock) {
            if (n == 1 || spent() >= share() * kNewIterationShare) {
                break;
            }
            unrest *= kUnrestDecay;
            allow(share());
        }
    }
    result.nodes = nodes;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}

ExpertSearch::RootPass ExpertSearch::searchRoot(const CompactPosition& root, uint64_t* order, int n,
                                                int depth, int alpha, int beta) {
    RootPass pass{-kInfinity, CompactMove()};
    for (int i = 0; i < n; ++i) {
        bringForward(order, i, n);
        const CompactMove move = unpack(order[i]);
        const int score =
            searchMove(root, move, depth - 1, alpha, beta, 0, i == 0, reduction(depth, i, order[i], true));
        if (stopped) {
            break;
        }
        pass.score = std::max(pass.score, score);
        if (score > alpha) {
            alpha = score;
            pass.best = move;
            // Another move than the last iteration's best: worth more time.
            if (settings.flexibleClock && i > 0 && depth > 1) {
                unrest += 1.0;
                allow(share());
            }
            if (alpha >= beta) {
                break;
            }
        }
    }
    return pass;
}

double ExpertSearch::spent() const {
    double share = 0.0;
    if (limits.seconds > 0.0) {
        share = std::chrono::duration<double>(Clock::now() - start).count() / limits.seconds;
    }
    if (limits.nodes != 0) {
        share = std::max(share, static_cast<double>(nodes) / static_cast<double>(limits.nodes));
    }
    return share;
}

double ExpertSearch::share() const {
    return std::min(kSteadyShare + kUnrestShare * unrest, kMaxStretch);
}

void ExpertSearch::allow(double share) {
    deadline = start + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(limits.seconds * share));
    nodeLimit = static_cast<uint64_t>(std::ceil(static_cast<double>(limits.nodes) * share));
}

bool ExpertSearch::outOfBudget() {
    if (stopFlag != nullptr && stopFlag->load(std::memory_order_relaxed)) {
        return true;
    }
    if (limits.nodes != 0 && nodes >= nodeLimit) {
        return true;
    }
    return limits.seconds > 0.0 && Clock::now() >= deadline;
}

int ExpertSearch::search(const CompactPosition& position, int depth, int alpha, int beta, int ply) {
    ++nodes;
    if (nodes % kCheckInterval == 0 && outOfBudget()) {
        stopped = true;
    }
    if (stopped) {
        return 0;
    }
    const int result = position.winner();
    if (result != 0) {
        return result == position.toMove() ? kWinScore - ply : -(kWinScore - ply);
    }
    if (depth <= 0 || ply >= kMaxDepth) {
        return evaluatePosition(position);
    }

    const uint64_t key = position.key();
    const Entry& entry = slot(key);
    CompactMove tableMove;
    if (entry.key == key && entry.bound != BoundNone) {
        // A colliding index with another position's move is possible in
        // principle; only a move legal here is tried first.
        const CompactMove stored{entry.moveFrom, entry.moveTo};
        if (position.isLegal(stored)) {
            tableMove = stored;
        }
        if (entry.depth >= depth) {
            const int stored = fromTable(entry.score, ply);
            if (entry.bound == BoundExact || (entry.bound == BoundLower && stored >= beta) ||
                (entry.bound == BoundUpper && stored <= alpha)) {
                return stored;
            }
        }
    }

    const int originalAlpha = alpha;
    const bool wide = beta - alpha > 1;
    int bestScore = -kInfinity;
    CompactMove bestMove;
    // Takes in one move's score; true on a cut-off.
    const auto take = [&](CompactMove move, int score) {
        if (score <= bestScore) {
            return false;
        }
        bestScore = score;
        bestMove = move;
        if (score <= alpha) {
            return false;
        }
        alpha = score;
        if (alpha < beta) {
            return false;
        }
        auto& pair = killers[static_cast<size_t>(ply)];
        if (pair[0] != move) {
            pair[1] = pair[0];
            pair[0] = move;
        }
        int32_t& h = history[move.from][move.to];
        h = std::min(h + depth * depth, kHistoryLimit);
        store(key, depth, bestScore, BoundLower, bestMove, ply);
        return true;
    };
    // The remembered best move, always first, often refutes the position
    // alone: with quick ordering the others are not generated before that.
    const bool tableMoveFirst = settings.quickOrdering && !tableMove.isNone();
    if (tableMoveFirst) {
        const int score = searchMove(position, tableMove, depth - 1, alpha, beta, ply, true, 0);
        if (stopped) {
            return 0;
        }
        if (take(tableMove, score)) {
            return bestScore;
        }
    }

    CompactMove moves[CompactPosition::kMaxMoves];
    uint64_t order[CompactPosition::kMaxMoves];
    const int n = position.generateMoves(moves);
    orderMoves(position, moves, order, n, tableMove, ply);
    if (tableMoveFirst) {
        bringForward(order, 0, n);
    }
    for (int i = tableMoveFirst ? 1 : 0; i < n; ++i) {
        bringForward(order, i, n);
        const CompactMove move = unpack(order[i]);
        const int score = searchMove(position, move, depth - 1, alpha, beta, ply, i == 0,
                                     reduction(depth, i, order[i], wide));
        if (stopped) {
            return 0;
        }
        if (take(move, score)) {
            return bestScore;
        }
    }
    store(key, depth, bestScore, bestScore > originalAlpha ? BoundExact : BoundUpper, bestMove, ply);
    return bestScore;
}

int ExpertSearch::searchMove(const CompactPosition& position, CompactMove move, int depth, int alpha,
                             int beta, int ply, bool first, int reduction) {
    CompactPosition child = position;
    child.play(move);
    if (first) {
        return -search(child, depth, -beta, -alpha, ply + 1);
    }
    // The moves after the first are expected to fail low: a null window
    // proves it cheaply, and only a move that beats alpha is searched again,
    // first to the full depth if it was reduced, then with the whole window.
    if (reduction > 0) {
        const int reduced = -search(child, depth - reduction, -alpha - 1, -alpha, ply + 1);
        if (reduced <= alpha || stopped) {
            return reduced;
        }
    }
    const int score = -search(child, depth, -alpha - 1, -alpha, ply + 1);
    if (score > alpha && score < beta && !stopped) {
        return -search(child, depth, -beta, -alpha, ply + 1);
    }
    return score;
}

int ExpertSearch::reduction(int depth, int index, uint64_t packed, bool wide) const {
    if (!settings.lateMoveReductions || depth < kMinReducedDepth || index < kFirstReducedMove) {
        return 0;
    }
    // The remembered best move and the killers are kept to the full depth.
    const uint64_t key = packed >> kMoveBits;
    if (key >= static_cast<uint64_t>(kTableMoveKey) || (key & kKillerKey) != 0) {
        return 0;
    }
    int r = kReductions[static_cast<size_t>(std::min(depth, kReductionDepths - 1))]
                       [static_cast<size_t>(std::min(index, kReductionIndices - 1))];
    if (wide) {
        --r;
    }
    // The reduced search still looks one ply ahead.
    return std::clamp(r, 0, depth - 2);
}

void ExpertSearch::orderMoves(const CompactPosition& position, const CompactMove* moves, uint64_t* order,
                              int n, CompactMove best, int ply) const {
    const auto& pair = killers[static_cast<size_t>(ply)];
    std::array<uint8_t, CompactPosition::kFields> converts;
    if (settings.quickOrdering) {
        position.conversionsByField(converts);
    }
    for (int i = 0; i < n; ++i) {
        const CompactMove move = moves[i];
        if (move == best) {
            order[i] = pack(move, kTableMoveKey);
            continue;
        }
        // What the move changes the material by: conversions count twice,
        // a split adds a figure.
        const int converted = settings.quickOrdering ? converts[move.to] : position.conversions(move);
        const int gain = 2 * converted + (move.isSplit() ? 1 : 0);
        int key = gain * kGainKey + history[move.from][move.to];
        if (move == pair[0] || move == pair[1]) {
            key += kKillerKey;
        }
        order[i] = pack(move, key);
    }
}

void ExpertSearch::store(uint64_t key, int depth, int score, Bound bound, CompactMove move, int ply) {
    Entry& entry = slot(key);
    entry.key = key;
    entry.score = toTable(score, ply);
    entry.depth = static_cast<uint8_t>(depth);
    entry.bound = bound;
    entry.moveFrom = move.from;
    entry.moveTo = move.to;
}
