#include "scene/particlesystem.h"
#include "scene/sceneoptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kRandomMax = 32767;

// Answers the given values in turn, over and over.
ParticleSystem::RandomSource sequence(std::vector<int> values) {
    return [values, next = size_t{0}]() mutable {
        return values[next++ % values.size()];
    };
}

// Seconds of updates of dt until no droplet is left.
double lifetime(ParticleSystem& particles, double dt) {
    double seconds = 0.0;
    while (!particles.getParticles().empty() && seconds < 100.0) {
        particles.update(dt);
        seconds += dt;
    }
    return seconds;
}

} // namespace

TEST(ParticleSystem, Splash_RisesAndSpreadsByTheStatedSpeedsInOneFrame) {
    ParticleSystem particles; // the C runtime's generator
    const vec3 origin(10, 20, 0);
    particles.emit(origin, {0.1f, 0.2f, 0.3f, 1.0f}, 200);
    ASSERT_EQ(particles.getParticles().size(), 200u);
    EXPECT_EQ(particles.getParticles().front().color.w, 0.5f);
    EXPECT_FALSE(particles.getParticles().front().kind);
    particles.update(0.02);
    ASSERT_EQ(particles.getParticles().size(), 200u);
    for (const Particle& p : particles.getParticles()) {
        EXPECT_GE(p.position.z, 0.16f - 1e-5f);
        EXPECT_LE(p.position.z, 0.56f + 1e-5f);
        EXPECT_NEAR(std::hypot(p.position.x - origin.x, p.position.y - origin.y), 0.4f, 1e-5f);
    }
}

TEST(ParticleSystem, DropletsLandAfterTheirFlight_EvenInSlowMotion) {
    const struct {
        bool slowMotion;
        double expectedSeconds;
    } cases[] = {{false, 0.2}, {true, 2.0}};
    for (const auto& c : cases) {
        ParticleSystem particles(sequence({0})); // vertical speed 1
        particles.emit({0, 0, 0}, {}, 3);
        SceneOptions options;
        options.slowMotion = c.slowMotion;
        double seconds = 0.0;
        while (!particles.getParticles().empty() && seconds < 100.0) {
            particles.update(options.sceneTime(0.001));
            seconds += 0.001;
        }
        EXPECT_NEAR(seconds, c.expectedSeconds, c.expectedSeconds * 0.02) << c.slowMotion;
    }
}

TEST(ParticleSystem, LandedDropletsGoWhileTheOthersFlyOn) {
    // Angle, rise: short hops (rise 1) alternate with high ones (rise 3).
    ParticleSystem particles(sequence({0, 0, 0, kRandomMax}));
    particles.emit({0, 0, 0}, {}, 6);
    for (int i = 0; i < 30; ++i) {
        particles.update(0.01);
    }
    ASSERT_EQ(particles.getParticles().size(), 3u);
    for (const Particle& p : particles.getParticles()) {
        EXPECT_GT(p.position.z, 0.0f);
    }
    EXPECT_NEAR(lifetime(particles, 0.01), 0.6 - 0.3, 0.02);
}
