#include "game/gameboard.h"
#include "game/notation.h"
#include "game/playedgame.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> fields(const GameBoard& board) {
    std::vector<int32_t> result;
    for (int y = 0; y < GameBoard::kBoardSize; ++y) {
        for (int x = 0; x < GameBoard::kBoardSize; ++x) {
            result.push_back(board.getField(x, y));
        }
    }
    return result;
}

// Computer games at both levels and humans taking back at random, the
// records taken out as the table does: the board's moves, replayed from the
// start, lead to its fields with the same player to move after every move
// and every take-back; each move won what the board converted, and the end
// is the board's.
TEST(PlayedGame, BoardGamesAndTakeBacks_ReplayToTheBoard_EachMoveWinningWhatTheBoardConverted) {
    for (unsigned seed = 0; seed < 24; ++seed) {
        std::mt19937 rng(seed);
        GameBoard board;
        const bool humans = seed % 2 == 1;
        board.setHuman(GameBoard::kPlayer1, humans);
        board.setHuman(GameBoard::kPlayer2, humans);
        board.setDifficulty(seed % 4 < 2 ? GameBoard::kEasy : GameBoard::kHard);
        board.newGame();
        std::vector<int> converted;
        for (int step = 0; step < 400 && board.winner() == 0; ++step) {
            if (humans && board.canTakeBack() && rng() % 5 == 0) {
                ASSERT_TRUE(board.takeBack());
                converted.resize(board.getMoves().size());
            } else if (humans && !board.hasPendingMoves()) {
                const CompactPosition position = CompactPosition::fromBoard(board, board.getCurrentPlayer());
                CompactMove moves[CompactPosition::kMaxMoves];
                const CompactMove m = moves[rng() % static_cast<unsigned>(position.generateMoves(moves))];
                const int toX = CompactPosition::fieldX(m.to);
                const int toY = CompactPosition::fieldY(m.to);
                const GameBoard::Position from =
                    m.isSplit() ? board.findNearestFigure(toX, toY, board.getCurrentPlayer())
                                : GameBoard::Position{CompactPosition::fieldX(m.from),
                                                      CompactPosition::fieldY(m.from)};
                ASSERT_TRUE(board.performMove(from.x, from.y, toX, toY));
                board.setMoveDone(true);
            }
            while (board.hasPendingMoves()) {
                const Move record = board.frontMove();
                converted.resize(board.getMoves().size());
                if (record.type == MoveConvert) {
                    ++converted.back();
                }
                board.popMove();
            }
            std::string reason;
            const std::optional<PlayedGame> played = PlayedGame::replay(board.getMoves(), reason);
            ASSERT_TRUE(played) << reason << ", seed " << seed;
            const int n = played->countMoves();
            ASSERT_EQ(played->fieldsAfter(n), fields(board)) << "seed " << seed << " step " << step;
            ASSERT_EQ(played->positionAfter(n).toMove(), board.getCurrentPlayer()) << "seed " << seed;
            for (int i = 0; i < n; ++i) {
                ASSERT_EQ(played->getSteps()[static_cast<size_t>(i)].won, converted[static_cast<size_t>(i)])
                    << "move " << i + 1 << ", seed " << seed;
            }
        }
        std::string reason;
        const std::optional<PlayedGame> played = PlayedGame::replay(board.getMoves(), reason);
        ASSERT_TRUE(played);
        EXPECT_EQ(played->winner(), board.winner()) << "seed " << seed;
        const bool full = board.countFields(GameBoard::kEmpty) == 0;
        const bool wiped =
            board.countFields(GameBoard::kPlayer1) == 0 || board.countFields(GameBoard::kPlayer2) == 0;
        const PlayedGame::Ending expected = board.winner() == 0 ? PlayedGame::Ending::Unfinished
                                            : full              ? PlayedGame::Ending::BoardFull
                                            : wiped             ? PlayedGame::Ending::NoFigures
                                                                : PlayedGame::Ending::NoMove;
        EXPECT_EQ(played->ending(), expected) << "seed " << seed;
    }
}

Move at(const std::string& text) {
    return *Notation::parseMove(text);
}

TEST(PlayedGame, MovesAgainstTheRules_RefusedNamingTheMoveAndWhy) {
    const struct {
        std::vector<Move> moves;
        const char* reason;
    } cases[] = {
        {{at("a1b2"), at("b2c3")}, "move 2 b2c3 does not start from a figure of player 2"},
        {{at("c3d4")}, "move 1 c3d4 does not start from a figure of player 1"},
        {{at("a1b2"), at("i9h8"), at("b2a1")}, "move 3 b2a1 does not land on an empty field"},
        {{at("a1b2"), {8, 8, 5, 5, MoveJump}}, "move 2 i9f6 is not a split or a jump"},
        {{{0, 0, 1, 1, MoveJump}}, "move 1 a1b2 is not a split or a jump"},
        {{{0, 0, 0, 0, MoveSplit}}, "move 1 a1a1 is not a split or a jump"},
        {{{0, 0, 1, 1, MoveConvert}}, "move 1 is not a split or a jump"},
        {std::vector<Move>(PlayedGame::kMaxMoves + 1, at("a1b2")), "more than 4000 moves"},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(PlayedGame::replay(c.moves, reason)) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
}

} // namespace
