#include "mesh/animatedmesh.h"
#include "mesh/meshgroup.h"
#include "mesh/staticmesh.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

namespace {

// Records its draws and its destruction.
class ProbeMesh : public Mesh {
public:
    ProbeMesh(std::vector<int>& log, int id) : log(log), id(id) {}
    ~ProbeMesh() override { log.push_back(-id); }
    void draw(int) override { log.push_back(id); }
    bool clear() override { return true; }
    std::unique_ptr<StaticMesh> toStatic() override { return std::make_unique<StaticMesh>(); }
    bool isDynamic() const override { return false; }

private:
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

// One vertex; sequence s moves it from x = 0 to x = 10 * (s + 1) over one second.
std::unique_ptr<AnimatedMesh> twoSequenceMesh() {
    auto mesh = std::make_unique<AnimatedMesh>();
    mesh->allocate(1, 1, 1, 0);
    for (int s = 0; s < 2; ++s) {
        auto sequence = std::make_unique<AnimationSequence>();
        for (uint32_t k = 0; k < 2; ++k) {
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

// A sequence the mesh lacks leaves its arrays as they were.
TEST(MeshGroup, Animate_MovesAnimatedMeshesOnlyAndDrawsNothing) {
    auto mesh = twoSequenceMesh();
    AnimatedMesh* animated = mesh.get();
    std::vector<int> log;
    MeshGroup group;
    group.add(std::make_unique<ProbeMesh>(log, 1));
    EXPECT_FALSE(group.getHasAnimated());
    group.add(std::move(mesh));
    EXPECT_TRUE(group.getHasAnimated());
    group.animate(1, 0.5);
    EXPECT_EQ(animated->getPositions()[0], vec3(10, 0, 0));
    EXPECT_EQ(animated->getNormals()[0], vec3(0, 0, 1));
    EXPECT_TRUE(log.empty());
    LogCapture quiet;
    animated->animate(2, 0.7);
    animated->animate(-1, 0.7);
    EXPECT_EQ(animated->getPositions()[0], vec3(10, 0, 0));
}

} // namespace
