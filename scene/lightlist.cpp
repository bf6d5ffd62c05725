#include <GL/glew.h>

#include "scene/lightlist.h"

namespace {

constexpr float kAmbient[] = {0.4f, 0.4f, 0.4f, 1.0f};

} // namespace

void LightList::add(const vec3& position, bool positional, const vec3& color, float attenuation) {
    Light light;
    light.position = {position.x, position.y, position.z, positional ? 1.0f : 0.0f};
    light.color = {color.x, color.y, color.z, 1.0f};
    light.attenuation = attenuation;
    lights.push_back(light);
}

void LightList::apply() const {
    glEnable(GL_LIGHTING);
    for (int i = 0; i < kMaxLights; ++i) {
        const GLenum slot = static_cast<GLenum>(GL_LIGHT0 + i);
        if (i >= size()) {
            glDisable(slot);
            continue;
        }
        const Light& light = get(i);
        const float position[] = {light.position.x, light.position.y, light.position.z, light.position.w};
        const float color[] = {light.color.x, light.color.y, light.color.z, light.color.w};
        glEnable(slot);
        glLightfv(slot, GL_POSITION, position);
        glLightfv(slot, GL_DIFFUSE, color);
        glLightfv(slot, GL_SPECULAR, color);
        glLightfv(slot, GL_AMBIENT, kAmbient);
        glLightf(slot, GL_QUADRATIC_ATTENUATION, light.attenuation);
    }
}
