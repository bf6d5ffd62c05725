// sporrik_rulesbench [games]: plays that many computer-against-computer games
// at each level, drained the way the table scene drains the move queue, and
// prints the wins per side, the average game length and the speed.
//
// sporrik_rulesbench match [games [budget]]: the expert level against the hard
// and the easy level, half the games with the expert as player 1, each
// opening of a few random moves played from both sides; budget is the
// expert's per-move limit, "<n>ms" or "<n>nodes". Prints wins, draws
// (unfinished games), losses and the search speed.
//
// sporrik_rulesbench match new-vs-old [games [budget]] [threads=<n>]
// [with=<parts>] [without=<parts>] [versus-without=<parts>]: the expert's
// search as it plays now against the search as it played before late-move
// reductions, aspiration windows, the fitted evaluation, the flexible clock
// and the quick ordering (ExpertSearch::Settings::baseline), at the same
// budget per move; alternating sides, each opening played from both sides,
// several games at a time. with= and without= switch parts of the tested
// side on and off (lmr, aspiration, fitted, clock, quick, comma-separated);
// versus-without= plays against the new search without those parts instead
// of the old one, to measure what each part brings. Prints the tested
// side's wins, draws and losses, its score with a 95 % interval, and both
// sides' depth, speed and time per move.
//
// sporrik_rulesbench frames [seconds]: two expert players on the board, driven
// the way the table scene drives it at 60 frames a second; prints how long the
// board's calls in one frame take while the experts think, and how long a new
// game takes that drops a search under way.

#include "enginematch.h"
#include "evalfit.h"
#include "game/compactposition.h"
#include "game/expertplayer.h"
#include "game/expertsearch.h"
#include "game/gameboard.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr long kDefaultGames = 1000;
constexpr long kMaxGames = 10000000;
// Jumps keep the figure count, so a game is not bound to end; one that
// reaches this many moves counts as unfinished.
constexpr long kMaxMovesPerGame = 1000;

struct LevelResult {
    long wins[3] = {0, 0, 0};
    long moves = 0;
    double seconds = 0.0;
};

LevelResult playLevel(int level, long games) {
    LevelResult result;
    GameBoard board;
    board.setDifficulty(level);
    const auto start = std::chrono::steady_clock::now();
    for (long game = 0; game < games; ++game) {
        board.newGame();
        long moves = 0;
        while (board.hasPendingMoves() && moves < kMaxMovesPerGame) {
            const int type = board.frontMove().type;
            if (type == MoveJump || type == MoveSplit) {
                ++moves;
            }
            board.popMove();
        }
        ++result.wins[board.winner()];
        result.moves += moves;
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

bool parseGames(const char* text, long* games) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > kMaxGames) {
        return false;
    }
    *games = value;
    return true;
}

constexpr long kDefaultMatchGames = 200;
constexpr double kDefaultMatchMilliseconds = 30.0;
// Random moves that open a match game, both players' together.
constexpr int kMinOpeningMoves = 2;
constexpr int kMaxOpeningMoves = 4;
constexpr int kRandomRange = 32768;
// The search speed is taken on its own, one thread, this long per position.
constexpr double kSpeedSeconds = 1.0;

// CPU time of the calling thread: on a machine shared with other work the
// wall clock understates what one core does.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Speed {
    double wall = 0.0;
    double cpu = 0.0;
};

struct MatchResult {
    long won = 0;
    long drawn = 0;
    long lost = 0;
    long moves = 0;
    long searches = 0;
    long depths = 0;
    uint64_t nodes = 0;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
};

void drain(GameBoard& board) {
    while (board.popMove()) {
    }
}

