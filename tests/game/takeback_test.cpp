// Taking moves back, checked against a board that replays only the moves
// that remain.

#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSize = GameBoard::kBoardSize;
constexpr int kGames = 300;
constexpr int kMaxSteps = 120;

struct Played {
    Move move;
    int mover = 0;
};

// Empties the queue as the display would, recording the computer's splits
// and jumps; stops early after `limit` records.
void drain(GameBoard& board, std::vector<Played>& played, int limit = -1) {
    for (; board.hasPendingMoves() && limit != 0; --limit) {
        const Move m = board.frontMove();
        if ((m.type == MoveJump || m.type == MoveSplit) && !board.isHuman(board.getCurrentPlayer())) {
            played.push_back({m, board.getCurrentPlayer()});
        }
        board.popMove();
    }
}

bool clickMove(GameBoard& board, const Move& m) {
    // A second click on the selected figure would deselect it.
    if (board.getSelectedX() != m.fromX || board.getSelectedY() != m.fromY) {
        board.clickField(m.fromX, m.fromY);
    }
    if (!board.clickField(m.toX, m.toY)) {
        return false;
    }
    board.setMoveDone(true);
    return true;
}

std::vector<Move> humanMoves(const GameBoard& board) {
    std::vector<Move> moves;
    const int player = board.getCurrentPlayer();
    for (int fy = 0; fy < kSize; ++fy) {
        for (int fx = 0; fx < kSize; ++fx) {
            if (board.getField(fx, fy) != player) {
                continue;
            }
            for (int ty = fy - 2; ty <= fy + 2; ++ty) {
                for (int tx = fx - 2; tx <= fx + 2; ++tx) {
                    if (board.isOnBoard(tx, ty) && board.getField(tx, ty) == GameBoard::kEmpty) {
                        moves.push_back({fx, fy, tx, ty, MoveSplit});
                    }
                }
            }
        }
    }
    return moves;
}

void startGame(GameBoard& board, bool human1, bool human2) {
    board.setHuman(GameBoard::kPlayer1, human1);
    board.setHuman(GameBoard::kPlayer2, human2);
    board.setDifficulty(GameBoard::kHard);
    board.newGame();
}

// The position the remaining moves lead to, played by two humans.
std::string compareWithReplay(const GameBoard& board, const std::vector<Played>& played) {
    GameBoard replay;
    startGame(replay, true, true);
    std::vector<Played> ignored;
    drain(replay, ignored);
    for (const Played& p : played) {
        if (replay.getCurrentPlayer() != p.mover || !clickMove(replay, p.move)) {
            return "replay refused a move";
        }
        drain(replay, ignored);
    }
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (board.getField(x, y) != replay.getField(x, y)) {
                return "field " + std::to_string(x) + "," + std::to_string(y) + " differs";
            }
        }
    }
    for (const int player : {GameBoard::kPlayer1, GameBoard::kPlayer2}) {
        if (board.getFigureCount(player) != replay.countFields(player)) {
            return "count of player " + std::to_string(player) + " differs";
        }
    }
    if (board.getCurrentPlayer() != replay.getCurrentPlayer()) {
        return "player to move differs";
    }
    if (board.isRunning() != replay.isRunning() || board.winner() != replay.winner()) {
        return "result differs";
    }
    if (board.countPendingMoves() != 0 || board.isMoveDone()) {
        return "moves still queued";
    }
    return "";
}

// Humans play random moves against each other or the hard computer and take
// back at random: in the middle of an answer, right after a move, at the end.
std::string playGame(unsigned seed) {
    std::mt19937 rng(seed);
    const int mode = static_cast<int>(seed % 3);
    GameBoard board;
    startGame(board, mode != 2, mode != 1);
    std::vector<Played> played;
    drain(board, played);
    int takeBacks = 0;
    for (int step = 0; step < kMaxSteps; ++step) {
        const bool humanToMove = board.isHuman(board.getCurrentPlayer()) && !board.hasPendingMoves();
        const bool ended = board.winner() != 0 || !humanToMove;
        if (ended || rng() % 4 == 0) {
            if (!board.canTakeBack()) {
                if (ended) {
                    break;
                }
            } else {
                while (!played.empty() && !board.isHuman(played.back().mover)) {
                    played.pop_back();
                }
                const Move taken = played.back().move;
                played.pop_back();
                if (!board.takeBack()) {
                    return "take-back refused";
                }
                ++takeBacks;
                if (board.getSelectedX() != taken.fromX || board.getSelectedY() != taken.fromY) {
                    return "selection not restored";
                }
                const std::string fault = compareWithReplay(board, played);
                if (!fault.empty()) {
                    return fault + " after take-back " + std::to_string(takeBacks);
                }
                continue;
            }
        }
        const std::vector<Move> moves = humanMoves(board);
        const Played move{moves.empty() ? Move() : moves[rng() % moves.size()], board.getCurrentPlayer()};
        if (!clickMove(board, move.move)) {
            return "no human move";
        }
        played.push_back(move);
        // Sometimes the answer is still being shown when the player takes back.
        drain(board, played, rng() % 3 == 0 ? static_cast<int>(rng() % 4) : -1);
    }
    return takeBacks > 0 ? "" : "nothing taken back";
}

TEST(TakeBack, RandomGamesWithRandomTakeBacks_MatchReplayOfRemainingMoves) {
    for (unsigned seed = 0; seed < kGames; ++seed) {
        ASSERT_EQ(playGame(seed), "") << "seed " << seed;
    }
}

TEST(TakeBack, TwoComputers_NothingToTakeBack) {
    GameBoard board;
    startGame(board, false, false);
    std::vector<Played> played;
    drain(board, played, 40);
    const int player = board.getCurrentPlayer();
    const int pending = board.countPendingMoves();
    EXPECT_FALSE(board.canTakeBack());
    EXPECT_FALSE(board.takeBack());
    EXPECT_EQ(board.getCurrentPlayer(), player);
    EXPECT_EQ(board.countPendingMoves(), pending);
}

TEST(TakeBack, BeforeAnyHumanMove_Refused) {
    GameBoard board;
    startGame(board, false, true);
    std::vector<Played> played;
    drain(board, played);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_FALSE(board.takeBack());
    EXPECT_EQ(board.countFields(GameBoard::kPlayer1), 2);
}

TEST(TakeBack, WhileExpertThinks_CancelsSearchAndDropsItsMove) {
    GameBoard board;
    startGame(board, true, false);
    board.setDifficulty(GameBoard::kExpert);
    std::vector<Played> played;
    drain(board, played);
    ASSERT_TRUE(clickMove(board, {0, 0, 1, 1, MoveSplit}));
    drain(board, played);
    ASSERT_TRUE(board.isThinking());
    ASSERT_TRUE(board.takeBack());
    EXPECT_FALSE(board.isThinking());
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer1);
    EXPECT_EQ(board.countFields(GameBoard::kPlayer1), 1);
    // The human plays on; the expert answers the new move.
    ASSERT_TRUE(clickMove(board, {0, 0, 0, 2, MoveJump}));
    drain(board, played);
    EXPECT_TRUE(board.isThinking());
}

} // namespace
