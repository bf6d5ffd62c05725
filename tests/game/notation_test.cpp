#include "game/notation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Notation, Fields_CornersAreWherePlayersStart) {
    EXPECT_EQ(Notation::field(0, 0), "a1");
    EXPECT_EQ(Notation::field(8, 8), "i9");
    EXPECT_EQ(Notation::field(2, 3), "c4");
    EXPECT_EQ(Notation::field(9, 0), "");
    EXPECT_EQ(Notation::field(0, -1), "");
}

TEST(Notation, Moves_RoundTripEveryFieldPairOneOrTwoApart) {
    for (int from = 0; from < 81; ++from) {
        for (int to = 0; to < 81; ++to) {
            const int d = GameBoard::distance(from % 9, from / 9, to % 9, to / 9);
            const std::string text = Notation::field(from % 9, from / 9) + Notation::field(to % 9, to / 9);
            const auto move = Notation::parseMove(text);
            ASSERT_EQ(move.has_value(), d == 1 || d == 2) << text;
            if (move) {
                EXPECT_EQ(move->type, d == 1 ? MoveSplit : MoveJump) << text;
                EXPECT_EQ(Notation::move(*move), text);
            }
        }
    }
}

TEST(Notation, Refused_AnythingButTwoLowerCaseFieldsInReach) {
    for (const char* bad : {"", "c3", "c3d", "c3d45", "C3d4", "c3D4", "j1a1", "a0a1", "a1a0", "c3c3", "a1d1",
                            " a1b", "a1b\n", "a1b2 ", "1a2b", "a1\0b2"}) {
        EXPECT_FALSE(Notation::parseMove(bad)) << bad;
    }
    EXPECT_FALSE(Notation::parseMove(std::string("a1b\0", 4)));
    EXPECT_FALSE(Notation::parseField("a10"));
    EXPECT_EQ(Notation::move(Move{0, 0, 0, 0, MoveConvert}), "");
    EXPECT_EQ(Notation::move(Move{8, 8, 9, 9, MoveSplit}), "");
}

} // namespace