// One game from a random opening; the bench moves for both players, so the
// board's own turn passing never runs a computer player.
void playMatchGame(GameBoard& board, ExpertSearch& search, const ExpertSearch::Limits& limits, int level,
                   int expertSide, unsigned openingSeed, MatchResult& result) {
    std::mt19937 random(openingSeed);
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.setDifficulty(level);
    board.setRandomSource([&random] { return static_cast<int>(random() % kRandomRange); });
    board.newGame();
    drain(board);
    int player = GameBoard::kPlayer1;
    const int openingMoves =
        kMinOpeningMoves + static_cast<int>(random() % (kMaxOpeningMoves - kMinOpeningMoves + 1));
    CompactMove moves[CompactPosition::kMaxMoves];
    for (int i = 0; i < openingMoves && board.winner() == 0; ++i) {
        const int n = CompactPosition::fromBoard(board, player).generateMoves(moves);
        board.performCompactMove(moves[random() % static_cast<unsigned>(n)], player);
        drain(board);
        player = 3 - player;
    }
    search.clear();
    long moveCount = 0;
    for (; board.winner() == 0 && moveCount < kMaxMovesPerGame; ++moveCount) {
        if (player == expertSide) {
            const double cpuStart = threadSeconds();
            const ExpertSearch::Result r = search.run(CompactPosition::fromBoard(board, player), limits);
            result.cpuSeconds += threadSeconds() - cpuStart;
            board.performCompactMove(r.move, player);
            result.nodes += r.nodes;
            result.seconds += r.seconds;
            result.depths += r.depth;
            ++result.searches;
        } else {
            board.computerMove(player);
        }
        drain(board);
        player = 3 - player;
    }
    result.moves += moveCount;
    const int winner = board.winner();
    if (winner == 0) {
        ++result.drawn;
    } else if (winner == expertSide) {
        ++result.won;
    } else {
        ++result.lost;
    }
}

MatchResult playMatch(int level, long games, const ExpertSearch::Limits& limits) {
    MatchResult result;
    GameBoard board;
    ExpertSearch search;
    for (long game = 0; game < games; ++game) {
        // Games 2k and 2k + 1 share an opening, with the sides swapped.
        const int expertSide = game % 2 == 0 ? GameBoard::kPlayer1 : GameBoard::kPlayer2;
        playMatchGame(board, search, limits, level, expertSide, static_cast<unsigned>(game / 2), result);
    }
    return result;
}

// Positions per second of one thread searching a few positions of a game
// between hard players, by the wall clock and by the thread's CPU time.
Speed measureSpeed() {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    drain(board);
    ExpertSearch search;
    ExpertSearch::Limits limits;
    limits.seconds = kSpeedSeconds;
    uint64_t nodes = 0;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    int player = GameBoard::kPlayer1;
    for (const int movesBefore : {0, 10, 20}) {
        for (int i = 0; i < movesBefore && board.winner() == 0; ++i) {
            board.computerMove(player);
            drain(board);
            player = 3 - player;
        }
        search.clear();
        const double cpuStart = threadSeconds();
        const ExpertSearch::Result r = search.run(CompactPosition::fromBoard(board, player), limits);
        cpuSeconds += threadSeconds() - cpuStart;
        nodes += r.nodes;
        seconds += r.seconds;
    }
    const auto n = static_cast<double>(nodes);
    return {seconds > 0.0 ? n / seconds : 0.0, cpuSeconds > 0.0 ? n / cpuSeconds : 0.0};
}

bool parseBudget(const std::string& text, ExpertSearch::Limits* limits) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    const std::string unit = end;
    if (end == text.c_str() || value <= 0.0) {
        return false;
    }
    if (unit == "ms") {
        limits->seconds = value / 1000.0;
    } else if (unit == "nodes") {
        limits->nodes = static_cast<uint64_t>(value);
    } else {
        return false;
    }
    return true;
}

