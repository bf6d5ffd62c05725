#include "game/expertsearch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

namespace {

// Material dominates: a figure is worth more than any difference in reach.
constexpr int kFigureValue = 100;
// Each empty field next to an own figure is a split the player can still make.
constexpr int kReachValue = 8;
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

int toTable(int score, int ply) {
    return score > kWinThreshold ? score + ply : score < -kWinThreshold ? score - ply : score;
}

int fromTable(int score, int ply) {
    return score > kWinThreshold ? score - ply : score < -kWinThreshold ? score + ply : score;
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

} // namespace

void ExpertSearch::FreeTable::operator()(Entry* entries) const {
    std::free(entries);
}

ExpertSearch::ExpertSearch(int tableBits)
    : table(static_cast<Entry*>(std::calloc(size_t{1} << tableBits, sizeof(Entry)))),
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
    const int me = position.toMove();
    const int opponent = 3 - me;
    const int material = position.count(me) - position.count(opponent);
    const int reach = position.reach(me) - position.reach(opponent);
    return material * kFigureValue + reach * kReachValue;
}

ExpertSearch::Result ExpertSearch::run(const CompactPosition& root, const Limits& newLimits,
                                       const std::atomic<bool>* stop) {
    const Clock::time_point start = Clock::now();
    limits = newLimits;
    stopFlag = stop;
    deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limits.seconds));
    nodes = 0;
    stopped = false;
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
        orderMoves(root, moves, order, n, result.move, 0);
        int alpha = -kInfinity;
        CompactMove best;
        for (int i = 0; i < n; ++i) {
            bringForward(order, i, n);
            const CompactMove move = unpack(order[i]);
            const int score = searchMove(root, move, depth - 1, alpha, kInfinity, 0, i == 0);
            if (stopped) {
                break;
            }
            if (score > alpha) {
                alpha = score;
                best = move;
            }
        }
        // An unfinished iteration has not looked at every move: the last
        // finished one decides.
        if (stopped) {
            break;
        }
        result.move = best;
        result.score = alpha;
        result.depth = depth;
        store(root.key(), depth, alpha, BoundExact, best, 0);
        if (alpha > kWinThreshold || alpha < -kWinThreshold) {
            break;
        }
    }
    result.nodes = nodes;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}

bool ExpertSearch::outOfBudget() {
    if (stopFlag != nullptr && stopFlag->load(std::memory_order_relaxed)) {
        return true;
    }
    if (limits.nodes != 0 && nodes >= limits.nodes) {
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
    if (depth == 0 || ply >= kMaxDepth) {
        return evaluate(position);
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

    CompactMove moves[CompactPosition::kMaxMoves];
    uint64_t order[CompactPosition::kMaxMoves];
    const int n = position.generateMoves(moves);
    orderMoves(position, moves, order, n, tableMove, ply);
    const int originalAlpha = alpha;
    int bestScore = -kInfinity;
    CompactMove bestMove;
    for (int i = 0; i < n; ++i) {
        bringForward(order, i, n);
        const CompactMove move = unpack(order[i]);
        const int score = searchMove(position, move, depth - 1, alpha, beta, ply, i == 0);
        if (stopped) {
            return 0;
        }
        if (score <= bestScore) {
            continue;
        }
        bestScore = score;
        bestMove = move;
        if (score <= alpha) {
            continue;
        }
        alpha = score;
        if (alpha >= beta) {
            auto& pair = killers[static_cast<size_t>(ply)];
            if (pair[0] != move) {
                pair[1] = pair[0];
                pair[0] = move;
            }
            int32_t& h = history[move.from][move.to];
            h = std::min(h + depth * depth, kHistoryLimit);
            store(key, depth, bestScore, BoundLower, bestMove, ply);
            return bestScore;
        }
    }
    store(key, depth, bestScore, bestScore > originalAlpha ? BoundExact : BoundUpper, bestMove, ply);
    return bestScore;
}

int ExpertSearch::searchMove(const CompactPosition& position, CompactMove move, int depth, int alpha,
                             int beta, int ply, bool first) {
    CompactPosition child = position;
    child.play(move);
    if (first) {
        return -search(child, depth, -beta, -alpha, ply + 1);
    }
    // The moves after the first are expected to fail low: a null window
    // proves it cheaply, and only a move that beats alpha is searched again.
    const int score = -search(child, depth, -alpha - 1, -alpha, ply + 1);
    if (score > alpha && score < beta && !stopped) {
        return -search(child, depth, -beta, -alpha, ply + 1);
    }
    return score;
}

void ExpertSearch::orderMoves(const CompactPosition& position, const CompactMove* moves, uint64_t* order,
                              int n, CompactMove best, int ply) const {
    const auto& pair = killers[static_cast<size_t>(ply)];
    for (int i = 0; i < n; ++i) {
        const CompactMove move = moves[i];
        if (move == best) {
            order[i] = pack(move, kTableMoveKey);
            continue;
        }
        // What the move changes the material by: conversions count twice,
        // a split adds a figure.
        const int gain = 2 * position.conversions(move) + (move.isSplit() ? 1 : 0);
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
