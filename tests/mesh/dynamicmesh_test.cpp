#include "core/material.h"
#include "mesh/dynamicmesh.h"
#include "mesh/staticmesh.h"

#include <gtest/gtest.h>

namespace {

TEST(DynamicMesh, Allocate_SizesArraysAndGivesPartZeroItsFaces) {
    DynamicMesh mesh;
    mesh.setColorsOn(true);
    mesh.allocate(5, 2, 3, 4);
    EXPECT_EQ(mesh.getVertexCount(), 5);
    EXPECT_EQ(mesh.getTextureUnits(), 2);
    EXPECT_EQ(mesh.getPartCount(), 3);
    EXPECT_EQ(mesh.getFaceCount(0), 4);
    EXPECT_EQ(mesh.getFaceCount(2), 0);
    EXPECT_EQ(mesh.getFaceCount(3), 0);
    EXPECT_NE(mesh.getNormals(), nullptr);
    EXPECT_NE(mesh.getColors(), nullptr);
    // Columns are contiguous runs of the vertex count and face capacity.
    EXPECT_EQ(mesh.getTexCoords(1) - mesh.getTexCoords(0), 5);
    EXPECT_EQ(mesh.getTriangles(2) - mesh.getTriangles(0), 8);
    EXPECT_EQ(mesh.getTexCoords(2), nullptr);
    EXPECT_EQ(mesh.getTriangles(3), nullptr);
    EXPECT_EQ(mesh.getTriangles(-1), nullptr);
}

TEST(DynamicMesh, AllocateWithSwitchesOff_LeavesNormalsAndColoursUnsized) {
    DynamicMesh mesh;
    mesh.setNormalsOn(false);
    mesh.allocate(3, 1, 1, 1);
    EXPECT_EQ(mesh.getNormals(), nullptr);
    EXPECT_EQ(mesh.getColors(), nullptr);
}

TEST(DynamicMesh, ClearAndReallocate_StartFromEmpty) {
    DynamicMesh mesh;
    mesh.allocate(4, 1, 2, 6);
    mesh.getPositions()[0] = vec3(1, 2, 3);
    EXPECT_TRUE(mesh.clear());
    EXPECT_EQ(mesh.getVertexCount(), 0);
    EXPECT_EQ(mesh.getPartCount(), 0);
    EXPECT_EQ(mesh.getFaceCapacity(), 0);
    EXPECT_EQ(mesh.getPositions(), nullptr);
    mesh.allocate(2, 0, 1, 1);
    EXPECT_EQ(mesh.getPositions()[0], vec3(0, 0, 0));
    EXPECT_EQ(mesh.getTexCoords(0), nullptr);
}

TEST(DynamicMesh, SetFaceCount_ClampsToAllocatedRoom) {
    DynamicMesh mesh;
    mesh.allocate(3, 1, 2, 4);
    EXPECT_TRUE(mesh.setFaceCount(1, 9));
    EXPECT_EQ(mesh.getFaceCount(1), 4);
    EXPECT_TRUE(mesh.setFaceCount(0, -2));
    EXPECT_EQ(mesh.getFaceCount(0), 0);
    EXPECT_FALSE(mesh.setFaceCount(2, 1));
}

TEST(DynamicMesh, SetMaterial_ReplacesThePreviousOne) {
    DynamicMesh mesh;
    auto first = std::make_unique<Material>();
    mesh.setMaterial(std::move(first));
    auto second = std::make_unique<Material>();
    Material* kept = second.get();
    mesh.setMaterial(std::move(second));
    EXPECT_EQ(mesh.getMaterial(), kept);
    mesh.setMaterial(nullptr);
    EXPECT_EQ(mesh.getMaterial(), nullptr);
}

// These must return before any OpenGL call: there is no context here.
TEST(DynamicMesh, DrawWithoutVerticesOrOutsideParts_DoesNothing) {
    DynamicMesh mesh;
    mesh.draw(0);
    mesh.drawNormals();
    mesh.allocate(3, 1, 1, 1);
    mesh.draw(1);
    mesh.draw(-1);
    mesh.getTriangles(0)[0] = {{0, 1, 3}};
    mesh.draw(0);
    mesh.setNormalsOn(false);
    mesh.drawNormals();
    mesh.setNormalsOn(true);
    mesh.allocate(0, 0, 1, 0);
    mesh.drawNormals();
}

TEST(StaticMesh, EmptyMesh_DrawsNothingAndCopiesItsMaterial) {
    StaticMesh mesh;
    Material material;
    mesh.set({}, &material);
    mesh.draw(0);
    EXPECT_EQ(mesh.getPartCount(), 0);
    ASSERT_NE(mesh.getMaterial(), nullptr);
    EXPECT_NE(mesh.getMaterial(), &material);
    auto copy = mesh.toStatic();
    EXPECT_FALSE(copy->isDynamic());
    EXPECT_NE(copy->getMaterial(), mesh.getMaterial());
}

} // namespace
