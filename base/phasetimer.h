#pragma once

#include <functional>

// The parts of a frame a profile tells apart. Other is whatever lies between
// the named phases (the table, the basin, the markers, state changes).
enum class FramePhase {
    FluidStep,
    Refraction,
    Reflection,
    Sky,
    WaterSurface,
    Figures,
    Particles,
    Overlay,
    ScaleUp,
    MenusAndDisplay,
    Other,
    Count
};

// A hook that tells a profiler where each phase of a frame ends. Without a
// hook (the game) a mark is one test of an empty function object; a profiler
// sets one that waits for the renderer and charges the time since the
// previous mark to the phase named.
class PhaseTimer {
public:
    using Hook = std::function<void(FramePhase)>;

    static void setHook(Hook hook);
    static bool isOn() { return static_cast<bool>(hook()); }
    // The time since the previous mark belongs to phase.
    static void mark(FramePhase phase) {
        if (isOn()) {
            hook()(phase);
        }
    }
    static const char* name(FramePhase phase);

private:
    static Hook& hook();
};

// Charges what ran before it to Other and its own lifetime to phase.
class PhaseScope {
public:
    explicit PhaseScope(FramePhase phase) : phase(phase) { PhaseTimer::mark(FramePhase::Other); }
    ~PhaseScope() { PhaseTimer::mark(phase); }
    PhaseScope(const PhaseScope&) = delete;
    PhaseScope& operator=(const PhaseScope&) = delete;

private:
    FramePhase phase;
};
