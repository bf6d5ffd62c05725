#pragma once

#include <cstdint>
#include <string>

// PCG32: our own seeded generator, so that every run and every machine draws
// the same numbers (the C library's rand() differs between platforms).
class Random {
public:
    explicit Random(uint64_t seed) {
        next();
        state += seed;
        next();
    }

    // A generator per asset family keeps each family's output independent of
    // the order in which the families are made.
    explicit Random(const std::string& name) : Random(hashName(name)) {}

    uint32_t next() {
        uint64_t old = state;
        state = old * kMultiplier + kIncrement;
        uint32_t shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        uint32_t rotation = static_cast<uint32_t>(old >> 59u);
        return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
    }

    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
    float range(float low, float high) { return low + (high - low) * uniform(); }
    // Uniform in [0, n) for n > 0.
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    static constexpr uint64_t kMultiplier = 6364136223846793005ull;
    static constexpr uint64_t kIncrement = 1442695040888963407ull;

    static uint64_t hashName(const std::string& name) {
        uint64_t h = 14695981039346656037ull;
        for (unsigned char c : name) {
            h = (h ^ c) * 1099511628211ull;
        }
        return h;
    }

    uint64_t state = 0;
};
