#pragma once

#include <GL/glew.h>

#include "mesh/mesh.h"

#include <memory>
#include <vector>

// A mesh drawn from OpenGL display lists, one per part.
class StaticMesh : public Mesh {
public:
    StaticMesh();
    ~StaticMesh() override;

    // Applies the material, then calls the part's list. A part without a list
    // draws nothing and applies nothing.
    void draw(int part) override;
    // Lets go of the display lists; they are deleted once no mesh shares them.
    bool clear() override;
    // A new static mesh sharing these display lists, with a copy of the material:
    // both stay drawable whichever of them is deleted first.
    std::unique_ptr<StaticMesh> toStatic() override;
    bool isDynamic() const override { return false; }

    // Takes over the display-list names (one per part, the count of parts)
    // and keeps a copy of material (none for null).
    void set(std::vector<GLuint> lists, const Material* newMaterial);
    // The display list of part, or 0.
    GLuint getDisplayList(int part) const;

private:
    // Owns display-list names and deletes them once.
    class DisplayLists;

    std::shared_ptr<const DisplayLists> displayLists;
};
