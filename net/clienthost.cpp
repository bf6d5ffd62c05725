#include "net/clienthost.h"

#include "base/exceptions.h"
#include "net/enetlibrary.h"
#include "net/netclient.h"
#include "net/protocol.h"

#include <algorithm>
#include <chrono>
#include <enet/enet.h>

namespace {

constexpr int kSharedSocketBufferBytes = 4 * 1024 * 1024;

} // namespace

ClientHost::ClientHost(size_t maxConnections) {
    EnetLibrary::initialize();
    host = enet_host_create(nullptr, maxConnections, Protocol::kChannels, 0, 0);
    if (host == nullptr) {
        throw InstantiationException("no ENet client host for " + std::to_string(maxConnections) +
                                     " connections");
    }
    // The server checks every datagram's CRC32 with the connection's id (see Server).
    host->checksum = enet_crc32;
    host->maximumPacketSize = Protocol::kMaxServerMessageBytes;
    // Many clients on one socket: ENet's 256 KiB buffers would drop
    // datagrams under a burst (see Server).
    if (maxConnections > 1) {
        enet_socket_set_option(host->socket, ENET_SOCKOPT_RCVBUF, kSharedSocketBufferBytes);
        enet_socket_set_option(host->socket, ENET_SOCKOPT_SNDBUF, kSharedSocketBufferBytes);
    }
}

ClientHost::~ClientHost() {
    enet_host_destroy(host);
}

void ClientHost::service(uint32_t timeoutMs) {
    ENetEvent event;
    uint32_t wait = timeoutMs;
    while (enet_host_service(host, &event, wait) > 0) {
        wait = 0;
        auto* client = static_cast<NetClient*>(event.peer->data);
        if (client != nullptr) {
            client->handleEvent(event);
        } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            enet_packet_destroy(event.packet);
        }
    }
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    for (NetClient* client : clients) {
        client->tick(now);
    }
    enet_host_flush(host);
}

void ClientHost::add(NetClient* client) {
    clients.push_back(client);
}

void ClientHost::remove(NetClient* client) {
    clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
}
