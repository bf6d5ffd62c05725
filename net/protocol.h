#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The numbers and texts of the network protocol that both sides share;
// docs/protocol.md lists them.
namespace Protocol {

// UDP; unassigned by IANA and clear of the common game ports.
constexpr uint16_t kDefaultPort = 47621;
// Everything travels reliably and in order on one ENet channel.
constexpr size_t kChannels = 1;
// A client's message is a few dozen bytes; the largest server message is a
// position of kMaxMoves moves of six bytes each, with its other fields.
constexpr size_t kMaxClientMessageBytes = 256;
constexpr size_t kMaxServerMessageBytes = 16384;
// A game that reaches this many moves ends: jumps alone never end a game.
constexpr size_t kMaxMoves = 1000;
constexpr size_t kTokenBytes = 16;
constexpr size_t kMaxVersionTextBytes = 32;

// The player of a seat: seat 1 plays the slimes and moves first.
constexpr uint32_t kNoSeat = 0;

// A seat's state in Position and SeatState.
enum class SeatPresence : uint32_t { Empty = 0, Connected = 1, Away = 2 };

// Why a game ended.
enum class EndReason : uint32_t {
    None = 0,
    Board = 1,     // the rules decided: no figures, no move or a full board
    Resigned = 2,  // the loser resigned
    Away = 3,      // the loser stayed away past the server's limit
    Abandoned = 4, // every seated player stayed away past it: no winner
    MoveLimit = 5, // kMaxMoves were played: more figures win, equal is a draw
};

// Every refusal the server sends; the numbers never change their meaning.
enum class ErrorCode : uint32_t {
    None = 0,
    BadMessage = 1,
    MessageTooLarge = 2,
    HelloFirst = 3,
    SecondHello = 4,
    VersionMismatch = 5,
    UnknownCode = 6,
    GameFull = 7,
    UnknownToken = 8,
    AlreadyInGame = 9,
    NotInGame = 10,
    Spectator = 11,
    NotYourTurn = 12,
    IllegalMove = 13,
    GameOver = 14,
    WrongMoveNumber = 15,
    TakeBackPending = 16,
    NoTakeBackAsked = 17,
    NothingToTakeBack = 18,
    OwnTakeBack = 19,
    OpponentMissing = 20,
    RateLimited = 21,
    JoinsLimited = 22,
    ServerFull = 23,
    WatchersFull = 24,
    ShuttingDown = 25,
    Idle = 26,
    StorageFailed = 27,
    // The player who hosts on their own machine ended the game program: the
    // game waits in the host's database until they host it again.
    HostLeft = 28,
};

// The fixed English text of a code; "Unknown error." for a number no
// version knows.
const char* errorText(ErrorCode code);
// What both sides show when their versions differ, naming both.
std::string versionMismatchText(uint32_t serverProtocol, const std::string& serverVersion,
                                uint32_t clientProtocol, const std::string& clientVersion);

} // namespace Protocol
