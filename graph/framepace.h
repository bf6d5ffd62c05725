#pragma once

// How long the frame being drawn waited for the frame cap before it began.
// A frame's time less its wait is what drawing it took, which is what the
// scene's dynamic resolution must judge. The application sets it each frame.
class FramePace {
public:
    static void setWait(double seconds);
    static double getWait();
};
