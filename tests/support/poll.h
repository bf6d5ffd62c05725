#pragma once

#include <chrono>
#include <thread>

// Polls until done() holds, for at most ten seconds: threads of the game (the
// expert's search, the audio output) keep no pace a test could count on, so
// only one that never gets there runs out.
template <class Condition>
bool poll(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}
