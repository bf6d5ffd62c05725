#include <GL/glew.h>

#include "scene/particlesystem.h"

#include "game/gameboard.h"
#include "scene/scenetexture.h"

#include <array>
#include <cmath>

namespace {

constexpr float kRandomMax = 32767.0f;
constexpr float kTwoPi = 2.0f * 3.1415926538f;
constexpr float kHorizontalSpeed = 2.0f;
constexpr float kMinRise = 1.0f;
constexpr float kRiseRange = 2.0f;
constexpr float kEmittedAlpha = 0.5f;
// Velocities are in units per tenth of a second.
constexpr float kTenthsPerSecond = 10.0f;
constexpr float kStreakHalfWidth = 0.5f;
constexpr std::array<float, 4> kStreakColor = {0.5f, 0.5f, 1.0f, 0.8f};
// A droplet seen exactly along its flight has no streak to show.
constexpr float kDegenerateLength = 1e-6f;
const char* const kFlareFile = "textures/table/flare.png";

} // namespace

ParticleSystem::ParticleSystem(RandomSource random)
    : random(random ? std::move(random) : RandomSource(GameBoard::defaultRandom)) {}

ParticleSystem::~ParticleSystem() = default;

void ParticleSystem::load() {
    flare = loadSceneTexture(kFlareFile, "ParticleSystem");
}

void ParticleSystem::release() {
    flare.reset();
}

void ParticleSystem::emit(const vec3& position, const vec4& color, int count) {
    for (int n = 0; n < count; ++n) {
        const float angle = static_cast<float>(random()) / kRandomMax * kTwoPi;
        Particle p;
        p.velocity = {kHorizontalSpeed * std::sin(angle), kHorizontalSpeed * std::cos(angle),
                      kRiseRange * static_cast<float>(random()) / kRandomMax + kMinRise};
        p.position = position;
        p.color = {color.x, color.y, color.z, kEmittedAlpha};
        particles.push_back(p);
    }
}

void ParticleSystem::update(double dt) {
    const float step = static_cast<float>(dt) * kTenthsPerSecond;
    for (auto it = particles.begin(); it != particles.end();) {
        it->velocity.z -= gravity * step;
        it->position += it->velocity * step;
        it = it->position.z < 0.0f ? particles.erase(it) : std::next(it);
    }
}

void ParticleSystem::draw(const vec3& eye) const {
    if (!flare || particles.empty()) {
        return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    flare->bind();
    glColor4f(kStreakColor[0], kStreakColor[1], kStreakColor[2], kStreakColor[3]);
    glMatrixMode(GL_MODELVIEW);
    for (const Particle& p : particles) {
        const float s = p.velocity.length();
        const vec3 toDroplet = p.position - eye;
        if (s < kDegenerateLength || toDroplet.length() < kDegenerateLength) {
            continue;
        }
        const vec3 d = toDroplet.normalized();
        const vec3 a = p.velocity / s;
        vec3 b = cross(d, a);
        const float bLength = b.length();
        if (bLength < kDegenerateLength) {
            continue;
        }
        b = b / bLength;
        const vec3 c = cross(a, b);
        // The quad lies in its x-z plane: x across the flight, z along it.
        // Its y axis c is the line of sight made square to the flight, so it
        // points away from the eye and the streak shows its full width.
        const float m[16] = {b.x, b.y, b.z, 0.0f, c.x,          c.y,          c.z,          0.0f,
                             a.x, a.y, a.z, 0.0f, p.position.x, p.position.y, p.position.z, 1.0f};
        glPushMatrix();
        glMultMatrixf(m);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-kStreakHalfWidth, 0.0f, -s);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(kStreakHalfWidth, 0.0f, -s);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(kStreakHalfWidth, 0.0f, s);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-kStreakHalfWidth, 0.0f, s);
        glEnd();
        glPopMatrix();
    }
    glPopAttrib();
}
