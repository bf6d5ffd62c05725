#include "graph/framepace.h"

namespace {
double wait = 0.0;
} // namespace

void FramePace::setWait(double seconds) {
    wait = seconds;
}

double FramePace::getWait() {
    return wait;
}
