#include "game/expertplayer.h"

namespace {
// Left of the thinking time for stopping, joining and queueing the move.
constexpr double kStopMarginSeconds = 0.02;
} // namespace

ExpertPlayer::ExpertPlayer() = default;

ExpertPlayer::~ExpertPlayer() {
    cancel();
}

ExpertSearch::Limits ExpertPlayer::thinkingLimits() {
    ExpertSearch::Limits limits;
    limits.seconds = kThinkingSeconds - kStopMarginSeconds;
    return limits;
}

void ExpertPlayer::start(const CompactPosition& position, const ExpertSearch::Limits& limits) {
    cancel();
    stop.store(false);
    finished.store(false);
    worker = std::thread([this, position, limits] {
        if (!search) {
            search = std::make_unique<ExpertSearch>();
        }
        result = search->run(position, limits, &stop);
        finished.store(true, std::memory_order_release);
    });
}

void ExpertPlayer::cancel() {
    if (!worker.joinable()) {
        return;
    }
    stop.store(true);
    worker.join();
}

std::optional<ExpertSearch::Result> ExpertPlayer::takeResult() {
    if (!worker.joinable() || !finished.load(std::memory_order_acquire)) {
        return std::nullopt;
    }
    worker.join();
    return result;
}
