#pragma once

#include "mesh/mesh.h"
#include "mesh/narrays.h"
#include "mesh/vectormath.h"

#include <cstdint>

// A mesh whose vertices live in arrays and are sent with OpenGL vertex arrays
// on every draw. Empty (all counts 0) until allocate().
class DynamicMesh : public Mesh {
public:
    // Three vertex indices, packed as glDrawElements reads them.
    struct Triangle {
        uint32_t v[3] = {0, 0, 0};
    };

    DynamicMesh();
    ~DynamicMesh() override;

    // Clears the mesh, then sizes every array for the counts (negative counts
    // count as 0): faceCount triangles of room per part, part 0 holding
    // faceCount of them and the other parts none.
    void allocate(int vertexCount, int textureUnits, int partCount, int faceCount);
    bool clear() override;
    // Draws nothing for a part outside the mesh, without vertices, or holding
    // a vertex index beyond the vertices (the driver would read past the arrays).
    void draw(int part) override;
    // One line per vertex from its position along its normal, in the current
    // colour and without the material; nothing without normals.
    void drawNormals() const;
    // Compiles each part into a display list; the static mesh gets a copy of
    // the material. Parts that draw nothing compile to empty lists.
    std::unique_ptr<StaticMesh> toStatic() override;
    bool isDynamic() const override { return true; }

    // First elements of the arrays, or null when the array is empty or the
    // unit or part does not exist.
    vec3* getPositions();
    vec3* getNormals();
    vec4* getColors();
    vec2* getTexCoords(int unit);
    Triangle* getTriangles(int part);
    const vec3* getPositions() const;
    const vec3* getNormals() const;
    const vec2* getTexCoords(int unit) const;
    const Triangle* getTriangles(int part) const;

    int getVertexCount() const { return vertexCount; }
    int getTextureUnits() const { return textureUnits; }
    int getFaceCapacity() const { return faceCapacity; }
    // 0 for a part outside the mesh.
    int getFaceCount(int part) const;
    // Sets how many of a part's triangles are drawn, clamped to the room
    // allocated; false for a part outside the mesh.
    bool setFaceCount(int part, int count);

    // Switches read by allocate() (which arrays to size) and by drawing.
    void setNormalsOn(bool on) { normalsOn = on; }
    void setColorsOn(bool on) { colorsOn = on; }
    void setMaterialOn(bool on) { materialOn = on; }

protected:
    bool isPart(int part) const { return part >= 0 && part < partCount; }
    // Normals and colours are used only when switched on and sized for the vertices.
    bool hasNormals() const;
    bool hasColors() const;
    // Whether part exists, has vertices to draw and no index beyond them.
    bool isDrawable(int part) const;

    NArray1<vec3> positions;
    NArray1<vec3> normals;
    NArray1<vec4> colors;
    NArray2<vec2> texCoords;     // vertexCount x textureUnits; column u for unit u
    NArray2<Triangle> triangles; // faceCapacity x partCount; column p for part p
    NArray1<uint32_t> faceCounts;
    bool normalsOn = true;
    bool colorsOn = false;
    bool materialOn = true;
    int vertexCount = 0;
    int textureUnits = 0;
    int faceCapacity = 0;
};

static_assert(sizeof(DynamicMesh::Triangle) == 3 * sizeof(uint32_t),
              "triangles must pack for glDrawElements");
