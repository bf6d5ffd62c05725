#include "base/phasetimer.h"
#include "resources/softwarerenderer.h"
#include "scene/scenequality.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Level = SceneQuality::Level;
} // namespace

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
}

TEST(SceneQuality, Choose_UnknownArgumentIsReportedNotSilentlyTaken) {
    LogCapture capture;
    SceneQuality::choose("ultra", false);
    EXPECT_TRUE(capture.has("ultra"));
}

TEST(SceneQuality, Fast_GivesUpDetailThatFullKeeps) {
    const SceneQuality full(Level::Full), fast(Level::Fast);
    EXPECT_FALSE(full.alternatesPasses());
    EXPECT_LT(fast.passSize(), full.passSize());
    EXPECT_TRUE(fast.alternatesPasses());
    EXPECT_LT(fast.lowDetailDistance(), full.lowDetailDistance());
}

TEST(SoftwareRenderer, KnownSoftwareRasterisersAreRecognisedByName) {
    EXPECT_TRUE(isSoftwareRendererName("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(isSoftwareRendererName("softpipe"));
    EXPECT_FALSE(isSoftwareRendererName("AMD Radeon RX 580 (radeonsi)"));
    EXPECT_FALSE(isSoftwareRendererName(nullptr));
}

TEST(PhaseTimer, MarksReachTheHookOnlyWhileOneIsSet) {
    std::vector<FramePhase> seen;
    PhaseTimer::setHook([&](FramePhase phase) { seen.push_back(phase); });
    { const PhaseScope scope(FramePhase::Sky); }
    PhaseTimer::setHook(nullptr);
    PhaseTimer::mark(FramePhase::Figures);
    EXPECT_EQ(seen, (std::vector<FramePhase>{FramePhase::Other, FramePhase::Sky}));
}
