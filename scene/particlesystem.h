#pragma once

#include "resources/texture.h"
#include "scene/particle.h"

#include <functional>
#include <list>
#include <memory>

// Glowing droplets that a splash throws up and gravity pulls back into the
// water, drawn as streaks along their flight turned towards the eye.
class ParticleSystem {
public:
    // Yields integers from 0 to 32767.
    using RandomSource = std::function<int()>;

    static constexpr float kGravity = 1.0f;

    // A null source uses the C runtime's rand(), shared with the computer player.
    explicit ParticleSystem(RandomSource random = nullptr);
    ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // The flare texture; without it droplets are not drawn.
    void load();
    void release();

    void emit(const vec3& position, const vec4& color, int count);
    // dt in seconds; droplets that fall below the water line are removed.
    void update(double dt);
    void draw(const vec3& eye) const;
    void clear() { particles.clear(); }

    const std::list<Particle>& getParticles() const { return particles; }

private:
    std::list<Particle> particles;
    float gravity = kGravity;
    RandomSource random;
    std::unique_ptr<ImageTexture2D> flare;
};
