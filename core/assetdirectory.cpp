#include "core/assetdirectory.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::vector<std::string> AssetDirectory::candidates(const std::string& executableDirectory,
                                                    const std::string& dataFromBin) {
    std::vector<std::string> result;
    if (!executableDirectory.empty()) {
        const fs::path here(executableDirectory);
        result.push_back((here / "assets").lexically_normal().string());
        result.push_back((here / dataFromBin).lexically_normal().string());
    }
    result.push_back("");
    return result;
}

std::string AssetDirectory::choose(const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (!candidate.empty() && fs::is_directory(candidate, error)) {
            return candidate;
        }
    }
    return candidates.empty() ? std::string() : candidates.back();
}

std::string AssetDirectory::executableDirectory() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string AssetDirectory::whereLooked(const std::vector<std::string>& searched, bool fromArgument) {
    std::string places;
    for (size_t i = 0; i < searched.size(); ++i) {
        if (i > 0) {
            places += ", then ";
        }
        if (searched[i].empty()) {
            std::error_code error;
            places += "the current directory \"" + fs::current_path(error).string() + "\"";
        } else {
            places += "\"" + searched[i] + "\"";
        }
    }
    return "looked for the assets in " + places + (fromArgument ? " (named by path=)" : "") +
           "; path=<directory> names another folder";
}
