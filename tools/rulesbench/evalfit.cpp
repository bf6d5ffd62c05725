#include "evalfit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

using Evaluation = ExpertEvaluation;
constexpr int kFeatures = Evaluation::kFeatureCount;
constexpr int kOpening = Evaluation::kOpeningEmpty;
// Material has one weight; every other feature one on an empty and one on a
// full board.
constexpr int kParameters = 1 + 2 * (kFeatures - 1);
using Vector = std::array<double, kParameters>;
using Matrix = std::array<Vector, kParameters>;

constexpr int kNewtonSteps = 30;
constexpr double kConverged = 1e-9;
// A little ridge keeps the Hessian invertible when a feature never varies.
constexpr double kRidge = 1e-6;

struct Example {
    Vector inputs;
    double label;
};

// The weight of each parameter's column after the blend by phase.
Vector inputsOf(const Evaluation::Features& f, int phase) {
    Vector x{};
    x[0] = f[Evaluation::Material];
    const double empty = static_cast<double>(phase) / kOpening;
    for (int j = 1; j < kFeatures; ++j) {
        x[static_cast<size_t>(2 * j - 1)] = f[static_cast<size_t>(j)] * empty;
        x[static_cast<size_t>(2 * j)] = f[static_cast<size_t>(j)] * (1.0 - empty);
    }
    return x;
}

double logistic(double z) {
    return 1.0 / (1.0 + std::exp(-z));
}

double logLoss(double p, double label) {
    constexpr double kFloor = 1e-12;
    return -(label * std::log(std::max(p, kFloor)) + (1.0 - label) * std::log(std::max(1.0 - p, kFloor)));
}

// Solves a x = b by Gaussian elimination with partial pivoting.
Vector solve(Matrix a, Vector b) {
    for (int col = 0; col < kParameters; ++col) {
        int pivot = col;
        for (int row = col + 1; row < kParameters; ++row) {
            if (std::abs(a[row][col]) > std::abs(a[pivot][col])) {
                pivot = row;
            }
        }
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (int row = col + 1; row < kParameters; ++row) {
            const double factor = a[row][col] / a[col][col];
            for (int k = col; k < kParameters; ++k) {
                a[row][k] -= factor * a[col][k];
            }
            b[row] -= factor * b[col];
        }
    }
    Vector x{};
    for (int row = kParameters - 1; row >= 0; --row) {
        double sum = b[row];
        for (int k = row + 1; k < kParameters; ++k) {
            sum -= a[row][k] * x[k];
        }
        x[row] = sum / a[row][row];
    }
    return x;
}

// Logistic regression without intercept: the evaluation of a position and
// of the same position seen by the other player are opposite.
Vector regress(const std::vector<Example>& examples) {
    Vector w{};
    for (int step = 0; step < kNewtonSteps; ++step) {
        Vector gradient{};
        Matrix hessian{};
        for (const Example& e : examples) {
            double z = 0.0;
            for (int i = 0; i < kParameters; ++i) {
                z += w[i] * e.inputs[i];
            }
            const double p = logistic(z);
            const double curvature = p * (1.0 - p);
            for (int i = 0; i < kParameters; ++i) {
                gradient[i] += (p - e.label) * e.inputs[i];
                for (int k = 0; k <= i; ++k) {
                    hessian[i][k] += curvature * e.inputs[i] * e.inputs[k];
                }
            }
        }
        const auto n = static_cast<double>(examples.size());
        for (int i = 0; i < kParameters; ++i) {
            gradient[i] = gradient[i] / n + kRidge * w[i];
            for (int k = 0; k <= i; ++k) {
                hessian[i][k] /= n;
                hessian[k][i] = hessian[i][k];
            }
            hessian[i][i] += kRidge;
        }
        const Vector delta = solve(hessian, gradient);
        double size = 0.0;
        for (int i = 0; i < kParameters; ++i) {
            w[i] -= delta[i];
            size += delta[i] * delta[i];
        }
        if (size < kConverged) {
            break;
        }
    }
    return w;
}

// The slope that fits evaluations to labels best, and the mean loss with it.
struct SlopeFit {
    double slope;
    double loss;
};

SlopeFit fitSlope(const std::vector<double>& evaluations, const std::vector<double>& labels) {
    double slope = 0.0;
    for (int step = 0; step < kNewtonSteps; ++step) {
        double gradient = 0.0;
        double curvature = 0.0;
        for (size_t i = 0; i < evaluations.size(); ++i) {
            const double p = logistic(slope * evaluations[i]);
            gradient += (p - labels[i]) * evaluations[i];
            curvature += p * (1.0 - p) * evaluations[i] * evaluations[i];
        }
        if (curvature <= 0.0) {
            break;
        }
        slope -= gradient / curvature;
    }
    double loss = 0.0;
    for (size_t i = 0; i < evaluations.size(); ++i) {
        loss += logLoss(logistic(slope * evaluations[i]), labels[i]);
    }
    return {slope, evaluations.empty() ? 0.0 : loss / static_cast<double>(evaluations.size())};
}

double heldOutLoss(const std::vector<const EngineMatch::Sample*>& heldOut,
                   const Evaluation::Weights& weights) {
    std::vector<double> evaluations;
    std::vector<double> labels;
    for (const EngineMatch::Sample* s : heldOut) {
        evaluations.push_back(
            Evaluation::weigh(weights, Evaluation::measure(s->position), Evaluation::phase(s->position)));
        labels.push_back(s->result);
    }
    return fitSlope(evaluations, labels).loss;
}

} // namespace

EvalFit::Fit EvalFit::fit(const std::vector<EngineMatch::Sample>& samples, int heldOutEvery) {
    std::vector<Example> training;
    std::vector<const EngineMatch::Sample*> heldOut;
    for (const EngineMatch::Sample& s : samples) {
        if (heldOutEvery > 0 && s.game % heldOutEvery == 0) {
            heldOut.push_back(&s);
        } else {
            training.push_back(
                {inputsOf(Evaluation::measure(s.position), Evaluation::phase(s.position)), s.result});
        }
    }
    const Vector w = regress(training);

    Fit result;
    result.trainingPositions = static_cast<long>(training.size());
    result.heldOutPositions = static_cast<long>(heldOut.size());
    result.slope = w[0] / Evaluation::kFigure;
    const auto hundredths = [&result](double weight) {
        return static_cast<int>(std::lround(weight / result.slope));
    };
    result.weights[Evaluation::Material] = {Evaluation::kFigure, Evaluation::kFigure};
    for (int j = 1; j < kFeatures; ++j) {
        result.weights[static_cast<size_t>(j)] = {hundredths(w[static_cast<size_t>(2 * j - 1)]),
                                                  hundredths(w[static_cast<size_t>(2 * j)])};
    }
    result.heldOutLoss = heldOutLoss(heldOut, result.weights);
    result.heldOutLossInUse = heldOutLoss(heldOut, Evaluation::fittedWeights());
    Evaluation::Weights byHand{};
    byHand[Evaluation::Material] = {Evaluation::kFigure, Evaluation::kFigure};
    byHand[Evaluation::Reach] = {Evaluation::kHandReach, Evaluation::kHandReach};
    result.heldOutLossByHand = heldOutLoss(heldOut, byHand);
    return result;
}
