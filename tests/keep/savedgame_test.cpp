#include "keep/savedgame.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSize = GameBoard::kBoardSize;

void drain(GameBoard& board, int limit = -1) {
    for (; limit != 0 && board.hasPendingMoves(); --limit) {
        board.popMove();
    }
}

// A random legal move of the player to move, by clicks; false when none is left.
bool playRandom(GameBoard& board, std::mt19937& rng) {
    std::vector<Move> moves;
    for (int from = 0; from < kSize * kSize; ++from) {
        for (int to = 0; to < kSize * kSize; ++to) {
            const Move m{from % kSize, from / kSize, to % kSize, to / kSize, 0};
            if (board.getField(m.fromX, m.fromY) == board.getCurrentPlayer() &&
                board.getField(m.toX, m.toY) == 0 &&
                GameBoard::distance(m.fromX, m.fromY, m.toX, m.toY) <= GameBoard::kJumpDistance) {
                moves.push_back(m);
            }
        }
    }
    if (moves.empty()) {
        return false;
    }
    const Move m = moves[rng() % moves.size()];
    board.clickField(m.fromX, m.fromY);
    board.setMoveDone(board.clickField(m.toX, m.toY));
    return true;
}

std::string fields(const GameBoard& board) {
    std::string text;
    for (int i = 0; i < kSize * kSize; ++i) {
        text += static_cast<char>('0' + board.getField(i % kSize, i / kSize));
    }
    return text + " to move " + std::to_string(board.getCurrentPlayer());
}

// A game written at any moment, even while a move is still being shown, and
// continued on another board stands where the original stands once every
// move is shown, with the same moves from the start, and takes back the same
// moves.
TEST(SavedGame, WrittenAnywhere_ContinuesAsTheOriginal) {
    for (unsigned seed = 0; seed < 40; ++seed) {
        std::mt19937 rng(seed);
        GameBoard original;
        original.setHuman(GameBoard::kPlayer1, true);
        original.setHuman(GameBoard::kPlayer2, seed % 2 == 0);
        original.newGame();
        drain(original);
        for (int step = 0; step < 30 && original.winner() == 0 && playRandom(original, rng); ++step) {
            drain(original, static_cast<int>(rng() % 4));
            std::string reason;
            const auto read = SavedGame::parse(SavedGame::format(original.record()), reason);
            ASSERT_TRUE(read) << reason;
            GameBoard continued;
            ASSERT_TRUE(continued.restore(*read));
            continued.continueTurn();
            drain(continued);
            drain(original);
            ASSERT_EQ(fields(continued), fields(original)) << "seed " << seed << " step " << step;
            ASSERT_TRUE(continued.getMoves() == original.getMoves()) << "seed " << seed << " step " << step;
            ASSERT_EQ(continued.takeBack(), original.takeBack());
            ASSERT_EQ(fields(continued), fields(original)) << "after take-back, seed " << seed;
            continued.continueTurn();
            original.continueTurn();
            drain(original);
        }
    }
}

// The text with the first `what` in it replaced by `by`.
std::string replaced(std::string text, const std::string& what, const std::string& by) {
    const size_t at = text.find(what);
    return at == std::string::npos ? text : text.replace(at, what.size(), by);
}

TEST(SavedGame, DamagedOrImpossible_RefusedWithTheReason) {
    // Player 1 against the computer, two moves in, with player 1's selection.
    std::ifstream file(testDataDir() + "/keep/game.ini");
    const std::string valid{std::istreambuf_iterator<char>(file), {}};
    std::string reason;
    ASSERT_TRUE(SavedGame::parse(valid, reason)) << reason;
    const struct {
        std::string text;
        const char* reason;
    } cases[] = {
        {valid.substr(0, valid.size() / 2), "missing"},
        {valid.substr(0, valid.size() - 3), "level"},
        {replaced(valid, "version = 1", "version = 2"), "version 2"},
        {replaced(valid, "row5 = 0", "row5 = 3"), "row5"},
        {replaced(valid, "row5 = 0", "row5 = "), "9 x 9"},
        {valid + "row10 = 000000000\n", "9 x 9"},
        {replaced(valid, "player1-figures = ", "player1-figures = 1"), "counts"},
        {replaced(valid, "to-move = 1", "to-move = 3"), "to-move"},
        {replaced(valid, "player1 = human", "player1 = computer"), "no human"},
        {replaced(valid, "moves = 2", "moves = 3"), "history"},
        {replaced(valid, "moves = 2", "moves = 1001"), "moves"},
        {replaced(valid, "\n1 = 1 0 0 1", "\n1 = 1 0 1 1"), "[history] 1"},
        {replaced(valid, "\n2 = 2", "\n2 = 0"), "[history] 2"},
        {replaced(valid, "\n2 = ", "\n2 = " + std::string(200, ' ')), "too long"},
        {replaced(valid, "level", std::string("lev\0el", 6)), "zero byte"},
        {valid + "[game]\nlevel = easy\n", "twice"},
        {replaced(valid, "[game]", "[game"), "syntax"},
        {valid + "[moves]\ncount = 1\n1 = a1b2\n", "[moves] do not lead to the game's fields"},
        {valid + "[moves]\ncount = 1\n1 = a1z2\n", "[moves] 1 is not a move"},
        {valid + "[moves]\ncount = 2\n1 = a1b2\n", "[moves] does not hold 2 moves"},
    };
    for (const auto& c : cases) {
        reason.clear();
        EXPECT_FALSE(SavedGame::parse(c.text, reason)) << c.reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason << " is not about " << c.reason;
    }
}

TEST(SavedGame, LongHistory_KeepsTheNewestPositions) {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, true);
    board.newGame();
    drain(board);
    GameBoard::Record game = board.record();
    for (int i = 0; i <= SavedGame::kMaxHistory; ++i) {
        game.history.push_back({game.fields, -1, -1, 1 + i % 2});
    }
    game.history.back().mover = 1;
    game.history.front().mover = 2;
    std::string reason;
    const auto read = SavedGame::parse(SavedGame::format(game), reason);
    ASSERT_TRUE(read) << reason;
    ASSERT_EQ(read->history.size(), static_cast<size_t>(SavedGame::kMaxHistory));
    EXPECT_EQ(read->history.back().mover, 1);
}

} // namespace
