// Network play over real ENet on the loopback: a server on a free port,
// driven on the test's thread between the clients' service calls, so that
// nothing waits on another thread's pace.
#include "base/version.h"
#include "clientmessages.h"
#include "net/codec.h"
#include "net/gamestore.h"
#include "net/netclient.h"
#include "net/server.h"
#include "support/logcapture.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <enet/enet.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace sporrik::wire;
using Protocol::ErrorCode;
using Type = NetClient::Event::Type;

constexpr auto kDeadline = std::chrono::seconds(10);

std::unique_ptr<Server> makeServer(const std::string& db = ":memory:", uint16_t port = 0,
                                   ServerLimits limits = ServerLimits()) {
    Server::Options options;
    options.port = port;
    options.limits = limits;
    return std::make_unique<Server>(options, std::make_unique<GameStore>(db));
}

// A NetClient and every event it gave.
struct Player {
    explicit Player(NetClient::Options options = NetClient::Options())
        : client(nullptr, std::move(options)) {}
    void service() {
        client.service();
        while (auto event = client.nextEvent()) {
            events.push_back(*event);
        }
    }
    const NetClient::Event* last(Type type) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->type == type) {
                return &*it;
            }
        }
        return nullptr;
    }
    int count(Type type) const {
        int n = 0;
        for (const auto& event : events) {
            n += event.type == type;
        }
        return n;
    }
    NetClient client;
    std::vector<NetClient::Event> events;
};

// A peer that sends whatever bytes it is given, as a hostile program would.
class RawPeer {
public:
    explicit RawPeer(uint16_t port) {
        host = enet_host_create(nullptr, 1, Protocol::kChannels, 0, 0);
        host->checksum = enet_crc32; // as the server's own clients: the server drops datagrams without it
        ENetAddress address{};
        enet_address_set_host(&address, "127.0.0.1");
        address.port = port;
        peer = enet_host_connect(host, &address, Protocol::kChannels, 0);
    }
    ~RawPeer() {
        enet_peer_disconnect_now(peer, 0);
        enet_host_destroy(host);
    }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    void send(const std::string& bytes) {
        enet_peer_send(peer, 0, enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
    }
    void service() {
        ENetEvent event;
        while (enet_host_service(host, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                connected = true;
            } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                if (auto m = Codec::decodeServer(event.packet->data, event.packet->dataLength)) {
                    received.push_back(*m);
                }
                enet_packet_destroy(event.packet);
            } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                dropped = true;
            }
        }
    }
    std::vector<ErrorCode> errors() const {
        std::vector<ErrorCode> codes;
        for (const ServerMessage& m : received) {
            if (m.has_error()) {
                codes.push_back(static_cast<ErrorCode>(m.error().code()));
            }
        }
        return codes;
    }

    bool connected = false;
    bool dropped = false;
    std::vector<ServerMessage> received;

private:
    ENetHost* host;
    ENetPeer* peer;
};

// Services the server and everything given until done holds or the deadline passes.
bool until(Server& server, const std::vector<std::function<void()>>& others,
           const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
        server.serviceOnce(1);
        for (const auto& service : others) {
            service();
        }
        if (done()) {
            return true;
        }
    }
    return false;
}

std::string encoded(const ClientMessage& m) {
    return Codec::encode(m);
}

// Two players at one game: a creates, b joins by the code.
struct Table {
    explicit Table(Server& server) : server(server) {
        a.client.connect("127.0.0.1", server.port());
        a.client.createGame();
        EXPECT_TRUE(run([&] { return a.last(Type::GameCreated) != nullptr; }));
        code = a.client.joinCode();
        b.client.connect("127.0.0.1", server.port());
        b.client.joinGame(code);
        EXPECT_TRUE(run([&] { return b.last(Type::Joined) != nullptr && a.count(Type::SeatState) == 1; }));
    }
    bool run(const std::function<bool()>& done, std::vector<std::function<void()>> more = {}) {
        more.push_back([this] { a.service(); });
        more.push_back([this] { b.service(); });
        return until(server, more, done);
    }
    // The player to move plays; true once both copies took it.
    bool move(const std::string& notation) {
        Player& mover = a.client.game().toMove() == a.client.seat() ? a : b;
        const size_t number = a.client.game().moves().size() + 1;
        EXPECT_TRUE(mover.client.play(notation));
        return run([&] {
            return a.client.game().moves().size() == number && b.client.game().moves().size() == number;
        });
    }
    Server& server;
    Player a;
    Player b;
    std::string code;
};

