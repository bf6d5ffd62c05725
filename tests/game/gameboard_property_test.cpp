// Whole games between computer players, some opened by random human clicks,
// checked record by record against a board that only sees the queue.

#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSize = GameBoard::kBoardSize;
constexpr int kGamesPerLevel = 1000;
// Jumps keep the figure count, so two greedy players could in principle
// chase each other for ever.
constexpr int kMaxMovesPerGame = 400;
constexpr int kMaxOpeningPlies = 8;
constexpr int kMaxConversions = 8;
constexpr int kRandomMax = 32767;

struct Field {
    int x;
    int y;
};

bool onBoard(int x, int y) {
    return x >= 0 && y >= 0 && x < kSize && y < kSize;
}

// The board as the table scene shows it: it learns of moves only through the
// queued records, and checks each record against what it shows.
class ShownBoard {
public:
    int at(int x, int y) const { return onBoard(x, y) ? fields[x + y * kSize] : 0; }
    int count(int value) const {
        int n = 0;
        for (int v : fields) {
            n += v == value ? 1 : 0;
        }
        return n;
    }
    bool hasMove(int player) const {
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (at(x, y) == player && hasEmptyWithin(x, y, GameBoard::kJumpDistance)) {
                    return true;
                }
            }
        }
        return false;
    }
    // The result worked out from scratch on the shown fields.
    int expectedWinner(bool queueEmpty) const {
        const int count1 = count(1);
        const int count2 = count(2);
        if ((count1 == 0 && count2 == 0) || !queueEmpty) {
            return 0;
        }
        if (count(0) == 0) {
            return count1 > count2 ? 1 : 2;
        }
        if (count1 == 0 || !hasMove(1)) {
            return 2;
        }
        if (count2 == 0 || !hasMove(2)) {
            return 1;
        }
        return 0;
    }
    std::string differenceFrom(const GameBoard& board) const {
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (at(x, y) != board.getField(x, y)) {
                    return "shown board differs at " + describe(x, y);
                }
            }
        }
        return "";
    }

    // Applies one record for a move by the player to move; returns what is wrong with it.
    std::string apply(const Move& m, int playerToMove) {
        const std::string where = " in record type " + std::to_string(m.type);
        if (m.type != MoveConvert && !pendingConversions.empty()) {
            return "conversions missing before" + where;
        }
        switch (m.type) {
        case MoveClear:
            if (m.fromX || m.fromY || m.toX || m.toY) {
                return "clear record not all zero";
            }
            fields.fill(0);
            return "";
        case MoveCreate:
            if (!onBoard(m.fromX, m.fromY) || (m.toX != 1 && m.toX != 2) || m.toY != 0 ||
                at(m.fromX, m.fromY)) {
                return "bad create record";
            }
            set(m.fromX, m.fromY, m.toX);
            return "";
        case MoveSelect:
        case MoveDeselect:
            if (!onBoard(m.fromX, m.fromY) || m.toX != m.fromX || m.toY != m.fromY) {
                return "selection off the board" + where;
            }
            return at(m.fromX, m.fromY) == playerToMove ? "" : "selection of a field not the mover's" + where;
        case MoveJump:
        case MoveSplit:
            return applyMove(m, playerToMove);
        case MoveConvert:
            return applyConversion(m);
        default:
            return "unknown record type " + std::to_string(m.type);
        }
    }

    bool conversionsComplete() const { return pendingConversions.empty(); }

