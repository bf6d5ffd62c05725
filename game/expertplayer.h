#pragma once

#include "game/compactposition.h"
#include "game/expertsearch.h"

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

// Runs the expert's search on a worker thread so that the frame never waits
// for it. One search at a time; starting another or cancelling drops the old
// result, and the destructor stops and joins the thread.
class ExpertPlayer {
public:
    // From the start of a turn to the move being ready.
    static constexpr double kThinkingSeconds = 0.5;

    ExpertPlayer();
    ~ExpertPlayer();
    ExpertPlayer(const ExpertPlayer&) = delete;
    ExpertPlayer& operator=(const ExpertPlayer&) = delete;

    // Starts thinking about position for its player to move.
    void start(const CompactPosition& position, const ExpertSearch::Limits& limits = thinkingLimits());
    // Stops the search and drops its result. Waits only for the search to
    // notice the stop flag, which it reads every thousand or so positions.
    void cancel();
    // A search has been started and its result not yet taken or dropped.
    bool isThinking() const { return worker.joinable(); }
    // The finished search's result, once; empty while it still runs.
    std::optional<ExpertSearch::Result> takeResult();

    static ExpertSearch::Limits thinkingLimits();

private:
    // Built on the worker at its first search, so the table's allocation
    // never costs the frame; only the worker touches it while one runs.
    std::unique_ptr<ExpertSearch> search;
    std::thread worker;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    // Written by the worker before it sets finished.
    ExpertSearch::Result result;
};
