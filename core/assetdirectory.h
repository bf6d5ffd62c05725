#pragma once

#include <string>
#include <vector>

// Where the game looks for its assets when the command line names no folder
// (path=): the "assets" folder next to the executable (a build tree), the
// installed data folder (share/sporrik beside the executable's bin), and
// last the current directory, which is the empty string (names stay as they
// are).
class AssetDirectory {
public:
    // dataFromBin: the installed data folder relative to the executable's folder.
    static std::vector<std::string> candidates(const std::string& executableDirectory,
                                               const std::string& dataFromBin);
    // The first candidate that is an existing folder; the last one otherwise.
    static std::string choose(const std::vector<std::string>& candidates);
    // The folder of the running executable; empty when it cannot be read.
    static std::string executableDirectory();
    // The log line after a failed start: where the game looked and how to
    // name another folder. searched: the candidates, or the path= folder alone.
    static std::string whereLooked(const std::vector<std::string>& searched, bool fromArgument);
};
