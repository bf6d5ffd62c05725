#pragma once

#include <filesystem>
#include <string>

// A fresh directory under the system's temporary directory, removed with its
// contents at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
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
