#include "scene/basin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

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

TEST(Basin, CausticFrame_TenPerSecondWrappingAfterSixteen) {
    const std::pair<double, int> cases[] = {{0.0, 0}, {0.099, 0}, {0.1, 1}, {1.55, 15},
                                            {1.6, 0}, {3.35, 1},  {NAN, 0}};
    for (const auto& [time, frame] : cases) {
        EXPECT_EQ(Basin::causticFrame(time), frame) << time;
    }
}
