#pragma once

#include "game/compactposition.h"
#include "game/expertsearch.h"

#include <cstdint>
#include <vector>

// Games between two settings of the expert's search, the tested and the
// reference, at the same limits per move, each from an opening of a few
// random moves; several games at a time, one thread each, every thread with
// its own pair of searches. A game ends by the rules, or as a draw when a
// position comes round the third time or after kMaxMoves moves.
class EngineMatch {
public:
    static constexpr int kMaxMoves = 1000;
    // Random moves that open a game, both players' together.
    static constexpr int kMinOpeningMoves = 2;
    static constexpr int kMaxOpeningMoves = 4;

    struct Options {
        long games = 0;
        ExpertSearch::Limits limits;
        int threads = 1;
        // Games 2k and 2k + 1 open alike with the sides swapped; otherwise
        // every game has an opening of its own.
        bool pairedOpenings = true;
        // Keeps every position after the opening with the game's result.
        bool keepPositions = false;
    };
    // What one side's searches did.
    struct SideFigures {
        long searches = 0;
        long depths = 0;
        uint64_t nodes = 0;
        double seconds = 0.0;
        double cpuSeconds = 0.0;
        double longest = 0.0;
        void add(const SideFigures& other);
    };
    // A position and how the game went on for its player to move: 1 won,
    // 0.5 drawn, 0 lost.
    struct Sample {
        CompactPosition position;
        float result = 0.0f;
        long game = 0;
    };
    // Wins, draws and losses of the tested side.
    struct Outcome {
        long wins = 0;
        long draws = 0;
        long losses = 0;
        long repetitions = 0;
        long moves = 0;
        SideFigures tested;
        SideFigures reference;
        // In game order.
        std::vector<Sample> samples;
        void add(Outcome&& other);
    };

    EngineMatch(const ExpertSearch::Settings& tested, const ExpertSearch::Settings& reference);

    // progress (may be null) is told after each game how many have ended.
    Outcome play(const Options& options, void (*progress)(long ended, long games) = nullptr) const;

private:
    struct Game;
    Game playGame(long index, const Options& options, ExpertSearch& tested, ExpertSearch& reference) const;

    ExpertSearch::Settings testedSettings;
    ExpertSearch::Settings referenceSettings;
};
