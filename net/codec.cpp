#include "net/codec.h"

#include "game/notation.h"
#include "net/protocol.h"

using Protocol::ErrorCode;
using sporrik::wire::ClientMessage;
using sporrik::wire::ServerMessage;

namespace {

// A join code with its dashes, typed by a person; the server reads it loosely.
constexpr size_t kMaxCodeBytes = 24;
constexpr char kFirstPrintable = ' ';
constexpr char kLastPrintable = '~';

bool fits(const std::string& text, size_t maxBytes) {
    return text.size() <= maxBytes;
}

// The sizes the protocol allows inside a message that parsed.
bool hasValidFields(const ClientMessage& m) {
    switch (m.body_case()) {
    case ClientMessage::kHello:
        return fits(m.hello().game_version(), Protocol::kMaxVersionTextBytes);
    case ClientMessage::kCreateGame:
        return m.create_game().seat() <= 2;
    case ClientMessage::kJoinGame:
        return fits(m.join_game().code(), kMaxCodeBytes);
    case ClientMessage::kWatchGame:
        return fits(m.watch_game().code(), kMaxCodeBytes);
    case ClientMessage::kRejoin:
        return m.rejoin().token().size() == Protocol::kTokenBytes;
    case ClientMessage::kPlayMove:
        return fits(m.play_move().move(), Notation::kMoveLength);
    case ClientMessage::BODY_NOT_SET:
        return false;
    default:
        return true;
    }
}

void setError(uint32_t* error, ErrorCode code) {
    if (error != nullptr) {
        *error = static_cast<uint32_t>(code);
    }
}

} // namespace

std::string Codec::encode(const ClientMessage& message) {
    return message.SerializeAsString();
}

std::string Codec::encode(const ServerMessage& message) {
    return message.SerializeAsString();
}

std::optional<ClientMessage> Codec::decodeClient(const uint8_t* data, size_t size, uint32_t* error) {
    if (size > Protocol::kMaxClientMessageBytes) {
        setError(error, ErrorCode::MessageTooLarge);
        return std::nullopt;
    }
    ClientMessage message;
    if (!message.ParseFromArray(data, static_cast<int>(size)) || !hasValidFields(message)) {
        setError(error, ErrorCode::BadMessage);
        return std::nullopt;
    }
    return message;
}

std::optional<ServerMessage> Codec::decodeServer(const uint8_t* data, size_t size, uint32_t* error) {
    if (size > Protocol::kMaxServerMessageBytes) {
        setError(error, ErrorCode::MessageTooLarge);
        return std::nullopt;
    }
    ServerMessage message;
    if (!message.ParseFromArray(data, static_cast<int>(size)) ||
        message.body_case() == ServerMessage::BODY_NOT_SET) {
        setError(error, ErrorCode::BadMessage);
        return std::nullopt;
    }
    if (message.has_position() &&
        static_cast<size_t>(message.position().moves_size()) > Protocol::kMaxMoves) {
        setError(error, ErrorCode::BadMessage);
        return std::nullopt;
    }
    return message;
}

std::string Codec::printable(const std::string& text, size_t maxBytes) {
    std::string result = text.substr(0, maxBytes);
    for (char& c : result) {
        if (c < kFirstPrintable || c > kLastPrintable) {
            c = '?';
        }
    }
    return result;
}
