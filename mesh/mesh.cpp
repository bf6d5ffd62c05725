#include "mesh/mesh.h"

#include "core/material.h"
#include "mesh/staticmesh.h"

Mesh::Mesh() = default;

Mesh::~Mesh() = default;

void Mesh::setMaterial(std::unique_ptr<Material> newMaterial) {
    material = std::move(newMaterial);
}