private:
    static std::string describe(int x, int y) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
    void set(int x, int y, int value) { fields[x + y * kSize] = value; }
    bool hasEmptyWithin(int x, int y, int reach) const {
        for (int fy = y - reach; fy <= y + reach; ++fy) {
            for (int fx = x - reach; fx <= x + reach; ++fx) {
                if (onBoard(fx, fy) && at(fx, fy) == 0) {
                    return true;
                }
            }
        }
        return false;
    }

    std::string applyMove(const Move& m, int playerToMove) {
        if (!onBoard(m.fromX, m.fromY) || !onBoard(m.toX, m.toY)) {
            return "move off the board";
        }
        const int d = GameBoard::distance(m.fromX, m.fromY, m.toX, m.toY);
        const int expectedDistance =
            m.type == MoveJump ? GameBoard::kJumpDistance : GameBoard::kSplitDistance;
        if (d != expectedDistance) {
            return "move over distance " + std::to_string(d);
        }
        const int mover = at(m.fromX, m.fromY);
        if (mover != playerToMove || at(m.toX, m.toY) != 0) {
            return "move from " + describe(m.fromX, m.fromY) + " by the wrong side or onto a figure";
        }
        if (mover != expectedMover) {
            return "turns do not alternate";
        }
        expectedMover = 3 - mover;
        const int opponent = 3 - mover;
        const int ownBefore = count(mover);
        const int opposingBefore = count(opponent);
        for (int y = m.toY - 1; y <= m.toY + 1; ++y) {
            for (int x = m.toX - 1; x <= m.toX + 1; ++x) {
                if (at(x, y) == opponent) {
                    pendingConversions.push_back({x, y});
                }
            }
        }
        const int k = static_cast<int>(pendingConversions.size());
        if (k > kMaxConversions) {
            return "more than eight conversions";
        }
        if (m.type == MoveJump) {
            set(m.fromX, m.fromY, 0);
        }
        set(m.toX, m.toY, mover);
        // What the whole move must do to the counts once its conversions are shown.
        expectedOwn = ownBefore + (m.type == MoveSplit ? 1 : 0) + k;
        expectedOpposing = opposingBefore - k;
        currentMover = mover;
        return pendingConversions.empty() ? checkCounts() : "";
    }

    std::string applyConversion(const Move& m) {
        if (pendingConversions.empty()) {
            return "conversion " + describe(m.fromX, m.fromY) + " not beside the target";
        }
        const Field next = pendingConversions.front();
        if (m.fromX != next.x || m.fromY != next.y || m.toX != next.x || m.toY != next.y) {
            return "conversion " + describe(m.fromX, m.fromY) + " where " + describe(next.x, next.y) +
                   " was due";
        }
        pendingConversions.erase(pendingConversions.begin());
        set(m.fromX, m.fromY, 3 - at(m.fromX, m.fromY));
        return pendingConversions.empty() ? checkCounts() : "";
    }

    std::string checkCounts() const {
        if (count(currentMover) != expectedOwn || count(3 - currentMover) != expectedOpposing) {
            return "figure counts changed against the rules";
        }
        return "";
    }

    std::array<int, kSize * kSize> fields{};
    std::vector<Field> pendingConversions;
    int expectedMover = 1;
    int currentMover = 0;
    int expectedOwn = 0;
    int expectedOpposing = 0;
};

// Plays one game to its end or to the cap and returns the first fault found.
class GameCheck {
public:
    GameCheck(int level, unsigned seed) : rng(seed), level(level) {}

    std::string play() {
        board.setDifficulty(level);
        board.setRandomSource([this] {
            ++draws;
            return std::uniform_int_distribution<int>(0, kRandomMax)(rng);
        });
        openingPlies = std::uniform_int_distribution<int>(0, kMaxOpeningPlies)(rng);
        board.setHuman(1, openingPlies > 0);
        board.setHuman(2, openingPlies > 0);
        board.newGame();

        while (moves < kMaxMovesPerGame) {
            if (board.hasPendingMoves()) {
                std::string fault = showNextRecord();
                if (!fault.empty()) {
                    return fault;
                }
            } else if (board.isHuman(board.getCurrentPlayer())) {
                if (board.winner() != shown.expectedWinner(true)) {
                    return "winner() differs during the opening";
                }
                const bool moved = playRandomHumanMove();
                if (!humanFault.empty()) {
                    return humanFault;
                }
                if (!moved) {
                    break;
                }
            } else {
                break;
            }
        }
        if (level == GameBoard::kHard && draws != 0) {
            return "hard level drew random numbers";
        }
        if (!shown.conversionsComplete()) {
            return "game ended with conversions missing";
        }
        const bool queueEmpty = !board.hasPendingMoves();
        const int expected = shown.expectedWinner(queueEmpty);
        if (board.winner() != expected) {
            return "winner() is " + std::to_string(board.winner()) + ", the position says " +
                   std::to_string(expected);
        }
        if (queueEmpty && (expected == 0 || board.isRunning())) {
            return "game stopped undecided";
        }
        capped = !queueEmpty;
        return "";
    }

