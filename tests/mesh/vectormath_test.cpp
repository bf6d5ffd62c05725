#include "mesh/vectormath.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

void expectNear(const vec3& actual, const vec3& expected) {
    EXPECT_TRUE(actual.equals(expected, 1e-6f)) << actual.x << ", " << actual.y << ", " << actual.z;
}

TEST(Vec3, LengthDivisionAndProducts) {
    EXPECT_EQ(vec3(3, 4, 0).length(), 5.0f);
    EXPECT_EQ(vec3(2, 4, 8) / 2.0f, vec3(1, 2, 4));
    EXPECT_EQ(cross(vec3(1, 0, 0), vec3(0, 1, 0)), vec3(0, 0, 1));
    EXPECT_EQ(cross(vec3(0, 0, 1), vec3(1, 0, 0)), vec3(0, 1, 0));
    EXPECT_EQ(dot(vec3(1, 2, 3), vec3(4, -5, 6)), 12.0f);
    vec3 v = 2.0f * -vec3(1, -2, 3);
    v += vec3(1, 1, 1);
    v -= vec3(0, 1, 0);
    EXPECT_EQ(v, vec3(-1, 4, -5));
    EXPECT_EQ(vec2::unitX + vec2::unitY * 3.0f - vec2(1, 1), vec2(0, 2));
}

TEST(Vec3, DivisionByZero_GivesLargestFloats) {
    const vec3 largest(FLT_MAX, FLT_MAX, FLT_MAX);
    EXPECT_EQ(vec3(1, 2, 3) / 0.0f, largest);
    EXPECT_EQ(vec3().normalized(), largest);
    vec3 v(1, 2, 3);
    v /= 0.0f;
    EXPECT_EQ(v, largest);
}

TEST(Vec3, Equality_IsExactUnlessGivenATolerance) {
    EXPECT_NE(vec3(1, 1, 1), vec3(1, 1, 1.0000001f));
    EXPECT_NE(vec2(1, 1), vec2(1, 1.0000001f));
    EXPECT_TRUE(vec3(1, 2, 3).equals(vec3(1.5f, 2, 2.5f), 0.5f));
    EXPECT_FALSE(vec3(1, 2, 3).equals(vec3(1.5f, 2, 2.4f), 0.5f));
}

TEST(Mat3, Rotation_IsRightHandedAboutTheAxis) {
    const float quarter = std::acos(0.0f);
    expectNear(mat3::rotation(vec3(0, 0, 1), quarter) * vec3(1, 0, 0), vec3(0, 1, 0));
    expectNear(mat3::rotation(vec3(1, 0, 0), quarter) * vec3(0, 1, 0), vec3(0, 0, 1));
    // A third of a turn about the diagonal cycles the axes (and so uses every entry).
    const float k = 1.0f / std::sqrt(3.0f);
    expectNear(mat3::rotation(vec3(k, k, k), 4 * quarter / 3) * vec3(1, 2, 3), vec3(3, 1, 2));
}

TEST(Mat3, ProductOfTwoMatricesAppliesTheRightOneFirst) {
    const mat3 a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const mat3 cycle(0, 1, 0, 0, 0, 1, 1, 0, 0);
    const vec3 v(1, 0, -1);
    EXPECT_EQ((a * cycle) * v, a * (cycle * v));
    EXPECT_EQ(a * v, vec3(-2, -2, -2));
}

} // namespace
