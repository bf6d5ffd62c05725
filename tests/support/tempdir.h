#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

// A fresh directory under the system's temporary directory, removed with its
// contents at the end of the test.
class TempDir {
public:
    TempDir() : directory((std::filesystem::temp_directory_path() / "sporrik-test-XXXXXX").string()) {
        if (mkdtemp(directory.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary directory");
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return directory; }
    std::string file(const std::string& name) const { return directory + "/" + name; }
    std::filesystem::path operator/(const std::string& name) const {
        return std::filesystem::path(directory) / name;
    }

private:
    std::string directory;
};
