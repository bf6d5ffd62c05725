#pragma once

#include "base/version.h"
#include "net/wire.pb.h"

#include <cstdint>
#include <string>

// The client's messages the network tests send by hand, bypassing NetClient.
inline sporrik::wire::ClientMessage hello() {
    sporrik::wire::ClientMessage m;
    m.mutable_hello()->set_protocol(Version::kProtocol);
    m.mutable_hello()->set_game_version(Version::kGame);
    return m;
}

inline sporrik::wire::ClientMessage play(const std::string& move, uint32_t number) {
    sporrik::wire::ClientMessage m;
    m.mutable_play_move()->set_move(move);
    m.mutable_play_move()->set_number(number);
    return m;
}
