#include "support/testpaths.h"

#include <cstdlib>
#include <stdexcept>

namespace {
std::string fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        throw std::runtime_error(std::string(name) + " is not set; run the tests through ctest");
    }
    return value;
}
} // namespace

std::string assetDir() {
    return fromEnvironment("SPORRIK_ASSETS");
}

std::string testDataDir() {
    const char* value = std::getenv("SPORRIK_TEST_DATA");
    return value != nullptr ? value : SPORRIK_TEST_DATA_DIR;
}
