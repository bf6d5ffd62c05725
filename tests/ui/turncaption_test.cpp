#include "game/gameboard.h"
#include "ui/sporrikhud.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string turn(const GameBoard& board) {
    return SporrikHud::turnCaption(board, board.winner());
}

void drain(GameBoard& board) {
    while (board.popMove()) {
    }
}

void move(GameBoard& board, int fromX, int fromY, int toX, int toY) {
    board.clickField(fromX, fromY);
    ASSERT_TRUE(board.clickField(toX, toY));
    board.setMoveDone(true);
}

TEST(TurnCaption, TwoHumans_NamesThePlayerToMoveButNotWhileAMoveIsShown) {
    GameBoard board;
    EXPECT_EQ(turn(board), "");
    board.setHuman(GameBoard::kPlayer1, true);
    board.setHuman(GameBoard::kPlayer2, true);
    board.newGame();
    drain(board);
    EXPECT_EQ(turn(board), "Player 1 to move");
    move(board, 0, 0, 1, 1);
    EXPECT_EQ(turn(board), "");
    drain(board);
    EXPECT_EQ(turn(board), "Player 2 to move");
    // Decided: player 2 has no figure left.
    board.setField(8, 8, GameBoard::kEmpty);
    EXPECT_EQ(turn(board), "");
}

TEST(TurnCaption, ExpertSearching_SaysItIsThinking) {
    GameBoard board;
    board.setHuman(GameBoard::kPlayer1, true);
    board.setDifficulty(GameBoard::kExpert);
    board.newGame();
    drain(board);
    move(board, 0, 0, 1, 1);
    drain(board);
    ASSERT_TRUE(board.isThinking());
    EXPECT_EQ(turn(board), "Player 2 is thinking");
}

} // namespace
