#include "base/tools.h"

#include "base/log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace {
const char* const kSource = "global";
}

int log2(int n) {
    if (n <= 0) {
        log(DEBUG, kSource, "log2(), passed argument <= 0");
        return 0;
    }
    int result = 0;
    while (n > 1) {
        n >>= 1;
        ++result;
    }
    return result;
}

void padString(char* dst, const char* src, int width, char fill) {
    const int length = static_cast<int>(std::strlen(src));
    std::memcpy(dst, src, length + 1);
    if (length < width) {
        std::memset(dst + length, fill, width - length);
        dst[width] = '\0';
    }
}

std::string toString(int value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

bool contains(const std::string& text, const std::string& part) {
    if (text.empty() || part.empty()) {
        return false;
    }
    return text.find(part) != std::string::npos;
}

bool statFile(const char* path, struct stat* out) {
    const int descriptor = open(path, O_RDONLY);
    if (descriptor < 0) {
        return false;
    }
    const bool ok = fstat(descriptor, out) == 0;
    if (!ok) {
        std::fputs("An fstat error occurred.\n", stderr);
    }
    close(descriptor);
    return ok;
}

std::unique_ptr<char[]> readFile(const char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    struct stat info {};
    if (!statFile(path, &info)) {
        log(ERROR, kSource, std::string("Cannot open \"") + path + "\" for stat read!");
        return nullptr;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    auto block = std::make_unique<char[]>(size + 1);
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        std::fprintf(stderr, "Cannot open \"%s\" for read!\n", path);
        return nullptr;
    }
    const size_t read = std::fread(block.get(), 1, size, file);
    block[read] = '\0';
    std::fclose(file);
    return block;
}

std::string className(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return std::string("class ") + (status == 0 && demangled ? demangled.get() : type.name());
}

namespace {
std::string& assetDirectory() {
    static std::string directory;
    return directory;
}
} // namespace

void setAssetDirectory(const std::string& directory) {
    assetDirectory() = directory;
}

const std::string& getAssetDirectory() {
    return assetDirectory();
}

std::string resolvePath(const std::string& fileName) {
    const std::string& directory = assetDirectory();
    if (directory.empty()) {
        return fileName;
    }
    return directory + "/" + fileName;
}