int runMatches(long games, const ExpertSearch::Limits& limits, const std::string& budget) {
    std::printf("expert against hard and easy: %ld games each, half with the expert as player 1,\n", games);
    std::printf("openings of %d to %d random moves played from both sides, at most %ld moves a game,\n",
                kMinOpeningMoves, kMaxOpeningMoves, kMaxMovesPerGame);
    std::printf("expert budget %s per move (the game gives it %.1f s)\n", budget.c_str(),
                ExpertPlayer::kThinkingSeconds);
    std::printf("%-9s %6s %6s %6s %8s %10s %10s %14s %14s\n", "opponent", "won", "drawn", "lost", "won %",
                "avg moves", "avg depth", "positions/s", "per CPU s");
    for (const int level : {GameBoard::kHard, GameBoard::kEasy}) {
        const MatchResult r = playMatch(level, games, limits);
        const double searches = r.searches > 0 ? static_cast<double>(r.searches) : 1.0;
        std::printf("%-9s %6ld %6ld %6ld %8.1f %10.1f %10.1f %14.0f %14.0f\n",
                    level == GameBoard::kEasy ? "easy" : "hard", r.won, r.drawn, r.lost,
                    100.0 * static_cast<double>(r.won) / static_cast<double>(games),
                    static_cast<double>(r.moves) / static_cast<double>(games),
                    static_cast<double>(r.depths) / searches,
                    r.seconds > 0.0 ? static_cast<double>(r.nodes) / r.seconds : 0.0,
                    r.cpuSeconds > 0.0 ? static_cast<double>(r.nodes) / r.cpuSeconds : 0.0);
        std::fflush(stdout);
    }
    const Speed speed = measureSpeed();
    std::printf(
        "search speed, one thread, %.0f s on each of 3 positions: %.0f positions/s, %.0f per CPU second\n",
        kSpeedSeconds, speed.wall, speed.cpu);
    return 0;
}

constexpr long kDefaultNewVsOldGames = 400;
constexpr const char* kDefaultNewVsOldBudget = "50ms";
constexpr int kDefaultThreads = 2;
constexpr int kMaxThreads = 64;
// The normal distribution's two-sided 95 % quantile.
constexpr double kInterval95 = 1.959964;
constexpr double kEloScale = 400.0;

