#pragma once

#include <cstdint>
#include <vector>

// The window and OpenGL context shared by all drawing tests of one process.
namespace GlTest {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Opens the window once; later calls do nothing.
void ensureContext();

// RGBA bytes of the back buffer, bottom row first.
std::vector<uint8_t> readPixels(int x, int y, int width, int height);
} // namespace GlTest
