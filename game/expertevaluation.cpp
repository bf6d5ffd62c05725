#include "game/expertevaluation.h"

#include <algorithm>

namespace {

using Bits = CompactPosition::Bits;

constexpr int kHandFigureValue = ExpertEvaluation::kFigure;
constexpr int kHandReachValue = ExpertEvaluation::kHandReach;

// Fitted by `sporrik_rulesbench tune` to the expert's self-play games
// (README, Measuring the rules); the weights in use are those of its last run.
constexpr ExpertEvaluation::Weights kFittedWeights = {{
    {100, 100}, // Material
    {-10, 16},  // Reach
    {-2, 2},    // JumpReach
    {-147, 69}, // Frontier
    {-31, 56},  // Edge
    {-18, 130}, // GainToMove
    {5, -64},   // GainAgainst
    {-34, -15}, // Tempo
}};

// The largest count among the targets, -1 without targets.
int largestCount(Bits targets, const std::array<Bits, 4>& planes) {
    if (targets == 0) {
        return -1;
    }
    int count = 0;
    for (int k = static_cast<int>(planes.size()) - 1; k >= 0; --k) {
        const Bits higher = targets & planes[static_cast<size_t>(k)];
        if (higher != 0) {
            targets = higher;
            count |= 1 << k;
        }
    }
    return count;
}

// What the best move onto a split or jump target wins at once: each
// converted figure moves two in the difference, a split adds one.
int bestGain(Bits splits, Bits jumps, const std::array<Bits, 4>& opponentCounts) {
    const int split = largestCount(splits, opponentCounts);
    const int jump = largestCount(jumps, opponentCounts);
    return std::max({0, split >= 0 ? 2 * split + 1 : 0, 2 * jump});
}

} // namespace

ExpertEvaluation::Features ExpertEvaluation::measure(const CompactPosition& position) {
    const int me = position.toMove();
    const Bits own = position.figureBits(me);
    const Bits other = position.figureBits(3 - me);
    const Bits empty = position.emptyBits();
    const Bits ownNear = CompactPosition::grown(own);
    const Bits otherNear = CompactPosition::grown(other);
    const Bits ownSplits = ownNear & empty;
    const Bits otherSplits = otherNear & empty;
    const Bits ownJumps = CompactPosition::grown(ownNear) & empty & ~ownSplits;
    const Bits otherJumps = CompactPosition::grown(otherNear) & empty & ~otherSplits;
    const Bits nearEmpty = CompactPosition::grown(empty);
    const Bits border = CompactPosition::border();
    const auto count = CompactPosition::popCount;

    Features f{};
    f[Material] = count(own) - count(other);
    f[Reach] = count(ownSplits) - count(otherSplits);
    f[JumpReach] = count(ownJumps) - count(otherJumps);
    f[Frontier] = count(own & nearEmpty) - count(other & nearEmpty);
    f[Edge] = count(own & border) - count(other & border);
    f[GainToMove] = bestGain(ownSplits, ownJumps, CompactPosition::neighbourCounts(other));
    f[GainAgainst] = bestGain(otherSplits, otherJumps, CompactPosition::neighbourCounts(own));
    f[Tempo] = 1;
    return f;
}

int ExpertEvaluation::phase(const CompactPosition& position) {
    return std::min(CompactPosition::popCount(position.emptyBits()), kOpeningEmpty);
}

int ExpertEvaluation::weigh(const Weights& weights, const Features& features, int phase) {
    int sum = 0;
    for (size_t i = 0; i < features.size(); ++i) {
        sum += features[i] * (weights[i].emptyBoard * phase + weights[i].fullBoard * (kOpeningEmpty - phase));
    }
    return sum / kOpeningEmpty;
}

int ExpertEvaluation::fitted(const CompactPosition& position) {
    return weigh(kFittedWeights, measure(position), phase(position));
}

int ExpertEvaluation::byHand(const CompactPosition& position) {
    const int me = position.toMove();
    const int opponent = 3 - me;
    const int material = position.count(me) - position.count(opponent);
    const int reach = position.reach(me) - position.reach(opponent);
    return material * kHandFigureValue + reach * kHandReachValue;
}

const ExpertEvaluation::Weights& ExpertEvaluation::fittedWeights() {
    return kFittedWeights;
}
