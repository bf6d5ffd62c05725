#pragma once

#include "net/gameroom.h"
#include "net/randombytes.h"
#include "net/ratelimiter.h"
#include "net/wire.pb.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class GameStore;

// The limits a server keeps; the defaults are what sporrik-server runs with.
struct ServerLimits {
    size_t maxGames = 5000;                          // open games at once
    double awayLimit = 24 * 60 * 60;                 // seconds a seated player may stay away
    double helloDeadline = 10;                       // seconds from connecting to the hello
    double idleLimit = 10 * 60;                      // seconds of silence before a peer is dropped
    double messageRate = 30, messageBurst = 60;      // messages a second per peer
    int maxRefusals = 100;                           // refused messages before a peer is dropped
    double joinRate = 0.2, joinBurst = 5;            // join, watch and rejoin attempts a second per address
    double failedJoinRate = 2, failedJoinBurst = 20; // failed ones a second on the whole server
    size_t maxWatchers = 16;                         // spectators per game
};

// The server's whole protocol as plain logic, without sockets: peers come,
// send packets and go; every answer lands in an outbox that the transport
// sends once the turn's writes are committed. Each game lives in a GameRoom
// and is kept in the GameStore. Times are seconds of a steady clock, given
// by the caller.
class ServerLogic {
public:
    using PeerId = uint32_t;

    struct Outgoing {
        PeerId peer = 0;
        std::string bytes;
    };

    // Not owned: the store outlives the logic.
    ServerLogic(GameStore& store, const ServerLimits& limits, RandomBytes::Source random = RandomBytes::fill);
    ~ServerLogic();
    ServerLogic(const ServerLogic&) = delete;
    ServerLogic& operator=(const ServerLogic&) = delete;

    // Loads every open game of the store; every seated player counts as away
    // from now. Returns how many were loaded; a game whose moves the rules
    // refuse is logged and left in the store.
    size_t loadGames(double now);

    // address: the peer's IPv4 address, the key of the join rate limit.
    void connect(PeerId peer, uint32_t address, double now);
    void disconnect(PeerId peer, double now);
    void receive(PeerId peer, const uint8_t* data, size_t size, double now);
    // Drops peers silent too long, ends games whose players stayed away past
    // the limit, unloads finished games nobody looks at.
    void tick(double now);
    // Tells every peer that the server stops.
    // Says farewell (ShuttingDown, or HostLeft for a server a player hosts).
    void shutdown(Protocol::ErrorCode farewell = Protocol::ErrorCode::ShuttingDown);

    // What to send, in order, since the last call.
    std::vector<Outgoing> takeOutbox();
    // Peers to disconnect once their last messages are sent.
    std::vector<PeerId> takeClosing();

    size_t countGames() const { return games.size(); }
    size_t countPeers() const { return peers.size(); }
    uint64_t countMoves() const { return movesPlayed; }
    // Tests: the room of a game by its code, null when not loaded.
    const GameRoom* findRoom(const std::string& code) const;

private:
    struct Game;
    struct Peer;
    enum class Role { None, Player, Watcher };

    void handle(Peer& peer, const sporrik::wire::ClientMessage& message, double now);
    void hello(Peer& peer, const sporrik::wire::Hello& message);
    void createGame(Peer& peer, uint32_t seat);
    void joinGame(Peer& peer, const std::string& typed, bool watch, double now);
    void rejoin(Peer& peer, const std::string& token, double now);
    void playMove(Peer& peer, const sporrik::wire::PlayMove& message);
    void askTakeBack(Peer& peer);
    void answerTakeBack(Peer& peer, bool agree);
    void resign(Peer& peer);
    void seat(Peer& peer, Game& game, int seat, bool created);
    void watch(Peer& peer, Game& game);
    void leaveGame(Peer& peer, double now);
    bool allowJoin(Peer& peer, double now);
    void failedJoin(Peer& peer, Protocol::ErrorCode code, double now);

    Game* gameOf(const Peer& peer);
    Game* loadStored(const GameRoom::Result& result, int64_t id, const std::string& code,
                     const std::array<std::string, GameRoom::kSeats>& tokens,
                     const std::vector<std::string>& moves, double now);
    void unloadIfUnwatched(Game& game);
    void endGame(Game& game);
    sporrik::wire::ServerMessage position(const Game& game, int yourSeat) const;
    void send(PeerId peer, const sporrik::wire::ServerMessage& message);
    void sendToGame(const Game& game, const sporrik::wire::ServerMessage& message, PeerId except = 0);
    void refuse(Peer& peer, Protocol::ErrorCode code);
    void close(Peer& peer);
    std::string newToken();

    GameStore& store; // not owned
    ServerLimits limits;
    RandomBytes::Source random;
    std::unordered_map<PeerId, Peer> peers;
    std::unordered_map<int64_t, std::unique_ptr<Game>> games;
    std::unordered_map<std::string, int64_t> gamesByCode;
    std::unordered_map<std::string, std::pair<int64_t, int>> seatsByToken;
    std::unordered_map<uint32_t, RateLimiter> joinsByAddress;
    RateLimiter failedJoins;
    std::vector<Outgoing> outbox;
    std::vector<PeerId> closing;
    uint64_t movesPlayed = 0;
    size_t openGames = 0;
};
