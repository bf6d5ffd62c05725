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