TEST(NetPlay, CreateJoinWatchAndPlay_EveryoneSeesTheSameGame_AMoveOutOfTurnIsRefusedToItsSenderAlone) {
    const auto server = makeServer();
    Table table(*server);
    EXPECT_EQ(table.a.client.seat(), 1);
    EXPECT_EQ(table.b.client.seat(), 2);
    EXPECT_EQ(table.a.last(Type::SeatState)->presence, Protocol::SeatPresence::Connected);
    Player watcher;
    watcher.client.connect("127.0.0.1", server->port());
    watcher.client.watchGame(table.code);
    ASSERT_TRUE(table.run([&] { return watcher.last(Type::Position) != nullptr; }, {[&] {
                              watcher.service();
                          }}));

    ASSERT_TRUE(table.move("a1b2"));
    EXPECT_TRUE(table.b.client.play("b2c3")); // player 1's figure: the server judges
    ASSERT_TRUE(table.run([&] { return table.b.last(Type::Error) != nullptr; }));
    EXPECT_EQ(table.b.last(Type::Error)->code, static_cast<uint32_t>(ErrorCode::IllegalMove));
    EXPECT_TRUE(table.a.client.play("b2c3")); // not player 1's turn
    ASSERT_TRUE(table.run([&] { return table.a.last(Type::Error) != nullptr; }));
    EXPECT_EQ(table.a.last(Type::Error)->code, static_cast<uint32_t>(ErrorCode::NotYourTurn));
    EXPECT_EQ(table.b.count(Type::Error), 1);
    ASSERT_TRUE(table.move("i9h8"));
    ASSERT_TRUE(table.run([&] { return watcher.client.game().moves().size() == 2; }, {[&] {
                              watcher.service();
                          }}));
    EXPECT_EQ(watcher.client.game().hash(), table.a.client.game().hash());
    EXPECT_EQ(table.a.last(Type::MoveAccepted)->hash, table.b.client.game().hash());

    EXPECT_TRUE(table.b.client.resign());
    ASSERT_TRUE(table.run([&] { return watcher.last(Type::GameOver) && table.a.last(Type::GameOver); }, {[&] {
                              watcher.service();
                          }}));
    EXPECT_EQ(watcher.last(Type::GameOver)->winner, 1);
    EXPECT_EQ(watcher.last(Type::GameOver)->reason, Protocol::EndReason::Resigned);
}

TEST(NetPlay, TakeBack_OnTheOpponentsYes_BothCopiesGoBack) {
    const auto server = makeServer();
    Table table(*server);
    ASSERT_TRUE(table.move("a1b2"));
    const uint64_t afterFirst = table.a.client.game().hash();
    ASSERT_TRUE(table.move("i9h8"));
    EXPECT_TRUE(table.b.client.askTakeBack());
    ASSERT_TRUE(table.run([&] { return table.a.last(Type::TakeBackAsked) != nullptr; }));
    EXPECT_EQ(table.a.last(Type::TakeBackAsked)->seat, 2);
    EXPECT_TRUE(table.a.client.answerTakeBack(true));
    ASSERT_TRUE(table.run(
        [&] { return table.b.last(Type::TakeBackAnswered) && table.a.last(Type::TakeBackAnswered); }));
    EXPECT_EQ(table.a.client.game().hash(), afterFirst);
    EXPECT_EQ(table.b.client.game().hash(), afterFirst);
    EXPECT_EQ(table.b.client.game().toMove(), 2);
    EXPECT_EQ(table.a.count(Type::Position), 1); // no resync was needed
}

