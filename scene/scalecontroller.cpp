#include "scene/scalecontroller.h"

#include <algorithm>

void ScaleController::fix(int newPercent) {
    percent = std::clamp(newPercent, kLowest, kFull);
    following = false;
    restartRun();
}

void ScaleController::follow() {
    following = true;
    restartRun();
}

void ScaleController::restartRun() {
    runLength = 0;
    runsUnder = 0;
}

bool ScaleController::addFrame(double frameMs) {
    if (!following || !(frameMs > 0.0) || frameMs > kStallMs) {
        return false;
    }
    run[runLength++] = frameMs;
    if (runLength < kRunFrames) {
        return false;
    }
    runLength = 0;
    std::nth_element(run, run + kRunFrames / 2, run + kRunFrames);
    const double median = run[kRunFrames / 2];
    if (median > budgetMs) {
        runsUnder = 0;
        if (percent <= kLowest) {
            return false;
        }
        percent = std::max(percent - kStep, kLowest);
        lastMedianMs = median;
        return true;
    }
    if (percent >= kFull) {
        return false;
    }
    // As if the whole frame grew with the picture's pixels.
    const int up = std::min(percent + kStep, kFull);
    const double growth = static_cast<double>(up) * up / (static_cast<double>(percent) * percent);
    if (median * growth > budgetMs * kUpMargin) {
        runsUnder = 0;
        return false;
    }
    if (++runsUnder < kRunsBeforeUp) {
        return false;
    }
    runsUnder = 0;
    percent = up;
    lastMedianMs = median;
    return true;
}
