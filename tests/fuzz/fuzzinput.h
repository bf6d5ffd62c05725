#pragma once

#include "base/log.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// The readers under test take file names, so each fuzz input is written to a
// scratch directory that lives as long as the fuzzing process.
class FuzzInput {
public:
    FuzzInput() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/sporrik-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        directory = pattern;
        // Every input logs its faults; printing them would slow fuzzing to a crawl.
        Log::setReportChannel([](int, const std::string&) {});
    }
    FuzzInput(const FuzzInput&) = delete;
    FuzzInput& operator=(const FuzzInput&) = delete;

    std::string path(const std::string& name) const { return directory + "/" + name; }

    // Writes the bytes to the named file in the scratch directory and returns its path.
    std::string write(const std::string& name, const uint8_t* data, size_t size) const {
        const std::string file = path(name);
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
            std::perror(file.c_str());
            std::abort();
        }
        return file;
    }
    std::string write(const std::string& name, const std::string& text) const {
        return write(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }

private:
    std::string directory;
};
