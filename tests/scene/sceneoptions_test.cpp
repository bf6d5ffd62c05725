#include "input/inputevent.h"
#include "scene/sceneoptions.h"

#include <gtest/gtest.h>

#include <array>

namespace {

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

TEST(SceneOptions, Restore_KeepsTheOverlayAndSlowMotion) {
    SceneOptions options;
    Switches expected = switches(options);
    for (const int key : kKeys) {
        options.handleKey(key, KeyPhase::Up, 0.0);
    }
    options.handleKey(',', KeyPhase::Held, 1.0);
    EXPECT_EQ(options.blendManual, 1.0f);
    options.handleKey('#', KeyPhase::Down, 0.0);
    expected[7] = !expected[7];
    expected[9] = !expected[9];
    EXPECT_EQ(switches(options), expected);
    EXPECT_EQ(options.blendManual, SceneOptions::kDefaultBlend);
    options.handleKey('.', KeyPhase::Held, 5.0);
    EXPECT_EQ(options.blendManual, 0.0f);
}

} // namespace
