#pragma once

#include "game/compactposition.h"

#include <array>

// What the expert thinks of a position without looking ahead, in hundredths
// of a figure from the view of the player to move. The fitted evaluation is a
// weighted sum of features whose weights slide from their value on an empty
// board to their value on a full one; the weights were fitted to the results
// of self-play games (`sporrik_rulesbench tune`).
class ExpertEvaluation {
public:
    // The first five count the player to move's less the opponent's.
    enum Feature {
        // Figures.
        Material,
        // Empty fields next to own figures: the splits left.
        Reach,
        // Empty fields only a jump reaches.
        JumpReach,
        // Own figures next to an empty field, where a landing converts them.
        Frontier,
        // Own figures on the board's edge, which fewer fields touch.
        Edge,
        // The most the player to move's best single move wins at once (a
        // conversion counts twice, a split adds one).
        GainToMove,
        // The same for the opponent, had it the move: a threat.
        GainAgainst,
        // 1 for the player to move.
        Tempo,
        kFeatureCount
    };
    using Features = std::array<int, kFeatureCount>;
    struct Weight {
        int emptyBoard;
        int fullBoard;
    };
    using Weights = std::array<Weight, kFeatureCount>;

    // A figure's worth: the unit of the evaluation.
    static constexpr int kFigure = 100;
    // A split left, weighed by hand before the fitting.
    static constexpr int kHandReach = 8;
    // The empty fields at the start, where the weights take their
    // empty-board values.
    static constexpr int kOpeningEmpty = CompactPosition::kFields - 2;

    static Features measure(const CompactPosition& position);
    // The empty fields, at most kOpeningEmpty.
    static int phase(const CompactPosition& position);
    static int weigh(const Weights& weights, const Features& features, int phase);

    static int fitted(const CompactPosition& position);
    // Figures and splits left, weighed by hand before the fitting; fast.
    static int byHand(const CompactPosition& position);

    static const Weights& fittedWeights();
};
