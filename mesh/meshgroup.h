#pragma once

#include "mesh/mesh.h"

#include <memory>
#include <vector>

// A model: meshes drawn together, owned by the group.
class MeshGroup {
public:
    MeshGroup();
    MeshGroup(const MeshGroup&) = delete;
    MeshGroup& operator=(const MeshGroup&) = delete;
    ~MeshGroup();

    // False for null; otherwise takes the mesh over.
    bool add(std::unique_ptr<Mesh> mesh);
    // Null for an index outside the group.
    Mesh* get(int i) const;
    int size() const { return static_cast<int>(meshes.size()); }
    bool getHasAnimated() const { return hasAnimated; }

    void draw(int part);
    // Animated meshes animate and draw, the others only draw.
    void animateAndDraw(int part, int sequence, double time);
    // Animated meshes animate; nothing is drawn.
    void animate(int sequence, double time);
    void drawNormals() const;
    // A new group of the static copies of every mesh, in order.
    std::unique_ptr<MeshGroup> toStatic() const;

private:
    std::vector<std::unique_ptr<Mesh>> meshes;
    bool hasAnimated = false;
};
