#include "enginematch.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <random>
#include <thread>
#include <unordered_map>
#include <utility>

namespace {

// A position seen this often ends the game as a draw: both searches are
// deterministic enough to go round the same circle to the move limit.
constexpr int kRepetitionsForDraw = 3;

// CPU time of the calling thread: on a machine shared with other work the
// wall clock overstates what the search had.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

CompactPosition startPosition() {
    CompactPosition position;
    position.setField(0, 0, 1);
    position.setField(CompactPosition::kSide - 1, CompactPosition::kSide - 1, 2);
    return position;
}

} // namespace

struct EngineMatch::Game {
    // 1 the tested side won, 0 drawn, -1 lost.
    int score = 0;
    bool repeated = false;
    long moves = 0;
    SideFigures tested;
    SideFigures reference;
    std::vector<Sample> samples;
};

void EngineMatch::SideFigures::add(const SideFigures& other) {
    searches += other.searches;
    depths += other.depths;
    nodes += other.nodes;
    seconds += other.seconds;
    cpuSeconds += other.cpuSeconds;
    longest = std::max(longest, other.longest);
}

void EngineMatch::Outcome::add(Outcome&& other) {
    wins += other.wins;
    draws += other.draws;
    losses += other.losses;
    repetitions += other.repetitions;
    moves += other.moves;
    tested.add(other.tested);
    reference.add(other.reference);
    samples.insert(samples.end(), other.samples.begin(), other.samples.end());
}

EngineMatch::EngineMatch(const ExpertSearch::Settings& tested, const ExpertSearch::Settings& reference)
    : testedSettings(tested), referenceSettings(reference) {}

EngineMatch::Game EngineMatch::playGame(long index, const Options& options, ExpertSearch& tested,
                                        ExpertSearch& reference) const {
    const auto openingSeed = static_cast<unsigned>(options.pairedOpenings ? index / 2 : index);
    const int testedSide = index % 2 == 0 ? 1 : 2;
    std::mt19937 random(openingSeed);
    CompactPosition position = startPosition();
    const int openingMoves =
        kMinOpeningMoves + static_cast<int>(random() % (kMaxOpeningMoves - kMinOpeningMoves + 1));
    CompactMove moves[CompactPosition::kMaxMoves];
    for (int i = 0; i < openingMoves && position.winner() == 0; ++i) {
        const int n = position.generateMoves(moves);
        position.play(moves[random() % static_cast<unsigned>(n)]);
    }

    tested.clear();
    reference.clear();
    Game game;
    std::unordered_map<uint64_t, int> seen;
    while (position.winner() == 0 && game.moves < kMaxMoves) {
        if (++seen[position.key()] == kRepetitionsForDraw) {
            game.repeated = true;
            break;
        }
        if (options.keepPositions) {
            game.samples.push_back({position, 0.0f, index});
        }
        const bool testedMoves = position.toMove() == testedSide;
        SideFigures& figures = testedMoves ? game.tested : game.reference;
        const double cpuStart = threadSeconds();
        const ExpertSearch::Result r = (testedMoves ? tested : reference).run(position, options.limits);
        figures.cpuSeconds += threadSeconds() - cpuStart;
        figures.seconds += r.seconds;
        figures.longest = std::max(figures.longest, r.seconds);
        figures.nodes += r.nodes;
        figures.depths += r.depth;
        ++figures.searches;
        position.play(r.move);
        ++game.moves;
    }
    const int winner = game.repeated ? 0 : position.winner();
    game.score = winner == 0 ? 0 : winner == testedSide ? 1 : -1;
    for (Sample& sample : game.samples) {
        sample.result = winner == 0 ? 0.5f : winner == sample.position.toMove() ? 1.0f : 0.0f;
    }
    return game;
}

EngineMatch::Outcome EngineMatch::play(const Options& options, void (*progress)(long, long)) const {
    std::vector<Game> games(static_cast<size_t>(std::max(options.games, 0L)));
    std::atomic<long> next{0};
    std::atomic<long> ended{0};
    const auto worker = [&] {
        ExpertSearch tested(ExpertSearch::kDefaultTableBits, testedSettings);
        ExpertSearch reference(ExpertSearch::kDefaultTableBits, referenceSettings);
        for (long index = next++; index < options.games; index = next++) {
            games[static_cast<size_t>(index)] = playGame(index, options, tested, reference);
            const long done = ++ended;
            if (progress != nullptr) {
                progress(done, options.games);
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 1; i < options.threads; ++i) {
        threads.emplace_back(worker);
    }
    worker();
    for (std::thread& thread : threads) {
        thread.join();
    }

    Outcome outcome;
    for (Game& game : games) {
        Outcome one;
        one.wins = game.score > 0 ? 1 : 0;
        one.draws = game.score == 0 ? 1 : 0;
        one.losses = game.score < 0 ? 1 : 0;
        one.repetitions = game.repeated ? 1 : 0;
        one.moves = game.moves;
        one.tested = game.tested;
        one.reference = game.reference;
        one.samples = std::move(game.samples);
        outcome.add(std::move(one));
    }
    return outcome;
}
