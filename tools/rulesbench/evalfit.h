#pragma once

#include "enginematch.h"
#include "game/expertevaluation.h"

#include <vector>

// Fits the expert's evaluation to game results, the way Texel's tuning did
// for chess: each position's features from ExpertEvaluation::measure, its
// label the result of the game it came from for the player to move, and the
// weights those that minimise the log loss of the logistic curve through the
// evaluation, found by Newton's method. A figure stays worth
// ExpertEvaluation::kFigure in every phase; the curve's slope per hundredth
// of a figure is fitted with the rest.
class EvalFit {
public:
    struct Fit {
        ExpertEvaluation::Weights weights{};
        // Win probability = 1 / (1 + exp(-slope * evaluation)).
        double slope = 0.0;
        // Mean log loss on the held-out positions, of the fitted weights and
        // of the weights in use, each with its own best slope.
        double heldOutLoss = 0.0;
        double heldOutLossInUse = 0.0;
        // And of figures and splits weighed by hand.
        double heldOutLossByHand = 0.0;
        long trainingPositions = 0;
        long heldOutPositions = 0;
    };

    // The positions of every heldOutEvery-th game are kept out of the fit to
    // test it.
    static Fit fit(const std::vector<EngineMatch::Sample>& samples, int heldOutEvery);
};
