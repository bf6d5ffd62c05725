// Taking moves back, checked against a board that replays only the moves
// that remain.

#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSize = GameBoard::kBoardSize;

struct Played {
    Move move;
    int mover = 0;
};

void start(GameBoard& board, bool human1, bool human2) {
    board.setHuman(GameBoard::kPlayer1, human1);
    board.setHuman(GameBoard::kPlayer2, human2);
    board.newGame();
}

// Takes out up to limit queued records (all for -1) as the display does,
// noting the computer's moves.
void drain(GameBoard& board, std::vector<Played>* played = nullptr, int limit = -1) {
    for (; board.hasPendingMoves() && limit != 0; --limit) {
        const Move m = board.frontMove();
        if (played && (m.type == MoveJump || m.type == MoveSplit) &&
            !board.isHuman(board.getCurrentPlayer())) {
            played->push_back({m, board.getCurrentPlayer()});
        }
        board.popMove();
    }
}

bool click(GameBoard& board, const Move& m) {
    // A second click on the selected figure would deselect it.
    if (board.getSelectedX() != m.fromX || board.getSelectedY() != m.fromY) {
        board.clickField(m.fromX, m.fromY);
    }
    const bool moved = board.clickField(m.toX, m.toY);
    board.setMoveDone(moved);
    return moved;
}

Move randomMove(const GameBoard& board, std::mt19937& rng) {
    std::vector<Move> moves;
    for (int from = 0; from < kSize * kSize; ++from) {
        for (int to = 0; to < kSize * kSize; ++to) {
            const Move m{from % kSize, from / kSize, to % kSize, to / kSize, 0};
            if (board.getField(m.fromX, m.fromY) == board.getCurrentPlayer() &&
                board.getField(m.toX, m.toY) == GameBoard::kEmpty &&
                GameBoard::distance(m.fromX, m.fromY, m.toX, m.toY) <= GameBoard::kJumpDistance) {
                moves.push_back(m);
            }
        }
    }
    return moves.empty() ? Move() : moves[rng() % moves.size()];
}

std::string compareWithReplay(const GameBoard& board, const std::vector<Played>& played) {
    GameBoard replay;
    start(replay, true, true);
    drain(replay);
    for (const Played& p : played) {
        if (replay.getCurrentPlayer() != p.mover || !click(replay, p.move)) {
            return "replay refused a move";
        }
        drain(replay);
    }
    for (int i = 0; i < kSize * kSize; ++i) {
        if (board.getField(i % kSize, i / kSize) != replay.getField(i % kSize, i / kSize)) {
            return "field " + std::to_string(i) + " differs";
        }
    }
    if (board.getFigureCount(1) != replay.countFields(1) ||
        board.getFigureCount(2) != replay.countFields(2)) {
        return "counts differ";
    }
    if (board.getCurrentPlayer() != replay.getCurrentPlayer() || board.winner() != replay.winner() ||
        board.isRunning() != replay.isRunning() || board.countPendingMoves() != 0 || board.isMoveDone()) {
        return "player to move, result or queue differs";
    }
    return "";
}

// Humans play random moves against each other or the hard computer and take
// back at random: in the middle of the answer, right after a move, at the end.
std::string playGame(unsigned seed) {
    std::mt19937 rng(seed);
    GameBoard board;
    start(board, seed % 3 != 2, seed % 3 != 1);
    std::vector<Played> played;
    drain(board, &played);
    int takeBacks = 0;
    for (int step = 0; step < 120; ++step) {
        const bool stuck = board.winner() != 0 || board.hasPendingMoves();
        if (stuck || rng() % 4 == 0) {
            if (!board.canTakeBack()) {
                if (stuck) {
                    break;
                }
            } else {
                while (!board.isHuman(played.back().mover)) {
                    played.pop_back();
                }
                const Move taken = played.back().move;
                played.pop_back();
                if (!board.takeBack()) {
                    return "take-back refused";
                }
                if (board.getSelectedX() != taken.fromX || board.getSelectedY() != taken.fromY) {
                    return "selection not restored";
                }
                const std::string fault = compareWithReplay(board, played);
                if (!fault.empty()) {
                    return fault + " after take-back " + std::to_string(takeBacks);
                }
                ++takeBacks;
                continue;
            }
        }
        const Played move{randomMove(board, rng), board.getCurrentPlayer()};
        if (!click(board, move.move)) {
            return "no human move";
        }
        played.push_back(move);
        drain(board, &played, rng() % 3 == 0 ? static_cast<int>(rng() % 4) : -1);
    }
    return takeBacks > 0 ? "" : "nothing taken back";
}

TEST(TakeBack, RandomGamesWithRandomTakeBacks_MatchReplayOfRemainingMoves) {
    for (unsigned seed = 0; seed < 300; ++seed) {
        ASSERT_EQ(playGame(seed), "") << "seed " << seed;
    }
}

TEST(TakeBack, WhileExpertThinks_CancelsTheSearch) {
    GameBoard board;
    board.setDifficulty(GameBoard::kExpert);
    start(board, true, false);
    drain(board);
    ASSERT_TRUE(click(board, {0, 0, 1, 1, 0}));
    drain(board);
    ASSERT_TRUE(board.isThinking());
    ASSERT_TRUE(board.takeBack());
    EXPECT_FALSE(board.isThinking());
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.countFields(GameBoard::kPlayer1), 1);
}

} // namespace