// Each case a fresh peer; the game beside it must not change, and another
// game goes on being served between the cases.
TEST(NetPlay, HostileMessages_AreRefused_NoGameChanges_TheServerServesOn) {
    ServerLimits limits;
    limits.joinBurst = 100; // every case here joins from the same address
    const auto server = makeServer(":memory:", 0, limits);
    Table attacked(*server);
    ASSERT_TRUE(attacked.move("a1b2"));
    const uint64_t hash = attacked.a.client.game().hash();
    Table other(*server);
    const std::vector<std::string> otherMoves = {"a1b2", "i9h8", "b2c3", "h8g7",
                                                 "a1a2", "i9i8", "c3d3", "g7f7"};
    ClientMessage watch;
    watch.mutable_watch_game()->set_code(attacked.code);
    ClientMessage join;
    join.mutable_join_game()->set_code(attacked.code);
    ClientMessage nowhere;
    nowhere.mutable_join_game()->set_code("ZZZ-ZZZ-ZZZ");
    ClientMessage foreignToken;
    foreignToken.mutable_rejoin()->set_token(std::string(Protocol::kTokenBytes, '\0'));
    ClientMessage create;
    create.mutable_create_game();
    ClientMessage otherSeat;
    otherSeat.mutable_rejoin()->set_token(NetClient::tokenFromText(other.a.client.token()).value_or(""));
    const std::string move = encoded(play("i9h8", 2));
    const struct {
        const char* name;
        std::vector<std::string> messages;
        ErrorCode error;
        bool dropped;
    } cases[] = {
        {"a move before the hello", {move}, ErrorCode::HelloFirst, true},
        {"garbage before the hello", {"\xff\xff\xff"}, ErrorCode::BadMessage, true},
        {"a second hello", {encoded(hello()), encoded(hello())}, ErrorCode::SecondHello, false},
        {"an oversized message",
         {encoded(hello()), std::string(1000, 'x')},
         ErrorCode::MessageTooLarge,
         false},
        {"a truncated move",
         {encoded(hello()), move.substr(0, move.size() - 2)},
         ErrorCode::BadMessage,
         false},
        {"an empty message", {encoded(hello()), ""}, ErrorCode::BadMessage, false},
        {"a move in no game", {encoded(hello()), move}, ErrorCode::NotInGame, false},
        {"a spectator's move", {encoded(hello()), encoded(watch), move}, ErrorCode::Spectator, false},
        {"joining a full game", {encoded(hello()), encoded(join)}, ErrorCode::GameFull, false},
        {"a code of no game", {encoded(hello()), encoded(nowhere)}, ErrorCode::UnknownCode, false},
        {"a token of no game", {encoded(hello()), encoded(foreignToken)}, ErrorCode::UnknownToken, false},
        {"creating while watching",
         {encoded(hello()), encoded(watch), encoded(create)},
         ErrorCode::AlreadyInGame,
         false},
    };
    size_t served = 0;
    for (const auto& c : cases) {
        RawPeer peer(server->port());
        ASSERT_TRUE(attacked.run([&] { return peer.connected; }, {[&] {
                                     peer.service();
                                 }}))
            << c.name;
        for (const std::string& message : c.messages) {
            peer.send(message);
        }
        ASSERT_TRUE(attacked.run(
            [&] {
                const auto errors = peer.errors();
                return !errors.empty() && (!c.dropped || peer.dropped);
            },
            {[&] { peer.service(); }, [&] { other.a.service(); },
             [&] {
                 other.b.service();
             }}))
            << c.name;
        EXPECT_EQ(peer.errors(), std::vector<ErrorCode>{c.error}) << c.name;
        EXPECT_EQ(attacked.a.client.game().hash(), hash) << c.name;
        if (served < otherMoves.size()) {
            EXPECT_TRUE(other.move(otherMoves[served++])) << c.name;
        }
    }
    // Nothing reached the attacked game: its players saw no error and it goes on.
    EXPECT_EQ(attacked.a.count(Type::Error) + attacked.b.count(Type::Error), 0);
    ASSERT_TRUE(attacked.move("i9h8"));
    EXPECT_EQ(attacked.a.client.game().moves().size(), 2u);
}

