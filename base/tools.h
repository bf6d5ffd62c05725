#pragma once

#include <memory>
#include <string>
#include <sys/stat.h>
#include <typeinfo>

// Floor of the base-2 logarithm of a positive n; 0 (with a DEBUG line) otherwise.
int log2(int n);

// Copies src into dst and widens it with fill up to width characters.
// dst must hold max(strlen(src), width) + 1 bytes.
void padString(char* dst, const char* src, int width, char fill);

std::string toString(int value);

// False when either string is empty, otherwise whether part occurs in text.
bool contains(const std::string& text, const std::string& part);

bool statFile(const char* path, struct stat* out);

// The whole file with a terminating zero byte, or null when it cannot be read.
std::unique_ptr<char[]> readFile(const char* path);

// A run-time type name in the form "class Image2D": unique per class and
// stable for the run; it keys the resource registry and appears in messages.
std::string className(const std::type_info& type);

// The path under which an asset file is opened: below the asset directory
// when one is set, otherwise the name itself.
std::string resolvePath(const std::string& fileName);

// The directory resolvePath opens assets below; empty for none. The
// application sets it from its command line (path=<directory>).
void setAssetDirectory(const std::string& directory);
const std::string& getAssetDirectory();
