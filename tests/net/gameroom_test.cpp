#include "net/gameroom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Protocol::EndReason;
using Protocol::ErrorCode;

// A game with both seats taken and the moves played in turn.
GameRoom roomAfter(const std::vector<std::string>& moves) {
    GameRoom room;
    room.take(1);
    room.take(2);
    for (size_t i = 0; i < moves.size(); ++i) {
        EXPECT_EQ(room.play(i % 2 == 0 ? 1 : 2, moves[i], static_cast<uint32_t>(i + 1)), ErrorCode::None)
            << moves[i];
    }
    return room;
}

TEST(RulesGame, SameMovesGiveTheSameHash_TakeBackGivesTheOldOneAndTheFigureMovesAgain) {
    RulesGame a;
    RulesGame b;
    const uint64_t start = a.hash();
    ASSERT_TRUE(a.play("a1b2"));
    ASSERT_TRUE(b.replay({"a1b2"}));
    EXPECT_EQ(a.hash(), b.hash());
    EXPECT_NE(a.hash(), start);
    EXPECT_EQ(a.toMove(), 2);
    ASSERT_TRUE(a.takeBack());
    EXPECT_EQ(a.hash(), start);
    EXPECT_EQ(a.toMove(), 1);
    // The board selects the figure again after a take-back; the next move of
    // that very figure must still land.
    EXPECT_TRUE(a.play("a1b2"));
    EXPECT_EQ(a.hash(), b.hash());
    // From the start: player 1's corner figure has 3 splits and 5 jumps.
    EXPECT_EQ(RulesGame().legalMoves(),
              (std::vector<std::string>{"a1b1", "a1c1", "a1a2", "a1b2", "a1c2", "a1a3", "a1b3", "a1c3"}));
    for (const std::string& move : b.legalMoves()) {
        EXPECT_TRUE(b.canPlay(move)) << move;
    }
    EXPECT_FALSE(b.replay({"a1b2", "a1c3"})); // player 2 to move
    EXPECT_TRUE(b.moves().empty());
    EXPECT_EQ(b.hash(), start);
}

TEST(GameRoom, RefusedMoves_NameTheirReasonAndChangeNothing) {
    const struct {
        int seat;
        const char* move;
        uint32_t number;
        ErrorCode error;
    } cases[] = {
        {2, "h8g7", 3, ErrorCode::NotYourTurn}, // player 1 is to move
        {1, "a1b1", 4, ErrorCode::WrongMoveNumber},
        {1, "a1b1", 2, ErrorCode::WrongMoveNumber}, // a resent move, already played
        {1, "a1b1", 3, ErrorCode::None},            // control: legal
        {1, "a1d4", 3, ErrorCode::IllegalMove},     // three steps
        {1, "h8g7", 3, ErrorCode::IllegalMove},     // the opponent's figure
        {1, "c3d4", 3, ErrorCode::IllegalMove},     // an empty field
        {1, "a1b2", 3, ErrorCode::IllegalMove},     // onto its own figure
        {1, "b2b2", 3, ErrorCode::IllegalMove},
        {1, "A1B1", 3, ErrorCode::IllegalMove},
        {1, "", 3, ErrorCode::IllegalMove},
    };
    for (const auto& c : cases) {
        GameRoom room = roomAfter({"a1b2", "i9h8"});
        const uint64_t hash = room.game().hash();
        EXPECT_EQ(room.play(c.seat, c.move, c.number), c.error) << c.move;
        if (c.error != ErrorCode::None) {
            EXPECT_EQ(room.game().hash(), hash) << c.move;
            EXPECT_EQ(room.game().moves().size(), 2u) << c.move;
        }
    }
    GameRoom alone;
    alone.take(1);
    EXPECT_EQ(alone.play(1, "a1b2", 1), ErrorCode::OpponentMissing);
    EXPECT_EQ(alone.play(2, "a1b2", 1), ErrorCode::NotInGame);
}

TEST(GameRoom, ResignEndsTheGame_NothingMovesAfterIt) {
    GameRoom room = roomAfter({"a1b2"});
    EXPECT_EQ(room.resign(2), ErrorCode::None);
    EXPECT_TRUE(room.result().finished);
    EXPECT_EQ(room.result().winner, 1);
    EXPECT_EQ(room.result().reason, EndReason::Resigned);
    EXPECT_EQ(room.play(2, "i9h8", 2), ErrorCode::GameOver);
    EXPECT_EQ(room.askTakeBack(1), ErrorCode::GameOver);
    EXPECT_EQ(room.resign(1), ErrorCode::GameOver);
    EXPECT_EQ(room.result().winner, 1);
}

