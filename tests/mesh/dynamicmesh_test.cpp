#include "mesh/dynamicmesh.h"
#include "mesh/staticmesh.h"
#include "resources/material.h"

#include <gtest/gtest.h>

namespace {

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

} // namespace
