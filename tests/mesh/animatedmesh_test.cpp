#include "mesh/animatedmesh.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

namespace {

// A mesh of one vertex with two sequences: sequence s moves it from x = 0 to
// x = 10 * (s + 1) over one second.
std::unique_ptr<AnimatedMesh> twoSequenceMesh() {
    auto mesh = std::make_unique<AnimatedMesh>();
    mesh->allocate(1, 1, 1, 0);
    for (int s = 0; s < 2; ++s) {
        auto sequence = std::make_unique<AnimationSequence>();
        for (int k = 0; k < 2; ++k) {
            auto frame = std::make_unique<AnimationFrame>(1, 1);
            frame->positions[0] = vec3(k * 10.0f * (s + 1), 0, 0);
            frame->normals[0] = vec3(0, 0, 1);
            sequence->addFrame(std::move(frame));
            sequence->addKey(std::make_unique<AnimationKey>(k, 1.0));
        }
        mesh->addSequence(std::move(sequence));
    }
    return mesh;
}

TEST(AnimatedMesh, Animate_WritesTheChosenSequenceIntoItsArrays) {
    auto mesh = twoSequenceMesh();
    mesh->animate(1, 0.5);
    EXPECT_EQ(mesh->getPositions()[0], vec3(10, 0, 0));
    EXPECT_EQ(mesh->getNormals()[0], vec3(0, 0, 1));
}

TEST(AnimatedMesh, InvalidSequence_LogsAndLeavesArrays) {
    auto mesh = twoSequenceMesh();
    mesh->animate(0, 0.5);
    LogCapture capture;
    EXPECT_EQ(mesh->getSequence(5), nullptr);
    mesh->animate(2, 0.7);
    mesh->animate(-1, 0.7);
    EXPECT_EQ(mesh->getPositions()[0], vec3(5, 0, 0));
    const std::vector<std::string> expected(3, "invalid animation sequence number");
    EXPECT_EQ(capture.messages(), expected);
    EXPECT_EQ(capture.lines()[0].rfind("DEBUG   from global", 0), 0u);
}

TEST(AnimatedMesh, MeshWithoutNormals_StillAnimatesPositions) {
    auto mesh = std::make_unique<AnimatedMesh>();
    mesh->setNormalsOn(false);
    auto source = twoSequenceMesh();
    mesh->allocate(1, 1, 1, 0);
    auto sequence = std::make_unique<AnimationSequence>();
    sequence->addFrame(std::make_unique<AnimationFrame>(*source->getSequence(0)->getFrame(1)));
    sequence->addKey(std::make_unique<AnimationKey>(0, 1.0));
    mesh->addSequence(std::move(sequence));
    mesh->animate(0, 0.0);
    EXPECT_EQ(mesh->getPositions()[0], vec3(10, 0, 0));
    EXPECT_EQ(mesh->getNormals(), nullptr);
}

} // namespace