TEST(GameRoom, TakeBack_NeedsTheOpponentsYes_AndTakesTheAskersMoveWithTheAnswerAfterIt) {
    GameRoom room = roomAfter({"a1b2"});
    const uint64_t start = RulesGame().hash();
    int removed = -1;
    EXPECT_EQ(room.askTakeBack(2), ErrorCode::NothingToTakeBack); // player 2 has not moved
    EXPECT_EQ(room.answerTakeBack(2, true, removed), ErrorCode::NoTakeBackAsked);
    EXPECT_EQ(room.askTakeBack(1), ErrorCode::None);
    EXPECT_EQ(room.askTakeBack(1), ErrorCode::TakeBackPending);
    EXPECT_EQ(room.answerTakeBack(1, true, removed), ErrorCode::OwnTakeBack);
    EXPECT_EQ(room.answerTakeBack(2, false, removed), ErrorCode::None);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(room.game().moves().size(), 1u);
    EXPECT_EQ(room.askTakeBack(1), ErrorCode::None);
    EXPECT_EQ(room.answerTakeBack(2, true, removed), ErrorCode::None);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(room.game().hash(), start);
    EXPECT_EQ(room.game().toMove(), 1);

    // After the opponent's answer the asker's move goes with it.
    GameRoom answered = roomAfter({"a1b2", "i9h8", "b2c3"});
    const uint64_t afterOne = roomAfter({"a1b2"}).game().hash();
    EXPECT_EQ(answered.askTakeBack(2), ErrorCode::None);
    EXPECT_EQ(answered.answerTakeBack(1, true, removed), ErrorCode::None);
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(answered.game().hash(), afterOne);
    EXPECT_EQ(answered.game().toMove(), 2);
}

TEST(GameRoom, AMoveDropsTheOpenTakeBack) {
    GameRoom room = roomAfter({"a1b2", "i9h8"});
    EXPECT_EQ(room.askTakeBack(1), ErrorCode::None);
    EXPECT_EQ(room.play(1, "b2c3", 3), ErrorCode::None);
    EXPECT_TRUE(room.droppedTakeBack());
    EXPECT_EQ(room.takeBackAskedBy(), 0);
    int removed = -1;
    EXPECT_EQ(room.answerTakeBack(2, true, removed), ErrorCode::NoTakeBackAsked);
    EXPECT_EQ(room.game().moves().size(), 3u);
}

TEST(GameRoom, AwayLimit_ThePresentPlayerWins_BothAwayOrAloneIsAbandoned) {
    const double limit = 100;
    GameRoom one = roomAfter({"a1b2"});
    one.leave(1, 10);
    EXPECT_EQ(one.presence(1), Protocol::SeatPresence::Away);
    EXPECT_FALSE(one.closeIfAway(109.9, limit));
    EXPECT_TRUE(one.closeIfAway(110, limit));
    EXPECT_EQ(one.result().winner, 2);
    EXPECT_EQ(one.result().reason, EndReason::Away);
    EXPECT_FALSE(one.closeIfAway(500, limit)); // ended once

    GameRoom back = roomAfter({"a1b2"});
    back.leave(2, 0);
    back.back(2);
    EXPECT_FALSE(back.closeIfAway(1000, limit));

    GameRoom both = roomAfter({});
    both.leave(1, 0);
    both.leave(2, 50);
    EXPECT_TRUE(both.closeIfAway(100, limit)); // seat 1 overdue, seat 2 still within: 2 wins
    EXPECT_EQ(both.result().winner, 2);
    GameRoom late = roomAfter({});
    late.leave(1, 0);
    late.leave(2, 0);
    EXPECT_TRUE(late.closeIfAway(100, limit));
    EXPECT_EQ(late.result().winner, 0);
    EXPECT_EQ(late.result().reason, EndReason::Abandoned);

    GameRoom alone;
    alone.take(1);
    alone.leave(1, 0);
    EXPECT_TRUE(alone.closeIfAway(limit, limit));
    EXPECT_EQ(alone.result().reason, EndReason::Abandoned);
}

TEST(GameRoom, MoveLimit_EndsTheGameOnItsLastMove_EqualFiguresDraw) {
    // Both sides jump to and fro in their corners, far from each other.
    const char* const cycle[] = {"a1a3", "i9i7", "a3a1", "i7i9"};
    GameRoom room;
    room.take(1);
    room.take(2);
    for (size_t i = 0; i < Protocol::kMaxMoves; ++i) {
        ASSERT_FALSE(room.result().finished) << i;
        ASSERT_EQ(room.play(i % 2 == 0 ? 1 : 2, cycle[i % 4], static_cast<uint32_t>(i + 1)), ErrorCode::None)
            << i;
    }
    EXPECT_TRUE(room.result().finished);
    EXPECT_EQ(room.result().reason, EndReason::MoveLimit);
    EXPECT_EQ(room.result().winner, 0);
}

TEST(GameRoom, TheBoardsResultEndsTheGame) {
    // Each side keeps one figure; player 1's last split lands next to player
    // 2's and converts it.
    GameRoom room = roomAfter({"a1c3", "i9i7", "c3e5", "i7i9", "e5g7", "i9i7", "g7h8"});
    EXPECT_TRUE(room.result().finished);
    EXPECT_EQ(room.result().winner, 1);
    EXPECT_EQ(room.result().reason, EndReason::Board);
    EXPECT_EQ(room.play(2, "f6f7", 8), ErrorCode::GameOver);
}

} // namespace
