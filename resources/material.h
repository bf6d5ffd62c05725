#pragma once

#include <GL/glew.h>

#include "resources/texture.h"

#include <array>
#include <set>
#include <vector>

// A bundle of fixed-function OpenGL state set before drawing: capabilities on
// and off with their parameters, the front-face lighting colours, and up to
// four textures, one per texture unit. apply() does nothing when the same
// material was the last one applied and has not changed since.
class Material {
public:
    static constexpr unsigned kMaxTextures = 4;

    Material() = default;
    Material(const Material& other) = default;
    // The target's next apply() sends its new state.
    Material& operator=(const Material& other);
    ~Material();

    // Forgets the last applied material, so that the next apply() of any
    // material sends its state. For code that changed OpenGL state without
    // materials, the start of a frame and context switches.
    static void resetLastApplied();

    // False (count unchanged) when n is above kMaxTextures; new slots are empty.
    bool setTextureCount(unsigned n);
    unsigned getTextureCount() const { return static_cast<unsigned>(textures.size()); }
    // False (nothing stored) when i is not below the count.
    bool setTexture(unsigned i, const ImageTexture2D& t);
    // IllegalStateException "illegal texture index used." when i is not below the count.
    ImageTexture2D getTexture(unsigned i) const;

    // Switches cap on on apply(), with its parameters (cull face, depth
    // function, blend function).
    void enable(GLenum cap);
    void disable(GLenum cap);
    void setBlendFunc(GLenum source, GLenum destination);
    void setAmbient(float r, float g, float b, float a);
    void setDiffuse(float r, float g, float b, float a);
    void setSpecular(float r, float g, float b, float a);
    void setEmission(float r, float g, float b, float a);
    void setShininess(float value);

    void apply();

private:
    // Whatever changes a material makes its next apply() send the state.
    void changed();

    std::vector<ImageTexture2D> textures;
    std::array<float, 4> ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> specular = {0.0f, 0.0f, 0.0f, 0.0f};
    std::array<float, 4> emission = {0.0f, 0.0f, 0.0f, 0.0f};
    float shininess = 10.0f;
    std::set<GLenum> enabledCaps;
    std::set<GLenum> disabledCaps;
    std::set<GLenum> parameterCaps;
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;
    GLenum cullFaceMode = GL_BACK;
    GLenum depthFunction = GL_LESS;

    static const Material* lastApplied; // not owned: cleared when that material changes or dies
};
