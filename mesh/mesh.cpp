#include "mesh/mesh.h"

#include "mesh/staticmesh.h"
#include "resources/material.h"

Mesh::Mesh() = default;

Mesh::~Mesh() = default;

void Mesh::setMaterial(std::unique_ptr<Material> newMaterial) {
    material = std::move(newMaterial);
}
