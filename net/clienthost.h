#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct _ENetHost;
class NetClient;

// One ENet host (one UDP socket) that carries the connections of one or many
// NetClients: a benchmark runs thousands of clients on a few of these
// instead of a socket each. Not thread-safe: one thread services the host
// and its clients.
class ClientHost {
public:
    // Throws InstantiationException when ENet cannot make the host.
    explicit ClientHost(size_t maxConnections = 1);
    // Its clients must be gone first.
    ~ClientHost();
    ClientHost(const ClientHost&) = delete;
    ClientHost& operator=(const ClientHost&) = delete;

    // Sends what the clients queued, receives (waiting up to timeoutMs for
    // the first packet), hands each event to its client, then runs every
    // client's timers (reconnects, keep-alives).
    void service(uint32_t timeoutMs = 0);

private:
    friend class NetClient;
    void add(NetClient* client);
    void remove(NetClient* client);

    _ENetHost* host = nullptr;
    std::vector<NetClient*> clients; // not owned: each registers itself for its life
};
