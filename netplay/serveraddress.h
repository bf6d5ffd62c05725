#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A server's address as a player types it: a host name or an IPv4 address,
// with ":port" where it is not the game's own port. ENet 1.3 speaks IPv4
// only, so an IPv6 address is refused with that reason.
struct ServerAddress {
    std::string host;
    uint16_t port = 0;

    // Spaces around it are forgiven; nothing else. Nothing, with the reason
    // as the player reads it, for anything that is not such an address.
    static std::optional<ServerAddress> parse(const std::string& typed, uint16_t defaultPort,
                                              std::string& reason);
    // A host name of letters, digits and '-' in dot-separated labels, or
    // four numbers up to 255: what parse takes before the port.
    static bool isHostName(const std::string& host);
    // Four numbers: needs no lookup.
    static bool isNumeric(const std::string& host);
    // The IPv4 address of a host name as text, looked up by the system
    // (which may take its time: call it away from the game's loop); nothing
    // when the name is unknown.
    static std::optional<std::string> resolve(const std::string& host);
    // "host", or "host:port" when the port is not defaultPort.
    std::string format(uint16_t defaultPort) const;
    friend bool operator==(const ServerAddress& a, const ServerAddress& b) {
        return a.host == b.host && a.port == b.port;
    }
};
