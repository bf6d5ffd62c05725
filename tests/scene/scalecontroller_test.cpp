#include "scene/scalecontroller.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using C = ScaleController;
constexpr double kBudget = C::kDefaultBudgetMs;

struct Frames {
    double ms;
    int count;
};

// The scale after the frames, from a controller following from start.
int after(int start, const std::vector<Frames>& frames) {
    C controller;
    controller.fix(start);
    controller.follow();
    for (const Frames& f : frames) {
        for (int i = 0; i < f.count; ++i) {
            controller.addFrame(f.ms);
        }
    }
    return controller.getPercent();
}

} // namespace

TEST(ScaleController, StepsFollowTheMedianOfWholeRunsWithinTheLimits) {
    const int run = C::kRunFrames;
    const int upRuns = C::kRunsBeforeUp;
    const struct {
        const char* name;
        int start;
        std::vector<Frames> frames;
        int expected;
    } cases[] = {
        {"a run over the budget: one step down", 100, {{kBudget + 3, run}}, 90},
        {"a run not yet complete: no step", 100, {{kBudget + 3, run - 1}}, 100},
        {"long over the budget: down to the lowest, no further", 100, {{80.0, 40 * run}}, C::kLowest},
        {"from between the steps: still not below the lowest", 75, {{80.0, 40 * run}}, C::kLowest},
        {"a few slow frames in a run: no step", 80, {{12.0, run / 2 + 1}, {90.0, run / 2}}, 80},
        {"under the budget but not well under: stays", 80, {{kBudget - 1, 40 * run}}, 80},
        {"well under, one run short: stays", 50, {{4.0, (upRuns - 1) * run}}, 50},
        {"well under long enough: one step up", 50, {{4.0, upRuns * run}}, 60},
        {"under the margin, but not once the picture grows: stays", 50, {{11.0, 10 * upRuns * run}}, 50},
        {"well under long: up to the full picture, no further", 50, {{1.0, 40 * upRuns * run}}, 100},
        {"a run not well under restarts the count",
         50,
         {{4.0, (upRuns - 1) * run}, {kBudget - 1, run}, {4.0, (upRuns - 1) * run}},
         50},
        {"stalls and empty frames say nothing", 100, {{0.0, 5 * run}, {C::kStallMs + 1, 5 * run}}, 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(after(c.start, c.frames), c.expected) << c.name;
    }
}

TEST(ScaleController, Fixed_KeepsItsScaleWithinTheLimitsWhateverTheFrames) {
    for (const int asked : {100, 75, 20, 130}) {
        C controller;
        controller.fix(asked);
        const int held = controller.getPercent();
        EXPECT_EQ(held, asked < C::kLowest ? C::kLowest : asked > C::kFull ? C::kFull : asked);
        for (int i = 0; i < 20 * C::kRunFrames; ++i) {
            EXPECT_FALSE(controller.addFrame(i % 2 == 0 ? 90.0 : 1.0));
        }
        EXPECT_EQ(controller.getPercent(), held);
    }
}

// A renderer whose frame has a fixed part and a part that grows with the
// pixels settles on the largest scale that fits, in as many steps as that
// takes, and then stays (no going back and forth).
TEST(ScaleController, AgainstARenderer_SettlesOnTheLargestFittingScaleAndStays) {
    const struct {
        double fixedMs;
        double fullPixelsMs;
        int settled;
    } renderers[] = {{4.0, 16.0, 80}, {2.0, 32.0, 60}, {1.0, 60.0, 50}, {3.0, 10.0, 100}};
    for (const auto& r : renderers) {
        C controller;
        controller.follow();
        int steps = 0;
        for (int frame = 0; frame < 5000; ++frame) {
            const double s = controller.getPercent() / 100.0;
            // A little jitter, as a busy machine gives.
            const double jitter = frame % 3 == 0 ? 1.5 : 0.0;
            steps += controller.addFrame(r.fixedMs + r.fullPixelsMs * s * s + jitter) ? 1 : 0;
        }
        EXPECT_EQ(controller.getPercent(), r.settled) << r.fixedMs << " + " << r.fullPixelsMs;
        EXPECT_EQ(steps, (100 - r.settled) / C::kStep) << r.fixedMs << " + " << r.fullPixelsMs;
    }
}
