#include "base/version.h"
#include "clientmessages.h"
#include "net/codec.h"
#include "net/gamestore.h"
#include "net/joincode.h"
#include "net/serverlogic.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace sporrik::wire;
using Protocol::ErrorCode;
using PeerId = ServerLogic::PeerId;

// A server's logic with peers that exchange decoded messages, turn by turn
// as the transport does: the store commits before anything is handed out.
class Harness {
public:
    explicit Harness(const std::string& path = ":memory:", ServerLimits limits = ServerLimits())
        : store(std::make_unique<GameStore>(path)), logic(std::make_unique<ServerLogic>(*store, limits)) {}

    void greet(PeerId peer, uint32_t address = 1) {
        logic->connect(peer, address, now);
        send(peer, hello());
    }
    void send(PeerId peer, const ClientMessage& message) {
        const std::string bytes = Codec::encode(message);
        logic->receive(peer, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), now);
        turn();
    }
    void turn() {
        ASSERT_TRUE(store->commit());
        for (const ServerLogic::Outgoing& out : logic->takeOutbox()) {
            const auto message =
                Codec::decodeServer(reinterpret_cast<const uint8_t*>(out.bytes.data()), out.bytes.size());
            ASSERT_TRUE(message);
            inbox[out.peer].push_back(*message);
        }
        for (const PeerId peer : logic->takeClosing()) {
            closed.insert(peer);
        }
    }
    // The error codes a peer received, in order.
    std::vector<ErrorCode> errors(PeerId peer) const {
        std::vector<ErrorCode> codes;
        if (const auto it = inbox.find(peer); it != inbox.end()) {
            for (const ServerMessage& m : it->second) {
                if (m.has_error()) {
                    codes.push_back(static_cast<ErrorCode>(m.error().code()));
                }
            }
        }
        return codes;
    }
    const Seated* seated(PeerId peer) const {
        for (const ServerMessage& m : inbox.at(peer)) {
            if (m.has_seated()) {
                return &m.seated();
            }
        }
        return nullptr;
    }
    // Peer 1 creates a game and peer 2 joins it; returns its code.
    std::string startGame() {
        greet(1);
        ClientMessage create;
        create.mutable_create_game();
        send(1, create);
        const std::string code = seated(1)->code();
        greet(2, 2);
        ClientMessage join;
        join.mutable_join_game()->set_code(code);
        send(2, join);
        return code;
    }

    std::unique_ptr<GameStore> store;
    std::unique_ptr<ServerLogic> logic;
    double now = 1000;
    std::map<PeerId, std::vector<ServerMessage>> inbox;
    std::set<PeerId> closed;
};

TEST(ServerLogic, BeforeTheHello_AnyOtherMessageIsRefusedAndThePeerDropped) {
    Harness h;
    h.logic->connect(1, 1, h.now);
    h.send(1, play("a1b2", 1));
    EXPECT_EQ(h.errors(1), std::vector<ErrorCode>{ErrorCode::HelloFirst});
    EXPECT_EQ(h.closed.count(1), 1u);
    h.send(1, hello()); // a closing peer is not heard any more
    EXPECT_EQ(h.inbox[1].size(), 1u);
}

TEST(ServerLogic, AHelloOfAnotherProtocol_IsAnsweredWithBothVersionsAndThePeerDropped) {
    Harness h;
    h.logic->connect(1, 1, h.now);
    ClientMessage other = hello();
    other.mutable_hello()->set_protocol(Version::kProtocol + 1);
    other.mutable_hello()->set_game_version("9.9.9\n");
    h.send(1, other);
    ASSERT_EQ(h.inbox[1].size(), 1u);
    const VersionRefused& refused = h.inbox[1][0].version_refused();
    EXPECT_EQ(refused.protocol(), Version::kProtocol);
    EXPECT_NE(refused.text().find(std::string("Sporrik ") + Version::kGame + " (protocol " +
                                  std::to_string(Version::kProtocol) + ")"),
              std::string::npos)
        << refused.text();
    EXPECT_NE(refused.text().find("Sporrik 9.9.9? (protocol " + std::to_string(Version::kProtocol + 1) + ")"),
              std::string::npos)
        << refused.text();
    EXPECT_EQ(h.closed.count(1), 1u);
}