std::string loadAverage() {
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    double one = 0.0;
    double five = 0.0;
    double fifteen = 0.0;
    const bool read = file != nullptr && std::fscanf(file, "%lf %lf %lf", &one, &five, &fifteen) == 3;
    if (file != nullptr) {
        std::fclose(file);
    }
    if (!read) {
        return "unknown";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", one, five, fifteen);
    return text;
}

// Switches the comma-separated parts of settings on or off; false on an
// unknown part.
bool switchParts(const std::string& parts, bool on, ExpertSearch::Settings* settings) {
    size_t begin = 0;
    while (begin <= parts.size()) {
        const size_t end = std::min(parts.find(',', begin), parts.size());
        const std::string part = parts.substr(begin, end - begin);
        if (part == "lmr") {
            settings->lateMoveReductions = on;
        } else if (part == "aspiration") {
            settings->aspirationWindows = on;
        } else if (part == "fitted") {
            settings->fittedEvaluation = on;
        } else if (part == "clock") {
            settings->flexibleClock = on;
        } else if (part == "quick") {
            settings->quickOrdering = on;
        } else {
            return false;
        }
        begin = end + 1;
    }
    return true;
}

void printSide(const char* name, const EngineMatch::SideFigures& side) {
    const double searches = side.searches > 0 ? static_cast<double>(side.searches) : 1.0;
    const auto nodes = static_cast<double>(side.nodes);
    std::printf("%-5s %10ld %10.2f %12.0f %14.0f %14.0f %12.1f %12.1f\n", name, side.searches,
                static_cast<double>(side.depths) / searches, nodes / searches,
                side.seconds > 0.0 ? nodes / side.seconds : 0.0,
                side.cpuSeconds > 0.0 ? nodes / side.cpuSeconds : 0.0, 1000.0 * side.seconds / searches,
                1000.0 * side.longest);
}

void printProgress(long ended, long games) {
    std::fprintf(stderr, "\r%ld of %ld games", ended, games);
    if (ended == games) {
        std::fprintf(stderr, "\n");
    }
}

int newVsOldMain(int argc, char** argv) {
    EngineMatch::Options options;
    options.games = kDefaultNewVsOldGames;
    options.threads = kDefaultThreads;
    std::string budget = kDefaultNewVsOldBudget;
    std::string with;
    std::string without;
    std::string versusWithout;
    ExpertSearch::Settings tested;
    ExpertSearch::Settings reference = ExpertSearch::Settings::baseline();
    bool valid = parseBudget(budget, &options.limits);
    int positional = 0;
    for (int i = 3; i < argc && valid; ++i) {
        const std::string word = argv[i];
        if (word.rfind("threads=", 0) == 0) {
            char* end = nullptr;
            const long threads = std::strtol(word.c_str() + 8, &end, 10);
            valid = *end == '\0' && end != word.c_str() + 8 && threads >= 1 && threads <= kMaxThreads;
            options.threads = static_cast<int>(threads);
        } else if (word.rfind("with=", 0) == 0) {
            with = word.substr(5);
            valid = switchParts(with, true, &tested);
        } else if (word.rfind("without=", 0) == 0) {
            without = word.substr(8);
            valid = switchParts(without, false, &tested);
        } else if (word.rfind("versus-without=", 0) == 0) {
            versusWithout = word.substr(15);
            reference = ExpertSearch::Settings();
            valid = switchParts(versusWithout, false, &reference);
        } else if (positional == 0) {
            valid = parseGames(argv[i], &options.games);
            ++positional;
        } else if (positional == 1) {
            options.limits = {};
            valid = parseBudget(budget = word, &options.limits);
            ++positional;
        } else {
            valid = false;
        }
    }
    if (!valid) {
        std::fprintf(stderr,
                     "usage: %s match new-vs-old [games [budget]] [threads=<n>] [with=<parts>]\n"
                     "  [without=<parts>] [versus-without=<parts>]\n"
                     "  budget <n>ms or <n>nodes (default %s), %ld games, %d threads by default;\n"
                     "  parts: lmr, aspiration, fitted, clock, quick, comma-separated\n",
                     argv[0], kDefaultNewVsOldBudget, kDefaultNewVsOldGames, kDefaultThreads);
        return 2;
    }

    const std::string versus =
        versusWithout.empty() ? "it before (\"old\")" : "itself without " + versusWithout + " (\"old\")";
    std::printf("the expert's search now (\"new\"%s%s%s%s) against %s: %ld games,\n",
                with.empty() ? "" : " with ", with.c_str(), without.empty() ? "" : " without ",
                without.c_str(), versus.c_str(), options.games);
    std::printf("%s per move, alternating sides, each opening of %d to %d random moves played from both\n",
                budget.c_str(), EngineMatch::kMinOpeningMoves, EngineMatch::kMaxOpeningMoves);
    std::printf("sides, %d at a time; a draw at the third repetition or after %d moves\n", options.threads,
                EngineMatch::kMaxMoves);
    const std::string loadBefore = loadAverage();
    const auto start = std::chrono::steady_clock::now();
    const EngineMatch match(tested, reference);
    const EngineMatch::Outcome o = match.play(options, printProgress);
    const double minutes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 60.0;

    const auto n = static_cast<double>(options.games);
    const double score = (static_cast<double>(o.wins) + 0.5 * static_cast<double>(o.draws)) / n;
    // Each game scores 1, 0.5 or 0: the interval is the normal one around
    // the mean of those scores.
    const double variance = (static_cast<double>(o.wins) * (1.0 - score) * (1.0 - score) +
                             static_cast<double>(o.draws) * (0.5 - score) * (0.5 - score) +
                             static_cast<double>(o.losses) * score * score) /
                            n;
    const double half = kInterval95 * std::sqrt(variance / n);
    const auto elo = [](double s) {
        return s <= 0.0 ? -INFINITY : s >= 1.0 ? INFINITY : -kEloScale * std::log10(1.0 / s - 1.0);
    };
    std::printf("%6s %6s %6s %6s %8s %17s %20s\n", "games", "wins", "draws", "losses", "score",
                "95 % interval", "Elo (interval)");
    std::printf("%6ld %6ld %6ld %6ld %7.1f%% %7.1f%% – %5.1f%% %6.0f (%.0f to %.0f)\n", options.games, o.wins,
                o.draws, o.losses, 100.0 * score, 100.0 * (score - half), 100.0 * (score + half), elo(score),
                elo(score - half), elo(score + half));
    std::printf("draws by repetition %ld, average game %.1f moves after the opening, %.1f minutes\n",
                o.repetitions, static_cast<double>(o.moves) / n, minutes);
    std::printf("%-5s %10s %10s %12s %14s %14s %12s %12s\n", "side", "searches", "avg depth", "avg nodes",
                "positions/s", "per CPU s", "avg ms", "longest ms");
    printSide("new", o.tested);
    printSide("old", o.reference);
    std::printf("load average before %s, after %s\n", loadBefore.c_str(), loadAverage().c_str());
    return 0;
}

constexpr long kDefaultTuneGames = 2000;
constexpr const char* kDefaultTuneBudget = "3000nodes";
constexpr int kHeldOutEvery = 5;

const char* const kFeatureNames[ExpertEvaluation::kFeatureCount] = {
    "Material", "Reach", "JumpReach", "Frontier", "Edge", "GainToMove", "GainAgainst", "Tempo"};

int tuneMain(int argc, char** argv) {
    EngineMatch::Options options;
    options.games = kDefaultTuneGames;
    options.threads = kDefaultThreads;
    options.pairedOpenings = false;
    options.keepPositions = true;
    std::string budget = kDefaultTuneBudget;
    bool valid = parseBudget(budget, &options.limits);
    int positional = 0;
    for (int i = 2; i < argc && valid; ++i) {
        const std::string word = argv[i];
        if (word.rfind("threads=", 0) == 0) {
            char* end = nullptr;
            const long threads = std::strtol(word.c_str() + 8, &end, 10);
            valid = *end == '\0' && end != word.c_str() + 8 && threads >= 1 && threads <= kMaxThreads;
            options.threads = static_cast<int>(threads);
        } else if (positional == 0) {
            valid = parseGames(argv[i], &options.games);
            ++positional;
        } else if (positional == 1) {
            options.limits = {};
            valid = parseBudget(budget = word, &options.limits);
            ++positional;
        } else {
            valid = false;
        }
    }
    if (!valid) {
        std::fprintf(stderr, "usage: %s tune [games [budget]] [threads=<n>]  (default %ld games, %s)\n",
                     argv[0], kDefaultTuneGames, kDefaultTuneBudget);
        return 2;
    }
    std::printf("fitting the evaluation to %ld self-play games of the expert at %s a move\n", options.games,
                budget.c_str());
    const ExpertSearch::Settings settings;
    const EngineMatch match(settings, settings);
    const EngineMatch::Outcome o = match.play(options, printProgress);
    const EvalFit::Fit fit = EvalFit::fit(o.samples, kHeldOutEvery);
    std::printf("%ld positions fitted, %ld held out (every %dth game); player 1 won %ld, drawn %ld\n",
                fit.trainingPositions, fit.heldOutPositions, kHeldOutEvery, o.wins, o.draws);
    std::printf("held-out log loss: fitted %.5f, weights in use %.5f, by hand %.5f\n", fit.heldOutLoss,
                fit.heldOutLossInUse, fit.heldOutLossByHand);
    std::printf("win probability = 1 / (1 + exp(-%.6f * evaluation))\n", fit.slope);
    for (int i = 0; i < ExpertEvaluation::kFeatureCount; ++i) {
        const ExpertEvaluation::Weight& w = fit.weights[static_cast<size_t>(i)];
        std::printf("    {%d, %d}, // %s\n", w.emptyBoard, w.fullBoard, kFeatureNames[i]);
    }
    return 0;
}

int matchMain(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[2], "new-vs-old") == 0) {
        return newVsOldMain(argc, argv);
    }
    long games = kDefaultMatchGames;
    ExpertSearch::Limits limits;
    limits.seconds = kDefaultMatchMilliseconds / 1000.0;
    std::string budget = "30ms";
    if (argc > 4 || (argc >= 3 && !parseGames(argv[2], &games)) ||
        (argc == 4 && !parseBudget(budget = argv[3], &limits))) {
        std::fprintf(stderr, "usage: %s match [games [budget]]  (budget <n>ms or <n>nodes, default %s)\n",
                     argv[0], "30ms");
        return 2;
    }
    return runMatches(games, limits, budget);
}

} // namespace

