#include "mesh/meshgroup.h"

#include "mesh/animatedmesh.h"
#include "mesh/staticmesh.h"

MeshGroup::MeshGroup() = default;

MeshGroup::~MeshGroup() = default;

bool MeshGroup::add(std::unique_ptr<Mesh> mesh) {
    if (mesh == nullptr) {
        return false;
    }
    if (dynamic_cast<AnimatedMesh*>(mesh.get()) != nullptr) {
        hasAnimated = true;
    }
    meshes.push_back(std::move(mesh));
    return true;
}

Mesh* MeshGroup::get(int i) const {
    return i >= 0 && i < size() ? meshes[static_cast<size_t>(i)].get() : nullptr;
}

void MeshGroup::draw(int part) {
    for (const auto& mesh : meshes) {
        mesh->draw(part);
    }
}

void MeshGroup::animateAndDraw(int part, int sequence, double time) {
    for (const auto& mesh : meshes) {
        if (auto* animated = dynamic_cast<AnimatedMesh*>(mesh.get())) {
            animated->animateAndDraw(part, sequence, time);
        } else {
            mesh->draw(part);
        }
    }
}

void MeshGroup::animate(int sequence, double time) {
    for (const auto& mesh : meshes) {
        if (auto* animated = dynamic_cast<AnimatedMesh*>(mesh.get())) {
            animated->animate(sequence, time);
        }
    }
}

void MeshGroup::drawNormals() const {
    for (const auto& mesh : meshes) {
        if (const auto* animated = dynamic_cast<const AnimatedMesh*>(mesh.get())) {
            animated->drawNormals();
        }
    }
}

std::unique_ptr<MeshGroup> MeshGroup::toStatic() const {
    auto group = std::make_unique<MeshGroup>();
    for (const auto& mesh : meshes) {
        group->add(mesh->toStatic());
    }
    return group;
}