TEST(ServerLogic, AwayPastTheLimit_ThePresentPlayerWins_AndTheResultIsKept) {
    Harness h;
    const std::string code = h.startGame();
    h.send(1, play("a1b2", 1));
    h.logic->disconnect(2, h.now);
    const double limit = ServerLimits().awayLimit;
    h.logic->tick(h.now + limit - 1);
    h.turn();
    EXPECT_FALSE(h.logic->findRoom(code)->result().finished);
    h.logic->tick(h.now + limit);
    h.turn();
    const ServerMessage& last = h.inbox[1].back();
    ASSERT_TRUE(last.has_game_over());
    EXPECT_EQ(last.game_over().winner(), 1u);
    EXPECT_EQ(last.game_over().reason(), static_cast<uint32_t>(Protocol::EndReason::Away));
    const auto kept = h.store->findByCode(*JoinCode::parse(code));
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->result.finished);
    EXPECT_EQ(kept->result.winner, 1);
    EXPECT_EQ(kept->moves, std::vector<std::string>{"a1b2"});
    EXPECT_TRUE(h.store->loadOpenGames().empty());
}

TEST(ServerLogic, ARestartContinuesAtTheLastCommittedMove_TheSeatTokenRejoins) {
    TempDir dir;
    const std::string path = dir.file("server.db");
    std::string code;
    std::string token;
    {
        Harness h(path);
        code = h.startGame();
        token = h.seated(2)->token();
        h.send(1, play("a1b2", 1));
        h.send(2, play("i9h8", 2));
        // A move taken in but never committed nor acknowledged: the crash's.
        const std::string bytes = Codec::encode(play("b2c3", 3));
        h.logic->receive(1, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), h.now);
    }
    Harness h(path);
    EXPECT_EQ(h.logic->loadGames(h.now), 1u);
    h.greet(7);
    ClientMessage rejoin;
    rejoin.mutable_rejoin()->set_token(token);
    h.send(7, rejoin);
    ASSERT_NE(h.seated(7), nullptr);
    EXPECT_EQ(h.seated(7)->seat(), 2u);
    const Position& position = h.inbox[7].back().position();
    EXPECT_EQ(std::vector<std::string>(position.moves().begin(), position.moves().end()),
              (std::vector<std::string>{"a1b2", "i9h8"}));
    EXPECT_EQ(position.seat1(), static_cast<uint32_t>(Protocol::SeatPresence::Away));
    EXPECT_EQ(position.seat2(), static_cast<uint32_t>(Protocol::SeatPresence::Connected));
}

TEST(ServerLogic, FailedJoinsFromManyAddresses_AreCappedForTheWholeServer) {
    Harness h;
    const std::string code = h.startGame();
    const ServerLimits limits;
    int unknown = 0;
    int limited = 0;
    for (PeerId peer = 10; peer < 10 + 2 * limits.failedJoinBurst; ++peer) {
        h.greet(peer, peer); // an address each: no single one reaches its own limit
        ClientMessage join;
        join.mutable_join_game()->set_code("ZZZ-ZZZ-ZZZ");
        h.send(peer, join);
        const std::vector<ErrorCode> errors = h.errors(peer);
        unknown += errors == std::vector<ErrorCode>{ErrorCode::UnknownCode};
        limited += errors == std::vector<ErrorCode>{ErrorCode::JoinsLimited};
    }
    EXPECT_EQ(unknown, static_cast<int>(limits.failedJoinBurst));
    EXPECT_EQ(limited, static_cast<int>(limits.failedJoinBurst));
}

TEST(ServerLogic, MessagesBeyondThePeersRate_AreRefused_ManyRefusalsDropIt) {
    Harness h;
    h.greet(1);
    ClientMessage ping;
    ping.mutable_ping();
    const ServerLimits limits;
    for (int i = 1; i < limits.messageBurst; ++i) {
        h.send(1, ping);
    }
    EXPECT_TRUE(h.errors(1).empty());
    h.send(1, ping);
    EXPECT_EQ(h.errors(1), std::vector<ErrorCode>{ErrorCode::RateLimited});
    for (int i = 0; i < limits.maxRefusals; ++i) {
        h.send(1, ping);
    }
    EXPECT_EQ(h.closed.count(1), 1u);
}

TEST(ServerLogic, APeerSilentPastTheHelloDeadline_IsDropped) {
    Harness h;
    h.logic->connect(1, 1, h.now);
    h.greet(2);
    h.logic->tick(h.now + ServerLimits().helloDeadline);
    h.turn();
    EXPECT_EQ(h.closed, std::set<PeerId>{1});
}

} // namespace
