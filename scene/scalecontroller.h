#pragma once

// The table scene's drawing scale per axis, in percent of the window: fixed,
// or following the frame time. Following, it steps down one step when the
// frames take longer than the budget and back up when they are well under
// it, judged on the median of a run of frames, so a single slow frame moves
// nothing. A step up is taken only when even a frame whose every part grew
// with the pixels would still fit, and only after several runs in a row
// agree: the scale settles instead of going back and forth.
class ScaleController {
public:
    static constexpr double kDefaultBudgetMs = 16.7;
    static constexpr int kFull = 100;
    static constexpr int kLowest = 50;
    static constexpr int kStep = 10;
    // Frames judged together; a step drops the frames drawn before it.
    static constexpr int kRunFrames = 15;
    // Runs in a row well under the budget before a step up.
    static constexpr int kRunsBeforeUp = 4;
    // Well under: a step up is predicted to stay below this part of the budget.
    static constexpr double kUpMargin = 0.8;
    // Longer frames are stalls (loading, the window being moved), not drawing.
    static constexpr double kStallMs = 250.0;

    explicit ScaleController(double budgetMs = kDefaultBudgetMs) : budgetMs(budgetMs) {}

    // Fixed at percent (clamped to kLowest..kFull) until follow().
    void fix(int percent);
    // Follows the frame time from the scale it has now.
    void follow();
    bool isFollowing() const { return following; }
    int getPercent() const { return percent; }
    double getBudgetMs() const { return budgetMs; }

    // One frame's time; true when the scale changed with it.
    bool addFrame(double frameMs);
    // The median of the run that made the last step.
    double getLastMedianMs() const { return lastMedianMs; }

private:
    void restartRun();

    double budgetMs;
    int percent = kFull;
    bool following = false;
    double run[kRunFrames] = {};
    int runLength = 0;
    int runsUnder = 0;
    double lastMedianMs = 0.0;
};
