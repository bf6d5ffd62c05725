#pragma once

#include "core/system.h"

// Replaces System's clock while it lives; time moves only when told.
class FakeClock {
public:
    FakeClock() {
        System::instance()->setTimeSource([this] { return now; });
    }
    ~FakeClock() { System::instance()->setTimeSource(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance(double seconds) { now += seconds; }

private:
    double now = 0.0;
};
