// sporrik_rulesbench [games]: plays that many computer-against-computer games
// at each level, drained the way the table scene drains the move queue, and
// prints the wins per side, the average game length and the speed.

#include "game/gameboard.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

} // namespace

int main(int argc, char** argv) {
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
