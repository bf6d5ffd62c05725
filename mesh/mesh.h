#pragma once

#include <memory>

class Material;
class StaticMesh;

// Drawable geometry made of one or more triangle lists (parts). A mesh owns
// its material.
class Mesh {
public:
    Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;
    virtual ~Mesh();

    // Draws triangle list part; parts outside the mesh draw nothing.
    virtual void draw(int part) = 0;
    // Frees the geometry; the mesh is empty afterwards.
    virtual bool clear() = 0;
    // A new static mesh showing the current geometry, owned by the caller.
    virtual std::unique_ptr<StaticMesh> toStatic() = 0;
    virtual bool isDynamic() const = 0;

    int getPartCount() const { return partCount; }
    // Replaces (and frees) the previous material; null leaves the mesh without one.
    void setMaterial(std::unique_ptr<Material> newMaterial);
    Material* getMaterial() const { return material.get(); }

protected:
    int partCount = 0;
    std::unique_ptr<Material> material;
};
