#include "resources/material.h"

#include "base/exceptions.h"

const Material* Material::lastApplied = nullptr;

Material& Material::operator=(const Material& other) {
    if (this != &other) {
        changed();
        textures = other.textures;
        ambient = other.ambient;
        diffuse = other.diffuse;
        specular = other.specular;
        emission = other.emission;
        shininess = other.shininess;
        enabledCaps = other.enabledCaps;
        disabledCaps = other.disabledCaps;
        parameterCaps = other.parameterCaps;
        blendSource = other.blendSource;
        blendDestination = other.blendDestination;
        cullFaceMode = other.cullFaceMode;
        depthFunction = other.depthFunction;
    }
    return *this;
}

Material::~Material() {
    // Another material built at this address must not be taken for this one.
    changed();
}

void Material::resetLastApplied() {
    lastApplied = nullptr;
}

void Material::changed() {
    if (lastApplied == this) {
        lastApplied = nullptr;
    }
}

bool Material::setTextureCount(unsigned n) {
    if (n > kMaxTextures) {
        return false;
    }
    changed();
    textures.resize(n);
    return true;
}

bool Material::setTexture(unsigned i, const ImageTexture2D& t) {
    if (i >= textures.size()) {
        return false;
    }
    changed();
    textures[i] = t;
    return true;
}

ImageTexture2D Material::getTexture(unsigned i) const {
    if (i >= textures.size()) {
        throw IllegalStateException("illegal texture index used.");
    }
    return textures[i];
}

void Material::enable(GLenum cap) {
    changed();
    enabledCaps.insert(cap);
    parameterCaps.insert(cap);
    disabledCaps.erase(cap);
}

void Material::disable(GLenum cap) {
    changed();
    disabledCaps.insert(cap);
    enabledCaps.erase(cap);
    parameterCaps.erase(cap);
}

void Material::setBlendFunc(GLenum source, GLenum destination) {
    changed();
    blendSource = source;
    blendDestination = destination;
}

void Material::setAmbient(float r, float g, float b, float a) {
    changed();
    ambient = {r, g, b, a};
}

void Material::setDiffuse(float r, float g, float b, float a) {
    changed();
    diffuse = {r, g, b, a};
}

void Material::setSpecular(float r, float g, float b, float a) {
    changed();
    specular = {r, g, b, a};
}

void Material::setEmission(float r, float g, float b, float a) {
    changed();
    emission = {r, g, b, a};
}

void Material::setShininess(float value) {
    changed();
    shininess = value;
}

void Material::apply() {
    if (lastApplied == this) {
        return;
    }
    // Named only once everything is sent: a failure half-way must not make
    // the next apply() skip.
    lastApplied = nullptr;
    for (const GLenum cap : enabledCaps) {
        glEnable(cap);
    }
    for (const GLenum cap : disabledCaps) {
        glDisable(cap);
    }
    for (const GLenum cap : parameterCaps) {
        switch (cap) {
        case GL_CULL_FACE:
            glCullFace(cullFaceMode);
            break;
        case GL_DEPTH_TEST:
            glDepthFunc(depthFunction);
            break;
        case GL_BLEND:
            glBlendFunc(blendSource, blendDestination);
            break;
        default:
            break;
        }
    }
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular.data());
    glMaterialf(GL_FRONT, GL_SHININESS, shininess);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission.data());
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient.data());
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse.data());
    for (unsigned i = 0; i < textures.size(); ++i) {
        glActiveTexture(GL_TEXTURE0 + i);
        if (textures[i].isEmpty()) {
            glDisable(GL_TEXTURE_2D);
        } else {
            glEnable(GL_TEXTURE_2D);
            textures[i].bind();
        }
    }
    lastApplied = this;
}
