#include "base/phasetimer.h"

#include <utility>

namespace {
const char* const kPhaseNames[] = {
    "fluid step", "refraction pass", "reflection pass",   "sky",  "water surface", "figures", "particles",
    "overlay",    "scale up",        "menus and display", "other"};
static_assert(sizeof kPhaseNames / sizeof kPhaseNames[0] == static_cast<int>(FramePhase::Count));
} // namespace

PhaseTimer::Hook& PhaseTimer::hook() {
    static Hook installed;
    return installed;
}

void PhaseTimer::setHook(Hook newHook) {
    hook() = std::move(newHook);
}

const char* PhaseTimer::name(FramePhase phase) {
    const int index = static_cast<int>(phase);
    return index >= 0 && index < static_cast<int>(FramePhase::Count) ? kPhaseNames[index] : "unknown";
}
