#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Fills a buffer with bytes from the operating system's random source
// (getrandom). Join codes and seat tokens come from here.
class RandomBytes {
public:
    using Source = std::function<void(uint8_t* out, size_t size)>;

    // Throws IllegalStateException when the kernel gives no random bytes
    // (never on a kernel since 3.17 once the pool is ready).
    static void fill(uint8_t* out, size_t size);
};
