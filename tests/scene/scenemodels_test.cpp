#include "scene/scenemodels.h"

#include <gtest/gtest.h>

TEST(SceneModels, LowDetailWhenAskedOrFromSeventyUnits_SphereDetailFallsWithDistanceWithinItsLimits) {
    EXPECT_FALSE(SceneModels::useLowDetail(false, 69.9f));
    EXPECT_TRUE(SceneModels::useLowDetail(false, 70.0f));
    EXPECT_TRUE(SceneModels::useLowDetail(true, 1.0f));
    const struct {
        float distance;
        int stacks, slices;
    } cases[] = {{0.0f, 20, 20}, {30.0f, 20, 20}, {55.0f, 15, 19}, {79.0f, 10, 14}, {500.0f, 10, 14}};
    for (const auto& c : cases) {
        const SceneModels::SphereDetail detail = SceneModels::sphereDetail(c.distance);
        EXPECT_TRUE(detail.stacks == c.stacks && detail.slices == c.slices) << c.distance;
    }
}
