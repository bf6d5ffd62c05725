#include "mesh/dynamicmesh.h"

#include <GL/glew.h>

#include "mesh/staticmesh.h"
#include "resources/material.h"

#include <algorithm>

DynamicMesh::DynamicMesh() = default;

DynamicMesh::~DynamicMesh() = default;

void DynamicMesh::allocate(int newVertexCount, int newTextureUnits, int newPartCount, int faceCount) {
    clear();
    vertexCount = std::max(newVertexCount, 0);
    textureUnits = std::max(newTextureUnits, 0);
    partCount = std::max(newPartCount, 0);
    faceCapacity = std::max(faceCount, 0);
    const size_t vertices = static_cast<size_t>(vertexCount);
    positions.resize(vertices);
    if (normalsOn) {
        normals.resize(vertices);
    }
    if (colorsOn) {
        colors.resize(vertices);
    }
    texCoords.resize(vertices, static_cast<size_t>(textureUnits));
    faceCounts.resize(static_cast<size_t>(partCount));
    if (partCount > 0) {
        faceCounts[0] = static_cast<uint32_t>(faceCapacity);
    }
    triangles.resize(static_cast<size_t>(faceCapacity), static_cast<size_t>(partCount));
}

bool DynamicMesh::clear() {
    positions.clear();
    normals.clear();
    colors.clear();
    texCoords.clear();
    triangles.clear();
    faceCounts.clear();
    vertexCount = 0;
    textureUnits = 0;
    faceCapacity = 0;
    partCount = 0;
    return true;
}

bool DynamicMesh::hasNormals() const {
    return normalsOn && normals.size() == static_cast<size_t>(vertexCount);
}

bool DynamicMesh::hasColors() const {
    return colorsOn && colors.size() == static_cast<size_t>(vertexCount);
}

bool DynamicMesh::isDrawable(int part) const {
    if (!isPart(part) || vertexCount <= 0) {
        return false;
    }
    const Triangle* list = getTriangles(part);
    const int count = getFaceCount(part);
    const uint32_t limit = static_cast<uint32_t>(vertexCount);
    for (int f = 0; f < count; ++f) {
        const Triangle& t = list[f];
        if (t.v[0] >= limit || t.v[1] >= limit || t.v[2] >= limit) {
            return false;
        }
    }
    return true;
}

void DynamicMesh::draw(int part) {
    if (!isDrawable(part)) {
        return;
    }
    if (material != nullptr && materialOn) {
        material->apply();
    }
    const bool withNormals = hasNormals();
    const bool withColors = hasColors();
    if (withNormals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, normals.data());
    }
    if (withColors) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, colors.data());
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    // Every unit is selected explicitly: the array state is per client unit,
    // and leaving another unit selected would misdirect later callers.
    for (int u = 0; u < textureUnits; ++u) {
        glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(u));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords.column(static_cast<size_t>(u)));
    }
    glDrawElements(GL_TRIANGLES, 3 * getFaceCount(part), GL_UNSIGNED_INT, getTriangles(part));
    for (int u = 0; u < textureUnits; ++u) {
        glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(u));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (textureUnits > 0) {
        glClientActiveTexture(GL_TEXTURE0);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    if (withColors) {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (withNormals) {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
}

void DynamicMesh::drawNormals() const {
    if (!hasNormals() || vertexCount <= 0) {
        return;
    }
    glBegin(GL_LINES);
    for (size_t i = 0; i < positions.size(); ++i) {
        const vec3 end = positions[i] + normals[i];
        glVertex3f(positions[i].x, positions[i].y, positions[i].z);
        glVertex3f(end.x, end.y, end.z);
    }
    glEnd();
}

std::unique_ptr<StaticMesh> DynamicMesh::toStatic() {
    const bool withNormals = hasNormals();
    const bool withColors = hasColors();
    std::vector<GLuint> lists;
    lists.reserve(static_cast<size_t>(partCount));
    // Made before the first name exists: nothing may throw between
    // generating the names and handing them over.
    auto result = std::make_unique<StaticMesh>();
    for (int p = 0; p < partCount; ++p) {
        const GLuint name = glGenLists(1);
        lists.push_back(name);
        glNewList(name, GL_COMPILE);
        glBegin(GL_TRIANGLES);
        if (isDrawable(p)) {
            const Triangle* list = getTriangles(p);
            const int count = getFaceCount(p);
            for (int f = 0; f < count; ++f) {
                for (const uint32_t i : list[f].v) {
                    if (withNormals) {
                        glNormal3f(normals[i].x, normals[i].y, normals[i].z);
                    }
                    if (withColors) {
                        glColor4f(colors[i].x, colors[i].y, colors[i].z, colors[i].w);
                    }
                    for (int u = 0; u < textureUnits; ++u) {
                        const vec2& st = texCoords.at(i, static_cast<size_t>(u));
                        glMultiTexCoord2f(GL_TEXTURE0 + static_cast<GLenum>(u), st.x, st.y);
                    }
                    glVertex3f(positions[i].x, positions[i].y, positions[i].z);
                }
            }
        }
        glEnd();
        glEndList();
    }
    result->set(std::move(lists), material.get());
    return result;
}

vec3* DynamicMesh::getPositions() {
    return positions.empty() ? nullptr : positions.data();
}

vec3* DynamicMesh::getNormals() {
    return normals.empty() ? nullptr : normals.data();
}

vec4* DynamicMesh::getColors() {
    return colors.empty() ? nullptr : colors.data();
}

vec2* DynamicMesh::getTexCoords(int unit) {
    return const_cast<vec2*>(static_cast<const DynamicMesh*>(this)->getTexCoords(unit));
}

DynamicMesh::Triangle* DynamicMesh::getTriangles(int part) {
    return const_cast<Triangle*>(static_cast<const DynamicMesh*>(this)->getTriangles(part));
}

const vec3* DynamicMesh::getPositions() const {
    return positions.empty() ? nullptr : positions.data();
}

const vec3* DynamicMesh::getNormals() const {
    return normals.empty() ? nullptr : normals.data();
}

const vec2* DynamicMesh::getTexCoords(int unit) const {
    if (unit < 0 || unit >= textureUnits || vertexCount <= 0) {
        return nullptr;
    }
    return texCoords.column(static_cast<size_t>(unit));
}

const DynamicMesh::Triangle* DynamicMesh::getTriangles(int part) const {
    if (!isPart(part) || faceCapacity <= 0) {
        return nullptr;
    }
    return triangles.column(static_cast<size_t>(part));
}

int DynamicMesh::getFaceCount(int part) const {
    return isPart(part) ? static_cast<int>(faceCounts[static_cast<size_t>(part)]) : 0;
}

bool DynamicMesh::setFaceCount(int part, int count) {
    if (!isPart(part)) {
        return false;
    }
    faceCounts[static_cast<size_t>(part)] = static_cast<uint32_t>(std::clamp(count, 0, faceCapacity));
    return true;
}
