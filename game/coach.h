#pragma once

#include "game/compactposition.h"
#include "game/expertplayer.h"
#include "game/expertsearch.h"
#include "game/gameboard.h"
#include "game/move.h"

#include <optional>
#include <string>
#include <vector>

// The expert asked for a tip: the move it would play in a position, the
// figures that move would win and how it judges the position. It thinks on
// a worker thread of its own, as the expert does for its own moves, so the
// scene goes on running meanwhile.
class Coach {
public:
    struct Tip {
        // A split or jump of the player to move; type 0 when they have none.
        Move move;
        // The opposing figures around the landing field.
        std::vector<GameBoard::Position> won;
        // From the view of the player to move, in the search's units.
        int score = 0;
        int depth = 0;
    };

    // The tip of a finished search of position. A split starts from the
    // first neighbouring own figure in row-major order, as the computer's do.
    static Tip tipFor(const CompactPosition& position, const ExpertSearch::Result& result);
    // How the expert judges the position where player is to move: "Player
    // 1 is ahead by 3 figures at depth 6", "Even at depth 4", "Player 2
    // wins at depth 5".
    static std::string judgement(const Tip& tip, int player);

    // Starts thinking about position for its player to move; a search still
    // running is dropped.
    void ask(const CompactPosition& position,
             const ExpertSearch::Limits& limits = ExpertPlayer::thinkingLimits());
    // Stops thinking; the tip of that search never arrives.
    void cancel();
    bool isThinking() const { return expert.isThinking(); }
    // The finished search's tip, once; empty while it still thinks.
    std::optional<Tip> takeTip();

private:
    ExpertPlayer expert;
    CompactPosition asked;
};
