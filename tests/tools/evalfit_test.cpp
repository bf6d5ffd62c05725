#include "evalfit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// Positions of every density, each labelled with the win probability that
// the weights in use give it on a known logistic curve: the fit must find
// those weights again, and the curve's slope.
TEST(EvalFit, FindsTheWeightsThatMadeTheLabels) {
    constexpr double kSlope = 0.004;
    constexpr long kPositions = 3000;
    constexpr int kHeldOutEvery = 5;
    const ExpertEvaluation::Weights& truth = ExpertEvaluation::fittedWeights();
    std::mt19937 rng(7);
    std::vector<EngineMatch::Sample> samples;
    for (long i = 0; i < kPositions; ++i) {
        CompactPosition position;
        const unsigned emptyShare = 1 + rng() % 9;
        for (int y = 0; y < CompactPosition::kSide; ++y) {
            for (int x = 0; x < CompactPosition::kSide; ++x) {
                position.setField(x, y, rng() % 10 < emptyShare ? 0 : 1 + static_cast<int>(rng() % 2));
            }
        }
        // A move of player 1 leaves player 2 to move.
        CompactMove moves[CompactPosition::kMaxMoves];
        const int n = position.generateMoves(moves);
        if (n > 0 && rng() % 2 != 0) {
            position.play(moves[rng() % static_cast<unsigned>(n)]);
        }
        const int evaluation = ExpertEvaluation::weigh(truth, ExpertEvaluation::measure(position),
                                                       ExpertEvaluation::phase(position));
        const auto label = static_cast<float>(1.0 / (1.0 + std::exp(-kSlope * evaluation)));
        samples.push_back({position, label, i});
    }

    const EvalFit::Fit fit = EvalFit::fit(samples, kHeldOutEvery);
    EXPECT_EQ(fit.heldOutPositions, kPositions / kHeldOutEvery);
    EXPECT_EQ(fit.trainingPositions + fit.heldOutPositions, kPositions);
    EXPECT_NEAR(fit.slope, kSlope, kSlope / 100);
    for (size_t i = 0; i < truth.size(); ++i) {
        EXPECT_NEAR(fit.weights[i].emptyBoard, truth[i].emptyBoard, 2) << "feature " << i;
        EXPECT_NEAR(fit.weights[i].fullBoard, truth[i].fullBoard, 2) << "feature " << i;
    }
    EXPECT_NEAR(fit.heldOutLoss, fit.heldOutLossInUse, 1e-4);
    EXPECT_LT(fit.heldOutLoss, fit.heldOutLossByHand);
}

} // namespace
