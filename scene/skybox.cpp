#include <GL/glew.h>

#include "scene/skybox.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "mesh/md3meshloader.h"
#include "resources/material.h"

#include <memory>
#include <new>

namespace {

const char* const kSkyBoxFile = "models/skybox/skybox.md3";
const char* const kSource = "SkyBox";
constexpr float kScale = 5.0f;

// True when every mesh of the model has a material with a texture.
bool isComplete(const MeshGroup& group) {
    for (int i = 0; i < group.size(); ++i) {
        const Material* material = group.get(i)->getMaterial();
        if (material == nullptr || material->getTextureCount() == 0) {
            return false;
        }
    }
    return group.size() > 0;
}

} // namespace

void SkyBox::load() {
    release();
    std::unique_ptr<MD3MeshLoader> loader;
    try {
        loader = std::make_unique<MD3MeshLoader>();
    } catch (const std::bad_alloc&) {
        throw InstantiationException("SkyBox load");
    }
    model = LoadedModel::load(*loader, kSkyBoxFile, kSource);
    if (!model.isLoaded()) {
        return;
    }
    if (!isComplete(*model.group)) {
        log(WARNING, kSource,
            std::string("model ") + kSkyBoxFile + " lacks materials or textures; no sky is drawn");
        model = LoadedModel();
        return;
    }
    // Set on the model before its static copy is taken, which copies the materials.
    for (int i = 0; i < model.group->size(); ++i) {
        Material* material = model.group->get(i)->getMaterial();
        material->setEmission(1.0f, 1.0f, 1.0f, 0.0f);
        ImageTexture2D texture = material->getTexture(0);
        texture.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        texture.setParameter(GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        // A face spans more of the window than its picture has pixels at all
        // but the smallest windows, so mipmaps add nothing but the renderer's
        // choice of a level at every pixel.
        texture.setParameter(GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    model.still = model.group->toStatic();
    drawable = true;
}

void SkyBox::release() {
    drawable = false;
    model = LoadedModel();
}

void SkyBox::draw(const vec3& eye) const {
    if (!drawable) {
        return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glPushMatrix();
    glTranslatef(eye.x, eye.y, eye.z);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_RESCALE_NORMAL);
    glScalef(kScale, kScale, kScale);
    model.still->draw(0);
    glPopMatrix();
    glPopAttrib();
}
