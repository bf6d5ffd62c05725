#include "mesh/animatedmesh.h"
#include "mesh/animationsequence.h"
#include "mesh/dynamicmesh.h"
#include "mesh/meshgroup.h"
#include "mesh/staticmesh.h"
#include "mesh/vectormath.h"
#include "resources/material.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

void expectNear(const vec3& actual, const vec3& expected) {
    EXPECT_TRUE(actual.equals(expected, 1e-6f)) << actual.x << ", " << actual.y << ", " << actual.z;
}

TEST(Vec3, DivisionByZeroGivesLargestFloats_EqualityIsExactUnlessGivenATolerance) {
    const vec3 largest(FLT_MAX, FLT_MAX, FLT_MAX);
    EXPECT_EQ(vec3(1, 2, 3) / 0.0f, largest);
    EXPECT_EQ(vec3().normalized(), largest);
    EXPECT_EQ(vec3(1, 2, 3) /= 0.0f, largest);
    EXPECT_NE(vec3(1, 1, 1), vec3(1, 1, 1.0000001f));
    EXPECT_NE(vec2(1, 1), vec2(1, 1.0000001f));
    EXPECT_TRUE(vec3(1, 2, 3).equals(vec3(1.5f, 2, 2.5f), 0.5f));
    EXPECT_FALSE(vec3(1, 2, 3).equals(vec3(1.5f, 2, 2.4f), 0.5f));
}

TEST(Mat3, RotationIsRightHandedAboutTheAxis_ProductAppliesTheRightOneFirst) {
    const float quarter = std::acos(0.0f);
    expectNear(mat3::rotation(vec3(0, 0, 1), quarter) * vec3(1, 0, 0), vec3(0, 1, 0));
    expectNear(mat3::rotation(vec3(1, 0, 0), quarter) * vec3(0, 1, 0), vec3(0, 0, 1));
    // A third of a turn about the diagonal cycles the axes (and so uses every entry).
    const float k = 1.0f / std::sqrt(3.0f);
    expectNear(mat3::rotation(vec3(k, k, k), 4 * quarter / 3) * vec3(1, 2, 3), vec3(3, 1, 2));
    // A product applies the right matrix first.
    const mat3 a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const mat3 cycle(0, 1, 0, 0, 0, 1, 1, 0, 0);
    const vec3 v(1, 0, -1);
    EXPECT_EQ((a * cycle) * v, a * (cycle * v));
    EXPECT_EQ(a * v, vec3(-2, -2, -2));
}

// Records its draws and its destruction.
struct ProbeMesh : Mesh {
    ProbeMesh(std::vector<int>& log, int id) : log(log), id(id) {}
    ~ProbeMesh() override { log.push_back(-id); }
    void draw(int) override { log.push_back(id); }
    bool clear() override { return true; }
    std::unique_ptr<StaticMesh> toStatic() override { return std::make_unique<StaticMesh>(); }
    bool isDynamic() const override { return false; }
    std::vector<int>& log; // not owned: the test's record
    const int id;
};

TEST(MeshGroup, RefusesNull_DrawsInOrder_CopiesAndDeletesEveryMesh) {
    std::vector<int> log;
    {
        MeshGroup group;
        EXPECT_FALSE(group.add(nullptr));
        group.add(std::make_unique<ProbeMesh>(log, 1));
        group.add(std::make_unique<ProbeMesh>(log, 2));
        EXPECT_EQ(group.get(2), nullptr);
        EXPECT_EQ(group.get(-1), nullptr);
        group.draw(0);
        group.animateAndDraw(0, 0, 0.0);
        EXPECT_EQ(group.toStatic()->size(), 2);
    }
    EXPECT_EQ(log, (std::vector<int>{1, 2, 1, 2, -1, -2}));
}

// Vertices at (x, 0, 0) with normal (0, 0, x) and coordinates (x, -x).
std::unique_ptr<AnimationFrame> frameAt(float x, int vertices = 1) {
    auto frame = std::make_unique<AnimationFrame>(vertices, 1);
    for (int v = 0; v < vertices; ++v) {
        frame->positions[v] = vec3(x, 0, 0);
        frame->normals[v] = vec3(0, 0, x);
        frame->texCoords.at(v, 0) = vec2(x, -x);
    }
    return frame;
}

