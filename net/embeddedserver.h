#pragma once

#include "net/landiscovery.h"
#include "net/server.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

// The server run inside the game, on a thread of its own, for a player who
// hosts: the same Server as sporrik-server, started and stopped by its
// owner. Without settings it takes the default port and keeps its games in
// <$XDG_STATE_HOME>/sporrik/hosted.db. A database it cannot read is moved
// aside as hosted.db.bad (the log says why) and a fresh one is started.
// While it runs it answers the local network's queries (LanDiscovery) for
// the game its owner advertises, and when it stops its players are told
// that the host left.
class EmbeddedServer {
public:
    static constexpr const char* kDatabaseName = "hosted.db";

    // options.databasePath empty: the default above.
    explicit EmbeddedServer(Server::Options options = {}, uint16_t discoveryPort = LanDiscovery::kPort);
    // Stops the thread and closes the database.
    ~EmbeddedServer();
    EmbeddedServer(const EmbeddedServer&) = delete;
    EmbeddedServer& operator=(const EmbeddedServer&) = delete;

    // Opens the database, binds the port and starts serving. False, with
    // the reason in error() and logged, when the port cannot be had or no
    // database can be made.
    bool start();
    // Tells the peers, stops the thread, closes the database; nothing when
    // not running.
    void stop();
    bool isRunning() const { return thread.joinable(); }
    // The bound port, valid while running.
    uint16_t port() const { return boundPort; }
    const std::string& error() const { return failure; }
    const std::string& databasePath() const { return options.databasePath; }
    // The game the local network's queries are answered with (a canonical
    // join code), until withdrawn; nothing is answered without one.
    void advertise(const std::string& code);
    void withdraw();

private:
    std::unique_ptr<GameStore> openStore();

    Server::Options options;
    std::unique_ptr<Server> server;
    std::thread thread;
    uint16_t discoveryPort;
    LanDiscovery::Responder responder;
    std::thread answering;
    std::atomic<bool> stopping{false};
    uint16_t boundPort = 0;
    std::string failure;
};
