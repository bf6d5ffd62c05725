#pragma once

#include "netplay/serveraddress.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A network game in progress as this machine keeps it between runs, so that
// Continue takes it up after a crash or a closed window: where its server
// is, its code, this player's seat and seat token, whether this machine
// hosts it, and the moves known when it was written (shown until the
// server's own position arrives).
struct KeptNetworkGame {
    static constexpr int kVersion = 1;
    static constexpr const char* kFileName = "network.ini";
    // Room for the longest game's moves; more is refused unread.
    static constexpr std::size_t kMaxFileSize = 32 * 1024;

    ServerAddress server;
    // Canonical, without dashes.
    std::string code;
    // 32 hexadecimal digits.
    std::string token;
    int seat = 0;
    // This machine's game program runs the server: Continue starts it again.
    bool hosted = false;
    std::vector<std::string> moves;

    std::string format() const;
    // Every field present and in range, and moves the rules take from the
    // start; nothing otherwise, with the reason.
    static std::optional<KeptNetworkGame> parse(const std::string& text, std::string& reason);
    friend bool operator==(const KeptNetworkGame& a, const KeptNetworkGame& b) {
        return a.server == b.server && a.code == b.code && a.token == b.token && a.seat == b.seat &&
               a.hosted == b.hosted && a.moves == b.moves;
    }
};
