#include "mesh/animationsequence.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// A frame of one vertex at (x, 0, 0) with normal (0, 0, x) and texture
// coordinates (x, -x) on each unit.
std::unique_ptr<AnimationFrame> frameAt(float x, int vertices = 1, int units = 1) {
    auto frame = std::make_unique<AnimationFrame>(vertices, units);
    for (int v = 0; v < vertices; ++v) {
        frame->positions[v] = vec3(x, 0, 0);
        frame->normals[v] = vec3(0, 0, x);
        for (int u = 0; u < units; ++u) {
            frame->texCoords.at(v, u) = vec2(x, -x);
        }
    }
    return frame;
}

class InterpolateTest : public ::testing::Test {
protected:
    // Three frames at x = 0, 10, 20 with keys of 0.1 each.
    void SetUp() override {
        for (int k = 0; k < 3; ++k) {
            sequence.addFrame(frameAt(10.0f * k));
            sequence.addKey(std::make_unique<AnimationKey>(k, 0.1));
        }
        positions.resize(1);
        normals.resize(1);
        texCoords.resize(1, 1);
        positions[0] = vec3(-1, -1, -1);
    }

    float xAt(double time) {
        sequence.interpolate(positions, normals, texCoords, time);
        return positions[0].x;
    }

    AnimationSequence sequence;
    NArray1<vec3> positions;
    NArray1<vec3> normals;
    NArray2<vec2> texCoords;
};

// Blending and looping -----------------------------------------------------------------------

TEST_F(InterpolateTest, BetweenLastAndFirstKey_BlendsTowardsTheFirstFrame) {
    EXPECT_FLOAT_EQ(xAt(0.25), 10.0f);
    EXPECT_FLOAT_EQ(normals[0].z, 10.0f);
    EXPECT_EQ(texCoords.at(0, 0), vec2(10.0f, -10.0f));
}

TEST_F(InterpolateTest, TimeEqualToKeyDuration_StaysOnThatKeyFullyBlended) {
    EXPECT_FLOAT_EQ(xAt(0.1), 10.0f);
    EXPECT_FLOAT_EQ(xAt(0.0), 0.0f);
}

TEST_F(InterpolateTest, TimeBeyondTotal_Loops) {
    EXPECT_FLOAT_EQ(xAt(0.35), 5.0f);
    EXPECT_DOUBLE_EQ(sequence.getTotalDuration(), 0.1 + 0.1 + 0.1);
}

TEST_F(InterpolateTest, NegativeTime_WrapsIntoTheSequence) {
    EXPECT_FLOAT_EQ(xAt(-0.05), 10.0f);
    EXPECT_FLOAT_EQ(xAt(-0.25), 5.0f);
}

TEST_F(InterpolateTest, TimeNotFinite_ChangesNothing) {
    EXPECT_EQ(xAt(std::numeric_limits<double>::quiet_NaN()), -1.0f);
    EXPECT_EQ(xAt(std::numeric_limits<double>::infinity()), -1.0f);
}

TEST(Interpolate, ZeroDurationKey_ShowsItsOwnFrame) {
    AnimationSequence sequence;
    sequence.addFrame(frameAt(0));
    sequence.addFrame(frameAt(10));
    sequence.addKey(std::make_unique<AnimationKey>(0, 0.0));
    sequence.addKey(std::make_unique<AnimationKey>(1, 1.0));
    NArray1<vec3> positions;
    NArray1<vec3> normals;
    NArray2<vec2> texCoords;
    positions.resize(1);
    // t = 0 stays on key 0 whose duration is 0: f = 0 instead of 0 / 0.
    sequence.interpolate(positions, normals, texCoords, 0.0);
    EXPECT_EQ(positions[0], vec3(0, 0, 0));
    sequence.interpolate(positions, normals, texCoords, 0.5);
    EXPECT_EQ(positions[0], vec3(5, 0, 0));
}

// Data that does not fit ---------------------------------------------------------------------

TEST(Interpolate, NoKeysOrNoDuration_ChangesNothing) {
    AnimationSequence sequence;
    sequence.addFrame(frameAt(5));
    NArray1<vec3> positions;
    NArray1<vec3> normals;
    NArray2<vec2> texCoords;
    positions.resize(1);
    sequence.interpolate(positions, normals, texCoords, 0.0);
    EXPECT_EQ(positions[0], vec3(0, 0, 0));
    sequence.addKey(std::make_unique<AnimationKey>(0, 0.0));
    sequence.interpolate(positions, normals, texCoords, 0.0);
    EXPECT_EQ(positions[0], vec3(0, 0, 0));
}

TEST(Interpolate, KeyNamingMissingFrame_ChangesNothing) {
    AnimationSequence sequence;
    sequence.addFrame(frameAt(5));
    sequence.addKey(std::make_unique<AnimationKey>(0, 1.0));
    sequence.addKey(std::make_unique<AnimationKey>(7, 1.0));
    NArray1<vec3> positions;
    NArray1<vec3> normals;
    NArray2<vec2> texCoords;
    positions.resize(1);
    for (const double time : {0.5, 1.5}) {
        sequence.interpolate(positions, normals, texCoords, time);
        EXPECT_EQ(positions[0], vec3(0, 0, 0)) << time;
    }
}

TEST(Interpolate, EitherFrameOfOtherVertexCount_ChangesNothing) {
    for (const int odd : {0, 1}) {
        AnimationSequence sequence;
        sequence.addFrame(frameAt(5, odd == 0 ? 3 : 2));
        sequence.addFrame(frameAt(5, odd == 1 ? 3 : 2));
        sequence.addKey(std::make_unique<AnimationKey>(0, 1.0));
        sequence.addKey(std::make_unique<AnimationKey>(1, 1.0));
        NArray1<vec3> positions;
        NArray1<vec3> normals;
        NArray2<vec2> texCoords;
        positions.resize(2);
        sequence.interpolate(positions, normals, texCoords, 0.5);
        EXPECT_EQ(positions[1], vec3(0, 0, 0)) << odd;
    }
}

TEST(Interpolate, OutputWithoutNormalsOrFewerUnits_BlendsWhatFits) {
    AnimationSequence sequence;
    sequence.addFrame(frameAt(0, 2, 2));
    sequence.addFrame(frameAt(4, 2, 2));
    sequence.addKey(std::make_unique<AnimationKey>(0, 1.0));
    sequence.addKey(std::make_unique<AnimationKey>(1, 1.0));
    NArray1<vec3> positions;
    NArray1<vec3> normals;
    NArray2<vec2> texCoords;
    positions.resize(2);
    texCoords.resize(2, 1);
    sequence.interpolate(positions, normals, texCoords, 0.5);
    EXPECT_EQ(positions[1], vec3(2, 0, 0));
    EXPECT_TRUE(normals.empty());
    EXPECT_EQ(texCoords.at(1, 0), vec2(2, -2));
}

} // namespace
