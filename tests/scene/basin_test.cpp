#include "scene/basin.h"

#include <gtest/gtest.h>

namespace {

// The culled side of a quad is decided by its winding: it must face the
// stated normal, into the basin.
TEST(Basin, Quads_WindTowardsTheirNormals) {
    for (const BasinQuad& quad : Basin::quads()) {
        const auto& c = quad.corners;
        const vec3 n = cross(c[1].position - c[0].position, c[2].position - c[0].position);
        EXPECT_GT(dot(n.normalized(), quad.normal), 0.99f);
    }
}

TEST(Basin, FogCoordinate_IsOneAtTheWaterLineAndTheFogDepthAtTheBottom) {
    for (const BasinQuad& quad : Basin::quads()) {
        for (const BasinCorner& corner : quad.corners) {
            const float expected = corner.position.z == 0.0f ? 1.0f : 0.3f;
            EXPECT_FLOAT_EQ(Basin::fogCoordinate(corner, 0.3f), expected);
            EXPECT_TRUE(corner.position.z == 0.0f || corner.position.z == -Basin::kDepth);
        }
    }
}

TEST(Basin, CausticFrame_TenPerSecondWrappingAfterSixteen) {
    const struct {
        double time;
        int frame;
    } cases[] = {{0.0, 0}, {0.099, 0}, {0.1, 1}, {1.55, 15}, {1.6, 0}, {3.35, 1}, {NAN, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(Basin::causticFrame(c.time), c.frame) << c.time;
    }
}

} // namespace