constexpr double kDefaultFrameSeconds = 10.0;
constexpr double kMaxFrameSeconds = 3600.0;
constexpr double kFrameSeconds = 1.0 / 60.0;
// The stand-in for the scene's animation: one queued record taken out this often.
constexpr double kSecondsPerRecord = 0.25;

int framesMain(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    double seconds = kDefaultFrameSeconds;
    if (argc > 3 ||
        (argc == 3 && ((seconds = std::strtod(argv[2], nullptr)) <= 0.0 || seconds > kMaxFrameSeconds))) {
        std::fprintf(stderr, "usage: %s frames [seconds]  (default %.0f)\n", argv[0], kDefaultFrameSeconds);
        return 2;
    }
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, false);
    board.setHuman(GameBoard::kPlayer2, false);
    board.setDifficulty(GameBoard::kExpert);
    board.newGame();
    const Clock::time_point start = Clock::now();
    Clock::time_point nextFrame = start;
    double sinceRecord = 0.0;
    long frames = 0;
    long records = 0;
    std::vector<double> thinking;
    while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
        const Clock::time_point before = Clock::now();
        sinceRecord += kFrameSeconds;
        // What the scene does in a frame without a running animation.
        if (sinceRecord >= kSecondsPerRecord && board.hasPendingMoves()) {
            board.frontMove();
            board.popMove();
            sinceRecord = 0.0;
            ++records;
        }
        board.winner();
        const double spent = std::chrono::duration<double>(Clock::now() - before).count();
        ++frames;
        if (board.isThinking()) {
            thinking.push_back(spent);
        }
        nextFrame +=
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kFrameSeconds));
        std::this_thread::sleep_until(nextFrame);
    }
    // Player 1 is an expert: the first new game starts a search, the second drops it.
    board.newGame();
    const Clock::time_point beforeNewGame = Clock::now();
    const bool wasThinking = board.isThinking();
    board.newGame();
    const double newGame = std::chrono::duration<double>(Clock::now() - beforeNewGame).count();
    std::sort(thinking.begin(), thinking.end());
    const auto percentile = [&thinking](double p) {
        return thinking.empty()
                   ? 0.0
                   : 1e6 * thinking[static_cast<size_t>(p * static_cast<double>(thinking.size() - 1))];
    };
    std::printf(
        "two experts for %.0f s at 60 frames/s: %ld frames, %zu while a search ran, %ld records shown\n",
        seconds, frames, thinking.size(), records);
    std::printf(
        "board calls in a frame while searching: median %.1f us, 99th percentile %.1f us, longest %.1f us\n",
        percentile(0.5), percentile(0.99), percentile(1.0));
    std::printf("(on a loaded machine the longest also holds time the main thread was not scheduled)\n");
    std::printf("new game %s: %.1f us\n", wasThinking ? "dropping a search under way" : "(no search ran)",
                1e6 * newGame);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "match") == 0) {
        return matchMain(argc, argv);
    }
    if (argc >= 2 && std::strcmp(argv[1], "tune") == 0) {
        return tuneMain(argc, argv);
    }
    if (argc >= 2 && std::strcmp(argv[1], "frames") == 0) {
        return framesMain(argc, argv);
    }
    long games = kDefaultGames;
    if (argc > 2 || (argc == 2 && !parseGames(argv[1], &games))) {
        std::fprintf(stderr, "usage: %s [games]  (1 to %ld games per level, default %ld)\n", argv[0],
                     kMaxGames, kDefaultGames);
        return 2;
    }

    std::printf("%ld computer-against-computer games per level, at most %ld moves each\n", games,
                kMaxMovesPerGame);
    std::printf("%-5s %12s %12s %11s %10s %14s\n", "level", "player 1 won", "player 2 won", "unfinished",
                "avg moves", "moves/s");
    for (const int level : {GameBoard::kEasy, GameBoard::kHard}) {
        const LevelResult r = playLevel(level, games);
        const double average = static_cast<double>(r.moves) / static_cast<double>(games);
        const double speed = r.seconds > 0.0 ? static_cast<double>(r.moves) / r.seconds : 0.0;
        std::printf("%-5s %12ld %12ld %11ld %10.1f %14.0f\n", level == GameBoard::kEasy ? "easy" : "hard",
                    r.wins[1], r.wins[2], r.wins[0], average, speed);
    }
    std::printf(
        "The hard level draws no random numbers: from the fixed start every hard game is the same.\n");
    return 0;
}
