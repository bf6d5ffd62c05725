#include "lossyproxy.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

// The longest the relay waits with nothing held, so that a stop is seen soon.
constexpr int kIdleWaitMs = 50;
// Larger than any datagram ENet sends (its largest MTU is 4096).
constexpr size_t kMaxDatagram = 65536;
constexpr double kMillisecondsPerSecond = 1000;

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// A non-blocking UDP socket bound to a free loopback port.
int boundSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_in any = loopback(0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        const std::string reason = std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::runtime_error("proxy socket: " + reason);
    }
    return fd;
}

uint64_t key(const sockaddr_in& address) {
    return (static_cast<uint64_t>(address.sin_addr.s_addr) << 16) | address.sin_port;
}

} // namespace

LossyProxy::LossyProxy(uint16_t serverPort, const Faults& faults)
    : faults(faults), server(loopback(serverPort)), random(faults.seed) {
    front = boundSocket();
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    ::getsockname(front, reinterpret_cast<sockaddr*>(&bound), &size);
    frontPort = ntohs(bound.sin_port);
    thread = std::thread([this] { run(); });
}

LossyProxy::~LossyProxy() {
    stopping = true;
    thread.join();
    for (const auto& [client, fd] : backs) {
        ::close(fd);
    }
    ::close(front);
}

LossyProxy::Counts LossyProxy::counts() const {
    const std::lock_guard<std::mutex> lock(countsMutex);
    return tally;
}

void LossyProxy::run() {
    std::vector<pollfd> fds;
    while (!stopping) {
        int waitMs = kIdleWaitMs;
        if (!held.empty()) {
            const double untilDue = std::ceil((held.top().due - steadyNow()) * kMillisecondsPerSecond);
            waitMs = static_cast<int>(std::clamp(untilDue, 0.0, static_cast<double>(kIdleWaitMs)));
        }
        fds.assign(1, pollfd{front, POLLIN, 0});
        for (const auto& [client, fd] : backs) {
            fds.push_back(pollfd{fd, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), waitMs) > 0) {
            for (const pollfd& ready : fds) {
                if ((ready.revents & POLLIN) != 0) {
                    receive(ready.fd, ready.fd == front);
                }
            }
        }
        deliverDue(steadyNow());
    }
}

void LossyProxy::receive(int socket, bool fromClient) {
    std::string bytes(kMaxDatagram, '\0');
    for (;;) {
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const ssize_t got =
            ::recvfrom(socket, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), &size);
        if (got < 0) {
            return;
        }
        // Only the server speaks to the sockets towards it.
        if (!fromClient && key(from) != key(server)) {
            continue;
        }
        const int way = fromClient ? 0 : 1;
        const uint64_t sequence = arrivals[way]++;
        Held datagram{0,
                      sequence,
                      fromClient ? backSocketFor(from) : front,
                      fromClient ? server : clientOf.at(socket),
                      bytes.substr(0, static_cast<size_t>(got)),
                      fromClient};
        std::uniform_real_distribution<double> chance(0, 1);
        std::uniform_real_distribution<double> delay(faults.minDelay, faults.maxDelay);
        const std::lock_guard<std::mutex> lock(countsMutex);
        ++tally.received;
        if (chance(random) < faults.drop) {
            ++tally.dropped;
            continue;
        }
        const double now = steadyNow();
        if (chance(random) < faults.duplicate) {
            ++tally.duplicated;
            Held copy = datagram;
            copy.due = now + delay(random);
            held.push(std::move(copy));
        }
        datagram.due = now + delay(random);
        held.push(std::move(datagram));
    }
}

void LossyProxy::deliverDue(double now) {
    while (!held.empty() && held.top().due <= now) {
        const Held& next = held.top();
        const int way = next.toServer ? 0 : 1;
        if (next.sequence + 1 < delivered[way]) {
            const std::lock_guard<std::mutex> lock(countsMutex);
            ++tally.reordered;
        }
        delivered[way] = std::max(delivered[way], next.sequence + 1);
        // A full socket buffer loses the datagram, as a real network would.
        ::sendto(next.socket, next.bytes.data(), next.bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&next.to), sizeof next.to);
        held.pop();
    }
}

int LossyProxy::backSocketFor(const sockaddr_in& client) {
    const auto it = backs.find(key(client));
    if (it != backs.end()) {
        return it->second;
    }
    const int fd = boundSocket();
    backs.emplace(key(client), fd);
    clientOf.emplace(fd, client);
    return fd;
}
