#pragma once

#include <cstddef>
#include <functional>

// Runs job(0) .. job(count - 1) on up to `threads` threads (the caller's
// among them), each index exactly once. The first exception a job throws is
// rethrown after every thread has finished.
void runInParallel(size_t count, int threads, const std::function<void(size_t)>& job);
