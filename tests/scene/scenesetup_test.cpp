#include "input/inputevent.h"
#include "resources/softwarerenderer.h"
#include "scene/basin.h"
#include "scene/coveredrows.h"
#include "scene/scalecontroller.h"
#include "scene/scenemodels.h"
#include "scene/sceneoptions.h"
#include "scene/scenequality.h"
#include "scene/selectionmarkers.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// The culled side of a quad is decided by its winding: it must face the
// stated normal, into the basin. Fog is 1 at the water line, the fog depth at
// the bottom.
TEST(Basin, QuadsWindTowardsTheirNormals_FogFollowsTheDepth) {
    for (const BasinQuad& quad : Basin::quads()) {
        const auto& c = quad.corners;
        const vec3 n = cross(c[1].position - c[0].position, c[2].position - c[0].position);
        EXPECT_GT(dot(n.normalized(), quad.normal), 0.99f);
        for (const BasinCorner& corner : c) {
            ASSERT_TRUE(corner.position.z == 0.0f || corner.position.z == -Basin::kDepth);
            EXPECT_FLOAT_EQ(Basin::fogCoordinate(corner, 0.3f), corner.position.z == 0.0f ? 1.0f : 0.3f);
        }
    }
}

// A figure exactly at the distance already takes the low-detail model.
TEST(SceneModels, LowDetailWhenAskedOrFromItsDistanceOn) {
    EXPECT_TRUE(SceneModels::useLowDetail(false, 50.0f, 50.0f));
    EXPECT_FALSE(SceneModels::useLowDetail(false, 49.9f, 50.0f));
    EXPECT_TRUE(SceneModels::useLowDetail(true, 1.0f, 50.0f));
}

TEST(SelectionMarkers, HoverColourRedUnlessClickableCyanOnTheSelection_FramesTwentyASecondWrapAfterTen) {
    EXPECT_EQ(SelectionMarkers::hoverColor(false, false), SelectionMarkers::kRefused);
    EXPECT_EQ(SelectionMarkers::hoverColor(false, true), SelectionMarkers::kRefused);
    EXPECT_EQ(SelectionMarkers::hoverColor(true, true), SelectionMarkers::kSelected);
    EXPECT_EQ(SelectionMarkers::hoverColor(true, false), SelectionMarkers::kAccepted);
    const std::pair<double, int> frames[] = {{0.0, 0},   {0.049, 0}, {0.05, 1},
                                             {0.499, 9}, {0.5, 0},   {12.37, 7}};
    for (const auto& [time, frame] : frames) {
        EXPECT_EQ(SelectionMarkers::frameAt(time), frame) << time;
    }
}

using Switches = std::array<bool, 10>;

Switches switches(const SceneOptions& o) {
    return {o.autoBlend, o.caustics,     o.fog,          o.wireframe, o.addReflection,
            o.models,    o.staticMeshes, o.fluidOverlay, o.debug,     o.slowMotion};
}

// F2 to F9, F11 and B, in the order of switches().
const int kKeys[] = {KeyF1 + 1, KeyF1 + 2, KeyF1 + 3, KeyF1 + 4,  KeyF1 + 5,
                     KeyF1 + 6, KeyF1 + 7, KeyF1 + 8, KeyF1 + 10, 'b'};

// Pressing and holding change nothing; the release flips the key's own switch and no other.
TEST(SceneOptions, EachKeySwitchesItsOwnOptionOnRelease) {
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        SceneOptions options;
        Switches expected = switches(options);
        EXPECT_TRUE(options.handleKey(kKeys[i], KeyPhase::Down, 0.0));
        EXPECT_TRUE(options.handleKey(kKeys[i], KeyPhase::Held, 0.1));
        EXPECT_EQ(switches(options), expected) << "key " << kKeys[i];
        options.handleKey(kKeys[i], KeyPhase::Up, 0.0);
        expected[i] = !expected[i];
        EXPECT_EQ(switches(options), expected) << "key " << kKeys[i];
    }
    SceneOptions options;
    EXPECT_FALSE(options.handleKey('z', KeyPhase::Up, 0.0));
    EXPECT_FALSE(options.handleKey(KeyF1 + 9, KeyPhase::Up, 0.0)); // F10 belongs to the menus
}

using Level = SceneQuality::Level;

TEST(SceneQuality, Choose_ArgumentWinsAndOtherwiseTheRendererDecides) {
    struct Case {
        const char* argument;
        bool software;
        Level expected;
    };
    const Case cases[] = {
        {nullptr, true, Level::Fast}, {nullptr, false, Level::Full}, {"full", true, Level::Full},
        {"fast", false, Level::Fast}, {"", true, Level::Fast},       {"FAST", false, Level::Full},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SceneQuality::choose(c.argument, c.software).getLevel(), c.expected)
            << (c.argument ? c.argument : "null") << " software " << c.software;
    }
    // An unknown argument is reported, not silently taken.
    LogCapture capture;
    SceneQuality::choose("ultra", false);
    EXPECT_TRUE(capture.has("ultra"));
}

TEST(SoftwareRenderer, KnownSoftwareRasterisersAreRecognisedByName) {
    EXPECT_TRUE(isSoftwareRendererName("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(isSoftwareRendererName("softpipe"));
    EXPECT_FALSE(isSoftwareRendererName("AMD Radeon RX 580 (radeonsi)"));
    EXPECT_FALSE(isSoftwareRendererName(nullptr));
}

constexpr int kWidth = 200;
constexpr int kHeight = 100;
constexpr double kNearW = 1.0;

// Clip coordinates are world coordinates with w = z: the picture is x / z, y / z.
constexpr Matrix4x4<double> kPerspective = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};

struct Case {
    const char* what;
    CoveredRows::Box box;
    bool covers;
    int first, last;
};

TEST(CoveredRows, RowsHiddenFromSideToSide) {
    // At depth 2 the window spans x and y from -2 to 2; a row is 2 / 50 high.
    const Case cases[] = {
        {"a floor under the lower half, past the sides and bottom", {{-3, -3, 2}, {3, 0, 2}}, true, 0, 49},
        {"a ceiling over the upper half", {{-3, 0, 2}, {3, 3, 2}}, true, 51, kHeight},
        {"a band inside, less an edge row on each side", {{-3, -1, 2}, {3, 1, 2}}, true, 26, 74},
        {"a box narrower than the window", {{-1, -3, 2}, {1, 3, 2}}, false, 0, 0},
        {"a box reaching behind the near plane", {{-3, -3, 0.5f}, {3, 0, 2}}, false, 0, 0},
        {"a box wholly off the window's bottom", {{-3, -9, 2}, {3, -5, 2}}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto rows = CoveredRows::of(kPerspective, c.box, kWidth, kHeight, kNearW);
        ASSERT_EQ(rows.has_value(), c.covers);
        if (c.covers) {
            EXPECT_EQ(rows->first, c.first);
            EXPECT_EQ(rows->last, c.last);
        }
    }
    Matrix4x4<double> broken = kPerspective;
    broken[0] = std::nan("");
    EXPECT_FALSE(CoveredRows::of(broken, cases[0].box, kWidth, kHeight, kNearW));
}

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

} // namespace
