#pragma once

#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <queue>
#include <random>
#include <string>
#include <thread>
#include <vector>

// A UDP relay on the loopback between ENet clients and a server that treats
// their datagrams as a bad network does: it drops some, holds each one back
// for a while, sends some twice, and so delivers them out of order. Clients
// send to port(); each client address gets a socket of its own towards the
// server, so the server sees one peer address per client address. Runs on a
// thread of its own from construction to destruction. Test code: the game
// never goes through it.
class LossyProxy {
public:
    struct Faults {
        double drop = 0.2;       // share of the datagrams lost, each way
        double minDelay = 0.1;   // seconds each datagram is held back, drawn
        double maxDelay = 0.3;   // uniformly from this range
        double duplicate = 0.05; // share of the datagrams sent twice, each copy delayed on its own
        uint32_t seed = 1;
    };
    struct Counts {
        uint64_t received = 0;   // datagrams taken in, both ways
        uint64_t dropped = 0;    // of them never sent on
        uint64_t duplicated = 0; // sent twice
        uint64_t reordered = 0;  // sent on after a datagram that came in later the same way
    };

    // Throws std::runtime_error when a socket cannot be had.
    LossyProxy(uint16_t serverPort, const Faults& faults);
    ~LossyProxy();
    LossyProxy(const LossyProxy&) = delete;
    LossyProxy& operator=(const LossyProxy&) = delete;

    uint16_t port() const { return frontPort; }
    Counts counts() const;

private:
    // A datagram waiting for its moment.
    struct Held {
        double due;
        uint64_t sequence; // order of arrival on its way
        int socket;        // sends it
        sockaddr_in to;
        std::string bytes;
        bool toServer;
        bool operator>(const Held& other) const { return due > other.due; }
    };

    void run();
    void receive(int socket, bool fromClient);
    void deliverDue(double now);
    int backSocketFor(const sockaddr_in& client);

    Faults faults;
    sockaddr_in server{};
    int front = -1;
    uint16_t frontPort = 0;
    std::map<uint64_t, int> backs;       // client address and port -> its socket to the server
    std::map<int, sockaddr_in> clientOf; // a back socket -> the client it speaks for
    std::priority_queue<Held, std::vector<Held>, std::greater<>> held;
    std::mt19937 random;
    uint64_t arrivals[2] = {0, 0};  // per way: to the server, to the clients
    uint64_t delivered[2] = {0, 0}; // per way: the highest arrival sent on so far, plus one
    mutable std::mutex countsMutex;
    Counts tally;
    std::atomic<bool> stopping{false};
    std::thread thread;
};
