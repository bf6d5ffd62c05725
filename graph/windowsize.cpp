#include "graph/windowsize.h"

namespace {
int gWidth = WindowSize::kDefaultWidth;
int gHeight = WindowSize::kDefaultHeight;
} // namespace

void WindowSize::set(int width, int height) {
    gWidth = width;
    gHeight = height;
}

int WindowSize::getWidth() {
    return gWidth;
}

int WindowSize::getHeight() {
    return gHeight;
}