// Frames of (x, vertex count) and keys of (frame, duration).
AnimationSequence sequenceOf(const std::vector<std::pair<float, int>>& frames,
                             const std::vector<AnimationKey>& keys) {
    AnimationSequence sequence;
    for (const auto& [x, vertices] : frames) {
        sequence.addFrame(frameAt(x, vertices));
    }
    for (const AnimationKey& key : keys) {
        sequence.addKey(std::make_unique<AnimationKey>(key));
    }
    return sequence;
}

void interpolate(const AnimationSequence& sequence, AnimationFrame& out, double time) {
    sequence.interpolate(out.positions, out.normals, out.texCoords, time);
}

// A sequence the mesh lacks leaves its arrays as they were.
TEST(MeshGroup, Animate_MovesAnimatedMeshesOnlyAndDrawsNothing) {
    // One vertex; sequence s moves it from x = 0 to x = 10 * (s + 1) over one second.
    auto mesh = std::make_unique<AnimatedMesh>();
    AnimatedMesh* animated = mesh.get();
    mesh->allocate(1, 1, 1, 0);
    for (const float end : {10.0f, 20.0f}) {
        mesh->addSequence(
            std::make_unique<AnimationSequence>(sequenceOf({{0, 1}, {end, 1}}, {{0, 1.0}, {1, 1.0}})));
    }
    std::vector<int> log;
    MeshGroup group;
    group.add(std::make_unique<ProbeMesh>(log, 1));
    EXPECT_FALSE(group.getHasAnimated());
    group.add(std::move(mesh));
    EXPECT_TRUE(group.getHasAnimated());
    group.animate(1, 0.5);
    EXPECT_EQ(animated->getPositions()[0], vec3(10, 0, 0));
    EXPECT_TRUE(log.empty());
    LogCapture quiet;
    animated->animate(2, 0.7);
    animated->animate(-1, 0.7);
    EXPECT_EQ(animated->getPositions()[0], vec3(10, 0, 0));
}

TEST(DynamicMesh, Allocate_StartsAfreshWithTheArraysSwitchedOn_FaceCountsClamped) {
    DynamicMesh mesh;
    mesh.allocate(4, 1, 2, 6);
    mesh.getPositions()[0] = vec3(1, 2, 3);
    mesh.setColorsOn(true);
    mesh.allocate(5, 2, 3, 4);
    EXPECT_EQ(mesh.getPositions()[0], vec3(0, 0, 0));
    EXPECT_EQ(mesh.getFaceCount(0), 4);
    EXPECT_EQ(mesh.getFaceCount(2), 0);
    EXPECT_NE(mesh.getColors(), nullptr);
    // Each part's triangles are a run of the face capacity, apart from the others.
    EXPECT_EQ(mesh.getTriangles(2) - mesh.getTriangles(0), 8);
    EXPECT_EQ(mesh.getTexCoords(2), nullptr);
    EXPECT_EQ(mesh.getTriangles(3), nullptr);
    EXPECT_EQ(mesh.getTriangles(-1), nullptr);
    EXPECT_TRUE(mesh.setFaceCount(1, 9));
    EXPECT_EQ(mesh.getFaceCount(1), 4);
    EXPECT_TRUE(mesh.setFaceCount(0, -2));
    EXPECT_EQ(mesh.getFaceCount(0), 0);
    EXPECT_FALSE(mesh.setFaceCount(3, 1));
    mesh.setNormalsOn(false);
    mesh.setColorsOn(false);
    mesh.allocate(3, 0, 1, 1);
    EXPECT_EQ(mesh.getNormals(), nullptr);
    EXPECT_EQ(mesh.getColors(), nullptr);
    EXPECT_TRUE(mesh.clear());
    EXPECT_EQ(mesh.getPartCount() + mesh.getVertexCount() + mesh.getFaceCapacity(), 0);
    EXPECT_EQ(mesh.getPositions(), nullptr);
}

TEST(Mesh, Materials_AreOwnedAndCopiedNeverShared) {
    DynamicMesh mesh;
    mesh.setMaterial(std::make_unique<Material>());
    auto second = std::make_unique<Material>();
    const Material* kept = second.get();
    mesh.setMaterial(std::move(second));
    EXPECT_EQ(mesh.getMaterial(), kept);
    StaticMesh compiled;
    compiled.set({}, kept);
    ASSERT_NE(compiled.getMaterial(), nullptr);
    EXPECT_NE(compiled.getMaterial(), kept);
    EXPECT_NE(compiled.toStatic()->getMaterial(), compiled.getMaterial());
    mesh.setMaterial(nullptr);
    EXPECT_EQ(mesh.getMaterial(), nullptr);
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

} // namespace
