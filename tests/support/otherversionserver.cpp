// A server of the protocol after this build's, for the end-to-end test of
// the message a player sees: every hello is answered with VersionRefused, as
// sporrik-server answers a game of another version.
//   sporrik_other_version_server <port>
// Prints "listening" once the port is bound; runs until killed.
#include "base/version.h"
#include "net/codec.h"
#include "net/enetlibrary.h"
#include "net/protocol.h"

#include <cstdio>
#include <cstdlib>
#include <enet/enet.h>
#include <string>

namespace {
const char* const kOtherVersion = "9.9.9";
constexpr enet_uint32 kWaitMs = 100;
constexpr size_t kPeers = 16;
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: sporrik_other_version_server <port>\n", stderr);
        return 2;
    }
    EnetLibrary::initialize();
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = static_cast<enet_uint16>(std::atoi(argv[1]));
    ENetHost* host = enet_host_create(&address, kPeers, Protocol::kChannels, 0, 0);
    if (host == nullptr) {
        std::fprintf(stderr, "port %s cannot be had\n", argv[1]);
        return 1;
    }
    // As every Sporrik host: without the checksum the game's datagrams are dropped.
    host->checksum = enet_crc32;
    std::puts("listening");
    std::fflush(stdout);
    const uint32_t protocol = Version::kProtocol + 1;
    for (;;) {
        ENetEvent event;
        if (enet_host_service(host, &event, kWaitMs) <= 0 || event.type != ENET_EVENT_TYPE_RECEIVE) {
            continue;
        }
        const auto hello = Codec::decodeClient(event.packet->data, event.packet->dataLength);
        enet_packet_destroy(event.packet);
        if (!hello || !hello->has_hello()) {
            continue;
        }
        sporrik::wire::ServerMessage answer;
        auto* refused = answer.mutable_version_refused();
        refused->set_protocol(protocol);
        refused->set_game_version(kOtherVersion);
        refused->set_text(Protocol::versionMismatchText(protocol, kOtherVersion, hello->hello().protocol(),
                                                        hello->hello().game_version()));
        const std::string bytes = Codec::encode(answer);
        enet_peer_send(event.peer, 0,
                       enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(host);
    }
}
