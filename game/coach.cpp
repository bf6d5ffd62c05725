#include "game/coach.h"

#include <cmath>

namespace {

// Scores this close to a win are wins found within the search's depth.
constexpr int kSureWin = ExpertSearch::kWinScore - ExpertSearch::kMaxDepth - 1;

std::string figures(int n) {
    return std::to_string(n) + (n == 1 ? " figure" : " figures");
}

} // namespace

Coach::Tip Coach::tipFor(const CompactPosition& position, const ExpertSearch::Result& result) {
    Tip tip;
    tip.score = result.score;
    tip.depth = result.depth;
    const CompactMove best = result.move;
    if (best.isNone() || !position.isLegal(best)) {
        return tip;
    }
    const int player = position.toMove();
    const int toX = CompactPosition::fieldX(best.to);
    const int toY = CompactPosition::fieldY(best.to);
    int fromX = CompactPosition::fieldX(best.from);
    int fromY = CompactPosition::fieldY(best.from);
    if (best.isSplit()) {
        bool found = false;
        for (int y = toY - 1; y <= toY + 1 && !found; ++y) {
            for (int x = toX - 1; x <= toX + 1 && !found; ++x) {
                found = position.getField(x, y) == player;
                if (found) {
                    fromX = x;
                    fromY = y;
                }
            }
        }
    }
    tip.move = {fromX, fromY, toX, toY, best.isSplit() ? MoveSplit : MoveJump};
    const int opponent = GameBoard::kPlayer1 + GameBoard::kPlayer2 - player;
    for (int y = toY - 1; y <= toY + 1; ++y) {
        for (int x = toX - 1; x <= toX + 1; ++x) {
            if (position.getField(x, y) == opponent) {
                tip.won.push_back({x, y});
            }
        }
    }
    return tip;
}

std::string Coach::judgement(const Tip& tip, int player) {
    const std::string depth = " at depth " + std::to_string(tip.depth);
    const std::string who = "Player " + std::to_string(player);
    if (tip.score >= kSureWin) {
        return who + " wins" + depth;
    }
    if (tip.score <= -kSureWin) {
        return who + " loses" + depth;
    }
    // The search's scores count figures in hundredths; what the fitted
    // evaluation adds for the figures' places is no figure of its own.
    const int n = static_cast<int>(std::lround(static_cast<double>(tip.score) / ExpertSearch::kFigureScore));
    if (n == 0) {
        return "Even" + depth;
    }
    return who + (n > 0 ? " is ahead by " : " is behind by ") + figures(std::abs(n)) + depth;
}

void Coach::ask(const CompactPosition& position, const ExpertSearch::Limits& limits) {
    asked = position;
    expert.start(position, limits);
}

void Coach::cancel() {
    expert.cancel();
}

std::optional<Coach::Tip> Coach::takeTip() {
    const std::optional<ExpertSearch::Result> result = expert.takeResult();
    if (!result) {
        return std::nullopt;
    }
    return tipFor(asked, *result);
}
