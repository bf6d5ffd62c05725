#include "game/gameboard.h"
#include "ui/sporrikhud.h"

#include <gtest/gtest.h>

namespace {

// Two humans, or player 1 against the expert; every record shown at once.
TEST(TurnCaption, NamesThePlayerToMove_NotWhileAMoveIsShown_AndTheThinkingComputer) {
    for (const bool twoHumans : {true, false}) {
        GameBoard board;
        const auto turn = [&] {
            return SporrikHud::turnCaption(board, board.winner());
        };
        EXPECT_EQ(turn(), "");
        board.setHuman(GameBoard::kPlayer1, true);
        board.setHuman(GameBoard::kPlayer2, twoHumans);
        board.setDifficulty(GameBoard::kExpert);
        board.newGame();
        while (board.popMove()) {
        }
        EXPECT_EQ(turn(), "Player 1 to move");
        board.clickField(0, 0);
        board.clickField(1, 1);
        board.setMoveDone(true);
        EXPECT_EQ(turn(), "");
        while (board.popMove()) {
        }
        EXPECT_EQ(turn(), twoHumans ? "Player 2 to move" : "Player 2 is thinking");
        board.setField(8, 8, GameBoard::kEmpty);
        EXPECT_EQ(turn(), "") << "decided";
    }
}

} // namespace
