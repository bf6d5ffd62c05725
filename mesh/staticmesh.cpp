#include "mesh/staticmesh.h"

#include "resources/material.h"

class StaticMesh::DisplayLists {
public:
    explicit DisplayLists(std::vector<GLuint> names) : names(std::move(names)) {}
    ~DisplayLists() {
        for (const GLuint name : names) {
            if (name != 0) {
                glDeleteLists(name, 1);
            }
        }
    }
    DisplayLists(const DisplayLists&) = delete;
    DisplayLists& operator=(const DisplayLists&) = delete;

    const std::vector<GLuint> names;
};

StaticMesh::StaticMesh() = default;

StaticMesh::~StaticMesh() {
    clear();
}

GLuint StaticMesh::getDisplayList(int part) const {
    if (displayLists == nullptr || part < 0 || part >= static_cast<int>(displayLists->names.size())) {
        return 0;
    }
    return displayLists->names[static_cast<size_t>(part)];
}

void StaticMesh::draw(int part) {
    const GLuint list = getDisplayList(part);
    if (list == 0) {
        return;
    }
    if (material != nullptr) {
        material->apply();
    }
    glCallList(list);
}

bool StaticMesh::clear() {
    displayLists.reset();
    partCount = 0;
    return true;
}

std::unique_ptr<StaticMesh> StaticMesh::toStatic() {
    auto copy = std::make_unique<StaticMesh>();
    copy->displayLists = displayLists;
    copy->partCount = partCount;
    if (material != nullptr) {
        copy->material = std::make_unique<Material>(*material);
    }
    return copy;
}

void StaticMesh::set(std::vector<GLuint> lists, const Material* newMaterial) {
    clear();
    partCount = static_cast<int>(lists.size());
    displayLists = std::make_shared<const DisplayLists>(std::move(lists));
    material = newMaterial != nullptr ? std::make_unique<Material>(*newMaterial) : nullptr;
}
