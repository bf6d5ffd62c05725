#include "input/inputevent.h"
#include "scene/sceneoptions.h"

#include <gtest/gtest.h>

TEST(SceneOptions, Toggles_SwitchOnReleaseOnly) {
    SceneOptions options;
    EXPECT_TRUE(options.handleKey(KeyF1 + 6, KeyPhase::Down, 0.0)); // F7
    EXPECT_TRUE(options.handleKey(KeyF1 + 6, KeyPhase::Held, 0.1));
    EXPECT_TRUE(options.models);
    options.handleKey(KeyF1 + 6, KeyPhase::Up, 0.0);
    EXPECT_FALSE(options.models);
    EXPECT_FALSE(options.handleKey('z', KeyPhase::Up, 0.0));
    EXPECT_FALSE(options.handleKey(KeyF1 + 9, KeyPhase::Up, 0.0)); // F10 belongs to the menus
}

TEST(SceneOptions, Restore_KeepsTheOverlayAndSlowMotion) {
    SceneOptions options;
    for (int key : {KeyF1 + 1, KeyF1 + 4, KeyF1 + 7, KeyF1 + 8, int('b')}) {
        options.handleKey(key, KeyPhase::Up, 0.0);
    }
    options.handleKey(',', KeyPhase::Held, 1.0);
    EXPECT_EQ(options.blendManual, 1.0f);
    options.handleKey('#', KeyPhase::Down, 0.0);
    EXPECT_TRUE(options.autoBlend);
    EXPECT_FALSE(options.wireframe);
    EXPECT_TRUE(options.staticMeshes);
    EXPECT_EQ(options.blendManual, SceneOptions::kDefaultBlend);
    EXPECT_FALSE(options.fluidOverlay);
    EXPECT_TRUE(options.slowMotion);
    options.handleKey('.', KeyPhase::Held, 5.0);
    EXPECT_EQ(options.blendManual, 0.0f);
}
