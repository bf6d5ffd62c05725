#include "mesh/animationsequence.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Vertices at (x, 0, 0) with normal (0, 0, x) and coordinates (x, -x) on each unit.
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

// Frames of (x, vertex count) and keys of (frame, duration).
AnimationSequence sequenceOf(const std::vector<std::pair<float, int>>& frames,
                             const std::vector<AnimationKey>& keys, int units = 1) {
    AnimationSequence sequence;
    for (const auto& [x, vertices] : frames) {
        sequence.addFrame(frameAt(x, vertices, units));
    }
    for (const AnimationKey& key : keys) {
        sequence.addKey(std::make_unique<AnimationKey>(key));
    }
    return sequence;
}

void interpolate(const AnimationSequence& sequence, AnimationFrame& out, double time) {
    sequence.interpolate(out.positions, out.normals, out.texCoords, time);
}

TEST(Interpolate, ThreeKeysOfATenth_BlendLoopAndWrap) {
    const AnimationSequence sequence = sequenceOf({{0, 1}, {10, 1}, {20, 1}}, {{0, 0.1}, {1, 0.1}, {2, 0.1}});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        double time;
        float x;
    } cases[] = {
        {0.25, 10}, // key 2 blends towards key 0 with f = 0.5
        {0.1, 10},  // a time equal to a key's duration stays on that key, fully blended
        {0.0, 0},   {0.35, 5}, {-0.05, 10}, {-0.25, 5}, {nan, -1}, {infinity, -1}, // not finite: unchanged
    };
    for (const auto& c : cases) {
        const auto out = frameAt(-1);
        interpolate(sequence, *out, c.time);
        EXPECT_FLOAT_EQ(out->positions[0].x, c.x) << c.time;
        EXPECT_FLOAT_EQ(out->normals[0].z, c.x) << c.time;
        EXPECT_FLOAT_EQ(out->texCoords.at(0, 0).y, -c.x) << c.time;
    }
}

TEST(Interpolate, ZeroDurationKey_ShowsItsOwnFrame) {
    const AnimationSequence sequence = sequenceOf({{0, 1}, {10, 1}}, {{0, 0.0}, {1, 1.0}});
    const auto out = frameAt(-1);
    interpolate(sequence, *out, 0.0);
    EXPECT_EQ(out->positions[0], vec3(0, 0, 0));
    interpolate(sequence, *out, 0.5);
    EXPECT_EQ(out->positions[0], vec3(5, 0, 0));
}

TEST(Interpolate, DataThatDoesNotFit_ChangesNothing) {
    struct Case {
        const char* what;
        AnimationSequence sequence;
        double time;
    } cases[] = {
        {"no keys", sequenceOf({{5, 2}}, {}), 0.0},
        {"no duration", sequenceOf({{5, 2}}, {{0, 0.0}}), 0.0},
        {"missing frame", sequenceOf({{5, 2}}, {{7, 1.0}, {0, 1.0}}), 0.5},
        {"missing next frame", sequenceOf({{5, 2}}, {{0, 1.0}, {7, 1.0}}), 0.5},
        {"frame of other vertex count", sequenceOf({{5, 1}, {5, 2}}, {{0, 1.0}, {1, 1.0}}), 0.5},
        {"next frame of other vertex count", sequenceOf({{5, 2}, {5, 3}}, {{0, 1.0}, {1, 1.0}}), 0.5},
    };
    for (const Case& c : cases) {
        const auto out = frameAt(-1, 2);
        interpolate(c.sequence, *out, c.time);
        EXPECT_EQ(out->positions[0], vec3(-1, 0, 0)) << c.what;
    }
}

TEST(Interpolate, OutputWithoutNormalsOrWithFewerUnits_BlendsWhatFits) {
    const AnimationSequence sequence = sequenceOf({{0, 2}, {4, 2}}, {{0, 1.0}, {1, 1.0}}, 2);
    const auto out = frameAt(-1, 2);
    out->normals = NArray1<vec3>();
    interpolate(sequence, *out, 0.5);
    EXPECT_EQ(out->positions[1], vec3(2, 0, 0));
    EXPECT_EQ(out->texCoords.at(1, 0), vec2(2, -2));
}

} // namespace
