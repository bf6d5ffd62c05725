// Whole games between computer players, every queued record replayed on a
// board that learns of the game only through the queue, as the table scene
// does. The replay applies the rules itself, so a shown board that matches the
// logical one after each move also means the figure counts changed only as the
// rules allow.

#include "game/compactposition.h"
#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSize = GameBoard::kBoardSize;
constexpr int kGamesPerLevel = 1000;
// Jumps keep the figure count, so two greedy players may chase each other for ever.
constexpr int kMaxMovesPerGame = 400;

bool onBoard(int x, int y) {
    return x >= 0 && y >= 0 && x < kSize && y < kSize;
}

// Plays one game to its end or to the cap; returns the first fault found.
std::string playGame(int level, unsigned seed) {
    std::mt19937 rng(seed);
    long draws = 0;
    GameBoard board;
    // Hard games from the start position are all alike: up to eight easy
    // moves open them.
    const int easyOpening = level == GameBoard::kHard ? static_cast<int>(seed % 9) : 0;
    board.setDifficulty(easyOpening > 0 ? GameBoard::kEasy : level);
    board.setRandomSource([&] {
        ++draws;
        return std::uniform_int_distribution<int>(0, 32767)(rng);
    });
    board.newGame();
    // The shown board; its result is worked out afresh by the search's rules.
    CompactPosition shown;
    const auto matches = [&] {
        for (int i = 0; i < kSize * kSize; ++i) {
            if (shown.getField(i % kSize, i / kSize) != board.getField(i % kSize, i / kSize)) {
                return false;
            }
        }
        return true;
    };
    std::vector<Move> conversionsDue;
    int lastMover = 0;
    int moves = 0;
    for (; board.hasPendingMoves() && moves < kMaxMovesPerGame; board.popMove()) {
        const Move m = board.frontMove();
        const int mover = board.getCurrentPlayer();
        if (!onBoard(m.fromX, m.fromY) || (m.type != MoveCreate && !onBoard(m.toX, m.toY))) {
            return "record off the board";
        }
        if (m.type != MoveConvert && !conversionsDue.empty()) {
            return "conversions missing";
        }
        if (m.type == MoveClear) {
            shown = CompactPosition();
        } else if (m.type == MoveCreate) {
            shown.setField(m.fromX, m.fromY, m.toX);
        } else if (m.type == MoveConvert) {
            if (conversionsDue.empty() || m != conversionsDue.front()) {
                return "conversion not beside the target or out of row-major order";
            }
            conversionsDue.erase(conversionsDue.begin());
            shown.setField(m.fromX, m.fromY, mover);
        } else if (m.type == MoveJump || m.type == MoveSplit) {
            ++moves;
            const int reach = m.type == MoveJump ? GameBoard::kJumpDistance : GameBoard::kSplitDistance;
            if (GameBoard::distance(m.fromX, m.fromY, m.toX, m.toY) != reach || mover == lastMover ||
                shown.getField(m.fromX, m.fromY) != mover || shown.getField(m.toX, m.toY) != 0) {
                return "move against the rules";
            }
            lastMover = mover;
            if (moves == easyOpening) {
                board.setDifficulty(level);
                draws = 0;
            }
            shown.setField(m.fromX, m.fromY, m.type == MoveJump ? 0 : mover);
            shown.setField(m.toX, m.toY, mover);
            for (int y = m.toY - 1; y <= m.toY + 1; ++y) {
                for (int x = m.toX - 1; x <= m.toX + 1; ++x) {
                    if (onBoard(x, y) && shown.getField(x, y) == 3 - mover) {
                        conversionsDue.push_back({x, y, x, y, MoveConvert});
                    }
                }
            }
        } else {
            return "unexpected record type " + std::to_string(m.type);
        }
        // The next computer move is queued inside popMove, so the boards must agree now.
        if (board.countPendingMoves() == 1 && !matches()) {
            return "shown board differs";
        }
    }
    if (level == GameBoard::kHard && moves > easyOpening && draws != 0) {
        return "hard level drew random numbers";
    }
    if (board.hasPendingMoves()) {
        return board.winner() == 0 ? "" : "result while records are queued";
    }
    const int expected = shown.winner();
    if (expected == 0 || board.winner() != expected || board.isRunning()) {
        return "winner() is " + std::to_string(board.winner()) + ", the position says " +
               std::to_string(expected);
    }
    return "";
}

TEST(GameBoardProperty, ComputerGamesAtBothLevels_ReplayFaithfullyAndEndAsCounted) {
    for (const int level : {GameBoard::kEasy, GameBoard::kHard}) {
        for (unsigned seed = 0; seed < kGamesPerLevel; ++seed) {
            ASSERT_EQ(playGame(level, seed), "") << "level " << level << ", seed " << seed;
        }
    }
}

} // namespace
