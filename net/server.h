#pragma once

#include "net/gamestore.h"
#include "net/protocol.h"
#include "net/serverlogic.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

struct _ENetHost;
struct _ENetPeer;
struct _ENetEvent;

// The server on the network: an ENet host on a UDP port, the ServerLogic
// that judges every packet, and the GameStore that keeps the games. One
// service turn takes in every waiting packet, commits what they changed in
// one transaction, and only then sends the answers, so that no move is
// acknowledged before it is kept. One thread drives it (the server's main
// thread or EmbeddedServer's).
class Server {
public:
    struct Options {
        // Empty: every interface.
        std::string bindAddress;
        // 0 takes a free port (tests); port() tells which.
        uint16_t port = Protocol::kDefaultPort;
        std::string databasePath;
        // Connections at once; ENet's own limit is 4095.
        size_t maxPeers = 4000;
        ServerLimits limits;
        // What the peers are told when the server stops.
        Protocol::ErrorCode farewell = Protocol::ErrorCode::ShuttingDown;
    };

    // Opens (or makes) the database at options.databasePath, unless a store
    // is given, loads its open games and binds the port. Throws
    // InstantiationException naming the reason: a database that is refused,
    // a port that cannot be had.
    explicit Server(const Options& options, std::unique_ptr<GameStore> store = nullptr);
    // Shuts down if that has not been done.
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    uint16_t port() const { return boundPort; }
    // One turn: waits up to timeoutMs for the first packet.
    void serviceOnce(uint32_t timeoutMs);
    // Runs turns until stop holds or the database fails, then shuts down.
    void run(const std::atomic<bool>& stop);
    // Tells every peer that the server stops, lets the words go out (for at
    // most a second) and closes the port. The database closes with the server.
    void shutdown();
    // A write to the database failed: the server must stop, since it can no
    // longer keep what it would acknowledge.
    bool hasFailed() const { return failed; }

    size_t countGames() const { return logic->countGames(); }
    size_t countPeers() const { return logic->countPeers(); }
    uint64_t countMoves() const { return logic->countMoves(); }

    // <$XDG_STATE_HOME or ~/.local/state>/sporrik/<fileName>; empty when
    // neither variable gives a folder.
    static std::string defaultDatabasePath(const std::string& fileName);
    // Makes the folder that will hold the file; false with the reason.
    static bool makeParentFolder(const std::string& path, std::string& reason);

private:
    void handleEvent(_ENetEvent& event, double now);
    void flushOutbox();

    std::unique_ptr<GameStore> store;
    Protocol::ErrorCode farewell;
    std::unique_ptr<ServerLogic> logic;
    _ENetHost* host = nullptr;
    uint16_t boundPort = 0;
    std::unordered_map<ServerLogic::PeerId, _ENetPeer*> enetPeers; // not owned: the host's
    ServerLogic::PeerId nextPeer = 0;
    double lastTick = 0;
    bool failed = false;
    bool stopped = false;
};
