#include "mesh/animatedmesh.h"
#include "mesh/meshgroup.h"
#include "mesh/staticmesh.h"

#include <gtest/gtest.h>

namespace {

// Records its calls and its destruction; draws nothing.
class ProbeMesh : public Mesh {
public:
    ProbeMesh(int& destroyed, std::vector<int>& drawn, int id) : destroyed(destroyed), drawn(drawn), id(id) {}
    ~ProbeMesh() override { ++destroyed; }
    void draw(int) override { drawn.push_back(id); }
    bool clear() override { return true; }
    std::unique_ptr<StaticMesh> toStatic() override { return std::make_unique<StaticMesh>(); }
    bool isDynamic() const override { return false; }

private:
    int& destroyed;
    std::vector<int>& drawn;
    const int id;
};

TEST(MeshGroup, Add_RefusesNullAndNotesAnimatedMeshes) {
    MeshGroup group;
    int destroyed = 0;
    std::vector<int> drawn;
    EXPECT_FALSE(group.add(nullptr));
    EXPECT_TRUE(group.add(std::make_unique<ProbeMesh>(destroyed, drawn, 1)));
    EXPECT_FALSE(group.getHasAnimated());
    EXPECT_TRUE(group.add(std::make_unique<AnimatedMesh>()));
    EXPECT_TRUE(group.getHasAnimated());
    EXPECT_EQ(group.size(), 2);
    EXPECT_EQ(group.get(2), nullptr);
    EXPECT_EQ(group.get(-1), nullptr);
}

TEST(MeshGroup, Draw_VisitsMeshesInOrder) {
    int destroyed = 0;
    std::vector<int> drawn;
    MeshGroup group;
    for (int id = 1; id <= 3; ++id) {
        group.add(std::make_unique<ProbeMesh>(destroyed, drawn, id));
    }
    group.draw(0);
    group.animateAndDraw(0, 0, 0.0);
    EXPECT_EQ(drawn, (std::vector<int>{1, 2, 3, 1, 2, 3}));
}

TEST(MeshGroup, Animate_MovesOnlyAnimatedMeshes) {
    MeshGroup group;
    auto mesh = std::make_unique<AnimatedMesh>();
    mesh->allocate(1, 0, 1, 0);
    auto sequence = std::make_unique<AnimationSequence>();
    auto frame = std::make_unique<AnimationFrame>(1, 0);
    frame->positions[0] = vec3(7, 0, 0);
    sequence->addFrame(std::move(frame));
    sequence->addKey(std::make_unique<AnimationKey>(0, 1.0));
    mesh->addSequence(std::move(sequence));
    AnimatedMesh* animated = mesh.get();
    group.add(std::move(mesh));
    group.animate(0, 0.2);
    EXPECT_EQ(animated->getPositions()[0], vec3(7, 0, 0));
}

TEST(MeshGroup, Destruction_DeletesEveryMesh) {
    int destroyed = 0;
    std::vector<int> drawn;
    {
        MeshGroup group;
        group.add(std::make_unique<ProbeMesh>(destroyed, drawn, 1));
        group.add(std::make_unique<ProbeMesh>(destroyed, drawn, 2));
        auto copy = group.toStatic();
        EXPECT_EQ(copy->size(), 2);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 2);
}

} // namespace
