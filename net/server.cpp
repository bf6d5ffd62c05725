#include "net/server.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/version.h"
#include "keep/keptfile.h"
#include "net/enetlibrary.h"
#include "net/gamestore.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <enet/enet.h>
#include <sys/stat.h>

namespace {

const char* const kSource = "Server";
// Events handled in one turn at most, so that the commit and the answers of
// a busy turn are never put off for long.
constexpr int kMaxEventsPerTurn = 4096;
// The limits' clock checks need not run every turn.
constexpr double kTickInterval = 0.25;
// ENet drops a peer whose reliable packets go unanswered this long
// (between the minimum and the maximum, by round trips: milliseconds).
constexpr enet_uint32 kTimeoutLimit = 32;
constexpr enet_uint32 kTimeoutMinimumMs = 5000;
constexpr enet_uint32 kTimeoutMaximumMs = 15000;
// A quiet peer is pinged this often rather than ENet's twice a second: with
// thousands of players waiting for their opponents, pings and their
// acknowledgements would take the time of moves.
constexpr enet_uint32 kPingIntervalMs = 2000;
// How long a shutdown waits for the peers to take their last words.
constexpr double kShutdownWaitSeconds = 1.0;
constexpr uint32_t kTurnMs = 100;
constexpr size_t kMaxPacketBytes = 16 * Protocol::kMaxClientMessageBytes;
constexpr size_t kMaxWaitingBytes = 4 * kMaxPacketBytes;
constexpr int kSocketBufferBytes = 4 * 1024 * 1024;

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

ServerLogic::PeerId idOf(const ENetPeer* peer) {
    return static_cast<ServerLogic::PeerId>(reinterpret_cast<uintptr_t>(peer->data));
}

} // namespace

Server::Server(const Options& options, std::unique_ptr<GameStore> given)
    : store(std::move(given)), farewell(options.farewell) {
    EnetLibrary::initialize();
    if (!store) {
        std::string reason;
        if (!makeParentFolder(options.databasePath, reason)) {
            throw InstantiationException(reason);
        }
        store = std::make_unique<GameStore>(options.databasePath);
    }
    logic = std::make_unique<ServerLogic>(*store, options.limits);
    const size_t loaded = logic->loadGames(steadyNow());

    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = options.port;
    if (!options.bindAddress.empty() && enet_address_set_host(&address, options.bindAddress.c_str()) != 0) {
        throw InstantiationException("address " + options.bindAddress + " cannot be resolved");
    }
    host = enet_host_create(&address, options.maxPeers, Protocol::kChannels, 0, 0);
    if (host == nullptr) {
        throw InstantiationException("UDP port " + std::to_string(options.port) +
                                     " cannot be bound (another server on it?)");
    }
    // Every datagram carries a CRC32 over its bytes and the connection's
    // 32-bit id (ENet's own checksum; both sides set it, see ClientHost): a
    // damaged datagram, or one of a connection that ended, is dropped. ENet
    // tells connections from one address apart by 2 bits otherwise, and
    // after a restart the stale packets of a client's old connection could
    // land on another client's new one from the same socket.
    host->checksum = enet_crc32;
    // ENet itself drops packets far beyond a message's size before it
    // gathers their fragments (the sender times out); those a little too
    // large reach the codec, which refuses them with a readable error.
    host->maximumPacketSize = kMaxPacketBytes;
    host->maximumWaitingData = kMaxWaitingBytes;
    // Thousands of peers share this one socket: ENet's 256 KiB buffers
    // overflow under a burst, and a dropped datagram costs a retransmission
    // (half a second and more). The kernel caps the size at net.core.rmem_max.
    enet_socket_set_option(host->socket, ENET_SOCKOPT_RCVBUF, kSocketBufferBytes);
    enet_socket_set_option(host->socket, ENET_SOCKOPT_SNDBUF, kSocketBufferBytes);
    ENetAddress bound{};
    enet_socket_get_address(host->socket, &bound);
    boundPort = bound.port;
    log(NOTE, kSource,
        std::string("sporrik-server ") + Version::kGame + " (protocol " + std::to_string(Version::kProtocol) +
            ") on UDP port " + std::to_string(boundPort) + ", " + std::to_string(loaded) +
            " open games loaded");
}

Server::~Server() {
    shutdown();
}

