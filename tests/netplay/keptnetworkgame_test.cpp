#include "netplay/keptnetworkgame.h"

#include <gtest/gtest.h>

namespace {

KeptNetworkGame sample() {
    KeptNetworkGame game;
    game.server = {"192.168.1.20", 47000};
    game.code = "KTR4QXM7P";
    game.token = std::string(32, 'a');
    game.seat = 2;
    game.hosted = true;
    game.moves = {"a1b2", "i9h8", "a1c3"};
    return game;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(KeptNetworkGame, Written_ReadsBackTheSame) {
    KeptNetworkGame empty = sample();
    empty.moves.clear();
    empty.hosted = false;
    for (const KeptNetworkGame& game : {sample(), empty}) {
        std::string reason;
        const auto read = KeptNetworkGame::parse(game.format(), reason);
        ASSERT_TRUE(read) << reason;
        EXPECT_TRUE(*read == game);
    }
}

TEST(KeptNetworkGame, Damaged_RefusedWithTheReason) {
    const std::string valid = sample().format();
    const struct {
        std::string text;
        const char* reason;
    } cases[] = {
        {replaced(valid, "seat = 2", "seat = 3"), "seat"},
        {replaced(valid, "port = 47000", "port = 0"), "port"},
        {replaced(valid, "server = 192.168.1.20", "server = a..b"), "[network] server is not a host name"},
        {replaced(valid, "code = KTR4QXM7P", "code = KTR-4QX-M7P"), "[network] code is not a join code"},
        {replaced(valid, "code = KTR4QXM7P", "code = KTR4QXM7"), "[network] code is not a join code"},
        {replaced(valid, "token = a", "token = g"), "[network] token is not a seat token"},
        {replaced(valid, "count = 3", "count = 2"), "[moves] does not hold 2 moves"},
        {replaced(valid, "count = 3", "count = 4"), "[moves] does not hold 4 moves"},
        // Player 2's move where player 1 is to move.
        {replaced(valid, "3 = a1c3", "3 = i9g7"), "[moves] 3 is not a move the rules take there"},
        {replaced(valid, "hosted = yes", "hosted = maybe"), "hosted"},
        // Cut short: the last section's keys are missing.
        {valid.substr(0, valid.find("token =")), "token"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.text, valid) << c.reason;
        std::string reason;
        EXPECT_FALSE(KeptNetworkGame::parse(c.text, reason)) << c.reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

} // namespace
