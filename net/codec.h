#pragma once

#include "net/wire.pb.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Turns messages into packet bytes and back. Decoding checks the size before
// it reads a byte and takes only a message that parses whole, has a body,
// and whose texts and tokens have the sizes the protocol gives them; the
// reason of a refusal is one of Protocol's error codes.
class Codec {
public:
    static std::string encode(const sporrik::wire::ClientMessage& message);
    static std::string encode(const sporrik::wire::ServerMessage& message);

    // Refused as MessageTooLarge or BadMessage in error when given.
    static std::optional<sporrik::wire::ClientMessage> decodeClient(const uint8_t* data, size_t size,
                                                                    uint32_t* error = nullptr);
    static std::optional<sporrik::wire::ServerMessage> decodeServer(const uint8_t* data, size_t size,
                                                                    uint32_t* error = nullptr);

    // Printable ASCII of at most maxBytes, anything else as '?': texts from a
    // peer go into logs and messages only through this.
    static std::string printable(const std::string& text, size_t maxBytes);
};
