#include "mesh/narrays.h"
#include "mesh/vectormath.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

void expectNear(const vec3& actual, const vec3& expected) {
    constexpr float kRounding = 1e-6f;
    EXPECT_NEAR(actual.x, expected.x, kRounding);
    EXPECT_NEAR(actual.y, expected.y, kRounding);
    EXPECT_NEAR(actual.z, expected.z, kRounding);
}

TEST(Vec3, LengthAndDivision) {
    EXPECT_EQ(vec3(3, 4, 0).length(), 5.0f);
    EXPECT_EQ(vec3(2, 4, 8) / 2.0f, vec3(1, 2, 4));
    vec3 v(2, 4, 8);
    v /= 4.0f;
    EXPECT_EQ(v, vec3(0.5f, 1, 2));
}

TEST(Vec3, DivisionByZeroGivesLargestFloats) {
    EXPECT_EQ(vec3(1, 2, 3) / 0.0f, vec3(FLT_MAX, FLT_MAX, FLT_MAX));
    EXPECT_EQ(vec3(0, 0, 0).normalized(), vec3(FLT_MAX, FLT_MAX, FLT_MAX));
}

TEST(Vec3, CrossIsRightHanded) {
    EXPECT_EQ(cross(vec3(1, 0, 0), vec3(0, 1, 0)), vec3(0, 0, 1));
    EXPECT_EQ(cross(vec3(0, 1, 0), vec3(0, 0, 1)), vec3(1, 0, 0));
    EXPECT_EQ(cross(vec3(0, 0, 1), vec3(1, 0, 0)), vec3(0, 1, 0));
    EXPECT_EQ(dot(vec3(1, 2, 3), vec3(4, -5, 6)), 12.0f);
}

TEST(Vec3, EqualityIsExact) {
    EXPECT_NE(vec3(1, 1, 1), vec3(1, 1, 1.0000001f));
    EXPECT_EQ(vec3(1, 2, 3) + vec3(1, 1, 1) - vec3(1, 1, 1), vec3(1, 2, 3));
    EXPECT_EQ(-vec3(1, -2, 3), vec3(-1, 2, -3));
    EXPECT_EQ(2.0f * vec3(1, 2, 3), vec3(2, 4, 6));
}

TEST(Vec3, CompoundAssignmentChangesInPlace) {
    vec3 v(1, 2, 3);
    v += vec3(1, 1, 1);
    EXPECT_EQ(v, vec3(2, 3, 4));
    v -= vec3(2, 2, 2);
    EXPECT_EQ(v, vec3(0, 1, 2));
    v /= 0.0f;
    EXPECT_EQ(v, vec3(FLT_MAX, FLT_MAX, FLT_MAX));
}

TEST(Vec3, EqualsWithToleranceAcceptsDifferencesUpToIt) {
    EXPECT_TRUE(vec3(1, 2, 3).equals(vec3(1.5f, 2, 2.5f), 0.5f));
    EXPECT_FALSE(vec3(1, 2, 3).equals(vec3(1.5f, 2, 2.4f), 0.5f));
    EXPECT_FALSE(vec3(1, 2, 3).equals(vec3(1, 2, 3.0000002f), 0.0f));
}

TEST(Vec2, ArithmeticConstantsAndEquality) {
    EXPECT_EQ(vec2(1, 2) + vec2(3, 4), vec2(4, 6));
    EXPECT_EQ(vec2(1, 2) - vec2(3, 5), vec2(-2, -3));
    EXPECT_EQ(vec2(1, -2) * 3.0f, vec2(3, -6));
    EXPECT_EQ(vec2::zero, vec2(0, 0));
    EXPECT_EQ(vec2::unitX + vec2::unitY, vec2(1, 1));
    EXPECT_NE(vec2(1, 1), vec2(1, 1.0000001f));
    EXPECT_TRUE(vec2(1, 1).equals(vec2(1.25f, 0.75f), 0.25f));
}

TEST(Mat3, RotationAboutZTurnsXIntoY) {
    expectNear(mat3::rotation(vec3(0, 0, 1), 3.14159265f / 2) * vec3(1, 0, 0), vec3(0, 1, 0));
    expectNear(mat3::rotation(vec3(1, 0, 0), 3.14159265f / 2) * vec3(0, 1, 0), vec3(0, 0, 1));
}

TEST(Mat3, RotationAboutSkewAxisKeepsTheAxisAndIsOrthonormal) {
    const float k = 1.0f / std::sqrt(3.0f);
    const vec3 axis(k, k, k);
    const mat3 r = mat3::rotation(axis, 0.7f);
    expectNear(r * axis, axis);
    const mat3 identity = r * r.transposed();
    for (int c = 0; c < 3; ++c) {
        expectNear(identity.column(c), mat3::identity().column(c));
    }
    // A third of a turn about the diagonal cycles the axes.
    expectNear(mat3::rotation(axis, 2.0943951f) * vec3(1, 0, 0), vec3(0, 1, 0));
}

TEST(Mat3, ProductTransposeAndColumns) {
    const mat3 a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const mat3 b(0, 1, 0, 0, 0, 1, 1, 0, 0);
    const mat3 product = a * b;
    EXPECT_EQ(product.column(0), vec3(3, 6, 9));
    EXPECT_EQ(product.column(1), vec3(1, 4, 7));
    EXPECT_EQ(a.transposed().column(0), vec3(1, 2, 3));
    EXPECT_EQ(a * vec3(1, 0, -1), vec3(-2, -2, -2));
    EXPECT_EQ((-a).at(2, 1), -8.0f);
    EXPECT_EQ(mat3::identity() * a * vec3(0, 1, 0), a.column(1));
}

TEST(NArray2, ColumnsAreContiguous) {
    NArray2<int> array;
    array.resize(3, 2);
    array.at(2, 1) = 7;
    EXPECT_EQ(array.column(1)[2], 7);
    EXPECT_EQ(&array.at(0, 1), array.column(0) + 3);
}

} // namespace
