#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The window and OpenGL context shared by all drawing tests of one process.
namespace GlTest {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Opens the window once; later calls do nothing.
void ensureContext();

// RGBA bytes of the back buffer, bottom row first.
std::vector<uint8_t> readPixels(int x, int y, int width, int height);

// Writes RGBA bytes (bottom row first) as a PNG, for looking at a failure.
void savePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height);
} // namespace GlTest