    bool wasCapped() const { return capped; }

private:
    std::string showNextRecord() {
        const Move m = board.frontMove();
        const bool last = board.countPendingMoves() == 1;
        std::string fault = shown.apply(m, board.getCurrentPlayer());
        if (!fault.empty()) {
            return fault;
        }
        if (m.type == MoveJump || m.type == MoveSplit) {
            ++moves;
        }
        if (last) {
            // The next computer move is queued inside popMove, so the boards
            // must agree now.
            fault = shown.differenceFrom(board);
            if (!fault.empty()) {
                return fault;
            }
            if (board.isMoveDone() && plies == openingPlies) {
                board.setHuman(1, false);
                board.setHuman(2, false);
            }
        }
        board.popMove();
        return "";
    }

    void click(int x, int y, bool expectMove) {
        if (!board.canClickField(x, y) || board.clickField(x, y) != expectMove) {
            noteFault("click on (" + std::to_string(x) + ", " + std::to_string(y) + ") not handled");
        }
    }

    void noteFault(const std::string& fault) {
        if (humanFault.empty()) {
            humanFault = fault;
        }
    }

    // Selects a figure, sometimes another one first, and moves. False when
    // the player has no move.
    bool playRandomHumanMove() {
        const int player = board.getCurrentPlayer();
        std::vector<std::pair<Field, Field>> options;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                for (int ty = y - 2; ty <= y + 2; ++ty) {
                    for (int tx = x - 2; tx <= x + 2; ++tx) {
                        if (board.getField(x, y) == player && onBoard(tx, ty) &&
                            board.getField(tx, ty) == 0) {
                            options.push_back({{x, y}, {tx, ty}});
                        }
                    }
                }
            }
        }
        if (options.empty()) {
            return false;
        }
        auto pick = [&] {
            return options[std::uniform_int_distribution<size_t>(0, options.size() - 1)(rng)];
        };
        const auto [from, to] = pick();
        if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) {
            const Field other = pick().first;
            click(other.x, other.y, false);
            drainSelection();
        }
        if (board.getSelectedX() != from.x || board.getSelectedY() != from.y) {
            click(from.x, from.y, false);
            drainSelection();
        }
        for (int y = from.y - 2; y <= from.y + 2; ++y) {
            for (int x = from.x - 2; x <= from.x + 2; ++x) {
                if (!onBoard(x, y) && board.canClickField(x, y)) {
                    noteFault("off-board click accepted");
                }
            }
        }
        click(to.x, to.y, true);
        board.setMoveDone(true);
        ++plies;
        return true;
    }

    void drainSelection() {
        while (board.hasPendingMoves() && humanFault.empty()) {
            noteFault(showNextRecord());
        }
    }

    GameBoard board;
    ShownBoard shown;
    std::mt19937 rng;
    int level;
    int openingPlies = 0;
    int plies = 0;
    int moves = 0;
    long draws = 0;
    std::string humanFault;
    bool capped = false;
};

void playManyGames(int level, unsigned seedBase) {
    int capped = 0;
    for (int game = 0; game < kGamesPerLevel; ++game) {
        GameCheck check(level, seedBase + game);
        const std::string fault = check.play();
        ASSERT_EQ(fault, "") << "level " << level << ", seed " << seedBase + game;
        capped += check.wasCapped() ? 1 : 0;
    }
    ::testing::Test::RecordProperty("capped_games", capped);
}

TEST(GameBoardProperty, EasyGames_ReplayFaithfullyAndEndAsCounted) {
    playManyGames(GameBoard::kEasy, 1000);
}

TEST(GameBoardProperty, HardGames_ReplayFaithfullyAndEndAsCounted) {
    playManyGames(GameBoard::kHard, 900000);
}

} // namespace
