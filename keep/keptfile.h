#pragma once

#include <cstddef>
#include <string>

// The files the game keeps between runs: where they live, written whole or
// not at all, read with a size limit, and set aside when they are refused.
// Failures are logged as warnings and never thrown: the game goes on.
namespace KeptFile {

// <$variable or ~/fallback>/sporrik, from the values of the XDG variable and
// of HOME (either may be null); empty when neither gives an absolute path.
std::string folder(const char* xdgValue, const char* home, const char* fallback);

struct Contents {
    enum class Status { Missing, Read, Refused };
    Status status = Status::Missing;
    std::string text;
    std::string reason; // why it was refused
};
// The whole file, or Refused when it is larger than maxSize, not a regular
// file or cannot be read; the size is checked before anything is read.
Contents read(const std::string& path, std::size_t maxSize);

// Replaces the file by text through a temporary file in the same folder
// (made if missing), flushed to the disk and renamed over it; on failure the
// old file stays as it was, and the warning says why.
bool write(const std::string& path, const std::string& text);

// Warns that the file is refused and why, and moves it to <path>.bad.
void refuse(const std::string& path, const std::string& reason);

// Removes the file if it is there; a failure is logged.
void remove(const std::string& path);

} // namespace KeptFile
