#include "net/protocol.h"

namespace Protocol {

const char* errorText(ErrorCode code) {
    switch (code) {
    case ErrorCode::None:
        return "No error.";
    case ErrorCode::BadMessage:
        return "The message could not be read.";
    case ErrorCode::MessageTooLarge:
        return "The message is too large.";
    case ErrorCode::HelloFirst:
        return "The first message must be the hello.";
    case ErrorCode::SecondHello:
        return "The hello was already said.";
    case ErrorCode::VersionMismatch:
        return "The versions of the game and the server differ.";
    case ErrorCode::UnknownCode:
        return "No game has this code.";
    case ErrorCode::GameFull:
        return "Both seats of this game are taken.";
    case ErrorCode::UnknownToken:
        return "This seat token belongs to no game here.";
    case ErrorCode::AlreadyInGame:
        return "This connection is already in a game.";
    case ErrorCode::NotInGame:
        return "This connection is in no game.";
    case ErrorCode::Spectator:
        return "Spectators cannot play.";
    case ErrorCode::NotYourTurn:
        return "It is not your turn.";
    case ErrorCode::IllegalMove:
        return "That move is not legal now.";
    case ErrorCode::GameOver:
        return "This game is over.";
    case ErrorCode::WrongMoveNumber:
        return "That move number is not the next one.";
    case ErrorCode::TakeBackPending:
        return "A take-back is already asked.";
    case ErrorCode::NoTakeBackAsked:
        return "No take-back is asked.";
    case ErrorCode::NothingToTakeBack:
        return "You have no move to take back.";
    case ErrorCode::OwnTakeBack:
        return "Only your opponent can answer your take-back.";
    case ErrorCode::OpponentMissing:
        return "The other seat is still empty.";
    case ErrorCode::RateLimited:
        return "Too many messages; slow down.";
    case ErrorCode::JoinsLimited:
        return "Too many join attempts; wait a minute and try again.";
    case ErrorCode::ServerFull:
        return "The server holds as many games as it can.";
    case ErrorCode::WatchersFull:
        return "This game has as many spectators as it takes.";
    case ErrorCode::ShuttingDown:
        return "The server is shutting down.";
    case ErrorCode::Idle:
        return "Dropped after a long silence.";
    case ErrorCode::StorageFailed:
        return "The server could not keep the game.";
    case ErrorCode::HostLeft:
        return "The host left the game.";
    }
    return "Unknown error.";
}

std::string versionMismatchText(uint32_t serverProtocol, const std::string& serverVersion,
                                uint32_t clientProtocol, const std::string& clientVersion) {
    return "Version mismatch: the server runs Sporrik " + serverVersion + " (protocol " +
           std::to_string(serverProtocol) + "), this game is Sporrik " + clientVersion + " (protocol " +
           std::to_string(clientProtocol) + "). Both need the same protocol.";
}

} // namespace Protocol