TEST(NetPlay, GuessingJoinCodes_IsStoppedByTheRateLimit_EvenTheRightCodeThen) {
    ServerLimits limits;
    limits.joinRate = 1e-6; // no token comes back during the test
    const auto server = makeServer(":memory:", 0, limits);
    Table table(*server);
    RawPeer guesser(server->port());
    ASSERT_TRUE(table.run([&] { return guesser.connected; }, {[&] {
                              guesser.service();
                          }}));
    guesser.send(encoded(hello()));
    const int guesses = 30;
    for (int i = 0; i < guesses; ++i) {
        ClientMessage guess;
        guess.mutable_join_game()->set_code("ABC-DEF-" +
                                            std::string(1, "23456789ABCDEFGHJKMNPQRSTUVWXYZ"[i]) + "Z");
        guesser.send(encoded(guess));
    }
    ClientMessage right;
    right.mutable_watch_game()->set_code(table.code);
    guesser.send(encoded(right));
    ASSERT_TRUE(table.run([&] { return guesser.errors().size() == guesses + 1; }, {[&] {
                              guesser.service();
                          }}));
    const std::vector<ErrorCode> errors = guesser.errors();
    // The address's burst, less the second player's join, is spent at once:
    // the rest, the right code among them, is refused unread.
    const auto joinBurst = static_cast<size_t>(limits.joinBurst);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), ErrorCode::UnknownCode),
              static_cast<long>(joinBurst - 1));
    EXPECT_EQ(std::count(errors.begin(), errors.end(), ErrorCode::JoinsLimited),
              static_cast<long>(guesses + 1 - (joinBurst - 1)));
    EXPECT_EQ(errors.back(), ErrorCode::JoinsLimited);
}

TEST(NetPlay, AnotherProtocolVersion_IsRefusedWithBothVersionsOnBothSides) {
    const auto server = makeServer();
    LogCapture log;
    NetClient::Options options;
    options.protocol = Version::kProtocol + 1;
    options.gameVersion = "9.9.9";
    Player newer(options);
    newer.client.connect("127.0.0.1", server->port());
    newer.client.createGame();
    ASSERT_TRUE(until(*server, {[&] {
        newer.service();
    }},
                      [&] { return newer.last(Type::VersionRefused); }));
    const std::string text = newer.last(Type::VersionRefused)->text;
    const std::string ours =
        std::string("Sporrik ") + Version::kGame + " (protocol " + std::to_string(Version::kProtocol) + ")";
    const std::string theirs = "Sporrik 9.9.9 (protocol " + std::to_string(Version::kProtocol + 1) + ")";
    EXPECT_NE(text.find(ours), std::string::npos) << text;
    EXPECT_NE(text.find(theirs), std::string::npos) << text;
    EXPECT_EQ(newer.client.state(), NetClient::State::Closed);
    std::string logged;
    for (const std::string& message : log.messages()) {
        logged += message;
    }
    // The log wraps long lines: compare without the wrapping marks.
    logged.erase(std::remove(logged.begin(), logged.end(), '\\'), logged.end());
    EXPECT_NE(logged.find(theirs), std::string::npos) << logged;
    EXPECT_EQ(newer.count(Type::GameCreated) + newer.count(Type::Reconnecting), 0);
}

TEST(NetPlay, AServerRestartOnTheSameDatabase_PlayersReconnectWithTheirTokensAndPlayOn) {
    TempDir dir;
    const std::string db = dir.file("server.db");
    auto server = makeServer(db);
    const uint16_t port = server->port();
    auto table = std::make_unique<Table>(*server);
    ASSERT_TRUE(table->move("a1b2"));
    ASSERT_TRUE(table->move("i9h8"));
    const uint64_t hash = table->a.client.game().hash();
    server.reset();
    Player& a = table->a;
    Player& b = table->b;
    server = makeServer(db, port);
    ASSERT_TRUE(until(*server,
                      {[&] { a.service(); },
                       [&] {
                           b.service();
                       }},
                      [&] {
                          return a.count(Type::Position) == 2 && b.count(Type::Position) == 2 &&
                                 a.client.state() == NetClient::State::Seated &&
                                 b.client.state() == NetClient::State::Seated;
                      }));
    EXPECT_GE(a.count(Type::Reconnecting), 1);
    EXPECT_EQ(a.client.game().hash(), hash);
    EXPECT_EQ(b.client.game().moves().size(), 2u);
    EXPECT_TRUE(a.client.play("b2c3"));
    ASSERT_TRUE(until(*server,
                      {[&] { a.service(); },
                       [&] {
                           b.service();
                       }},
                      [&] { return b.client.game().moves().size() == 3; }));
    EXPECT_EQ(a.client.game().hash(), b.client.game().hash());
}

} // namespace
