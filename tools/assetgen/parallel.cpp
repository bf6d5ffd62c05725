#include "tools/assetgen/parallel.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

void runInParallel(size_t count, int threads, const std::function<void(size_t)>& job) {
    std::atomic<size_t> next{0};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto worker = [&] {
        for (size_t i = next++; i < count; i = next++) {
            try {
                job(i);
            } catch (...) {
                std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) {
                    failure = std::current_exception();
                }
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        pool.emplace_back(worker);
    }
    worker();
    for (auto& t : pool) {
        t.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}