void Server::serviceOnce(uint32_t timeoutMs) {
    if (stopped) {
        return;
    }
    ENetEvent event;
    int handled = 0;
    while (handled < kMaxEventsPerTurn && enet_host_service(host, &event, handled == 0 ? timeoutMs : 0) > 0) {
        handleEvent(event, steadyNow());
        ++handled;
    }
    const double now = steadyNow();
    if (now - lastTick >= kTickInterval) {
        lastTick = now;
        logic->tick(now);
    }
    flushOutbox();
}

void Server::run(const std::atomic<bool>& stop) {
    while (!stop.load() && !failed) {
        serviceOnce(kTurnMs);
    }
    shutdown();
}

void Server::shutdown() {
    if (stopped) {
        return;
    }
    logic->shutdown(farewell);
    flushOutbox();
    stopped = true;
    const double deadline = steadyNow() + kShutdownWaitSeconds;
    ENetEvent event;
    while (!enetPeers.empty() && steadyNow() < deadline) {
        if (enet_host_service(host, &event, 10) > 0) {
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                enet_packet_destroy(event.packet);
            } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                enetPeers.erase(idOf(event.peer));
            }
        }
    }
    // Peers that did not take their last words in time are told at once.
    for (const auto& [id, peer] : enetPeers) {
        enet_peer_disconnect_now(peer, 0);
    }
    enetPeers.clear();
    enet_host_destroy(host);
    host = nullptr;
    if (!store->commit()) {
        log(ERROR, kSource, "the database failed at shutdown: " + store->error());
    }
    log(NOTE, kSource, "stopped");
}

void Server::handleEvent(ENetEvent& event, double now) {
    switch (event.type) {
    case ENET_EVENT_TYPE_CONNECT: {
        const ServerLogic::PeerId id = ++nextPeer;
        event.peer->data = reinterpret_cast<void*>(static_cast<uintptr_t>(id));
        enet_peer_timeout(event.peer, kTimeoutLimit, kTimeoutMinimumMs, kTimeoutMaximumMs);
        enet_peer_ping_interval(event.peer, kPingIntervalMs);
        enetPeers[id] = event.peer;
        logic->connect(id, event.peer->address.host, now);
        break;
    }
    case ENET_EVENT_TYPE_RECEIVE:
        logic->receive(idOf(event.peer), event.packet->data, event.packet->dataLength, now);
        enet_packet_destroy(event.packet);
        break;
    case ENET_EVENT_TYPE_DISCONNECT: {
        const ServerLogic::PeerId id = idOf(event.peer);
        logic->disconnect(id, now);
        enetPeers.erase(id);
        event.peer->data = nullptr;
        break;
    }
    case ENET_EVENT_TYPE_NONE:
        break;
    }
}

void Server::flushOutbox() {
    // Nothing is acknowledged that is not kept: the turn's writes first.
    if (!store->commit()) {
        if (!failed) {
            log(ERROR, kSource, "database write failed, stopping without acknowledging: " + store->error());
        }
        failed = true;
        logic->takeOutbox();
        logic->takeClosing();
        return;
    }
    for (ServerLogic::Outgoing& out : logic->takeOutbox()) {
        const auto it = enetPeers.find(out.peer);
        if (it == enetPeers.end()) {
            continue;
        }
        ENetPacket* packet =
            enet_packet_create(out.bytes.data(), out.bytes.size(), ENET_PACKET_FLAG_RELIABLE);
        if (packet != nullptr && enet_peer_send(it->second, 0, packet) != 0) {
            enet_packet_destroy(packet);
        }
    }
    for (const ServerLogic::PeerId id : logic->takeClosing()) {
        if (const auto it = enetPeers.find(id); it != enetPeers.end()) {
            enet_peer_disconnect_later(it->second, 0);
        }
    }
    enet_host_flush(host);
}

std::string Server::defaultDatabasePath(const std::string& fileName) {
    const std::string folder =
        KeptFile::folder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), ".local/state");
    return folder.empty() ? std::string() : folder + "/" + fileName;
}

bool Server::makeParentFolder(const std::string& path, std::string& reason) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return true;
    }
    const std::string folder = path.substr(0, slash);
    for (std::string::size_type at = 1; at != std::string::npos;) {
        at = folder.find('/', at + 1);
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = "folder " + part + " cannot be made: " + std::strerror(errno);
            return false;
        }
    }
    return true;
}
