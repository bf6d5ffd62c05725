#pragma once

// The window size in pixels, against which nodes convert pixel sizes to
// screen units. The application reports every change of the window; until
// then it is the default window size.
class WindowSize {
public:
    static constexpr int kDefaultWidth = 1024;
    static constexpr int kDefaultHeight = 768;

    static void set(int width, int height);
    static int getWidth();
    static int getHeight();
};
