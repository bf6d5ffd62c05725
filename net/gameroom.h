#pragma once

#include "net/protocol.h"
#include "net/rulesgame.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One game on the server as pure rules, without sockets or storage: its two
// seats and whether their players are there, the turn, the take-back that
// needs the opponent's yes, resignation, the result, and the clock that
// ends a game whose player stays away too long. Every command either
// changes the game and returns ErrorCode::None, or returns the reason of its
// refusal and changes nothing. Times are seconds of a steady clock.
class GameRoom {
public:
    using ErrorCode = Protocol::ErrorCode;
    using EndReason = Protocol::EndReason;
    using SeatPresence = Protocol::SeatPresence;

    struct Result {
        bool finished = false;
        int winner = 0; // 0: nobody (abandoned, or a draw at the move limit)
        EndReason reason = EndReason::None;
    };

    static constexpr int kSeats = 2;

    // A game read back from storage: its moves replayed on the rules and its
    // result as kept. False, leaving a fresh game, when the rules refuse a move.
    bool restore(const std::vector<std::string>& moves, const Result& kept);

    // Seats: 1 plays the slimes and moves first, 2 the spikes.
    static bool isSeat(int seat) { return seat == 1 || seat == 2; }
    bool isTaken(int seat) const;
    // The lower free seat, 0 when both are taken.
    int freeSeat() const;
    // Taken by a player who is there now.
    void take(int seat);
    // The seat's player went away (now) or came back.
    void leave(int seat, double now);
    void back(int seat);
    SeatPresence presence(int seat) const;

    // A move of the seat's player in the notation, numbered as the next move.
    ErrorCode play(int seat, std::string_view move, uint32_t number);
    // The seat's player asks to take back their last move (and the
    // opponent's answer to it, if made).
    ErrorCode askTakeBack(int seat);
    // The opponent of the asker answers; on yes the moves go back and
    // removed says how many.
    ErrorCode answerTakeBack(int seat, bool agree, int& removed);
    ErrorCode resign(int seat);
    // Ends the game when a seated player has been away for limit seconds or
    // more: the other player wins if still within the limit, else nobody.
    // True when it ended the game now.
    bool closeIfAway(double now, double limit);

    const RulesGame& game() const { return rules; }
    const Result& result() const { return outcome; }
    int takeBackAskedBy() const { return takeBackAsker; }
    // The last play dropped a take-back that was asked.
    bool droppedTakeBack() const { return takeBackDropped; }

private:
    static size_t slot(int seat) { return static_cast<size_t>(seat - 1); }
    static int other(int seat) { return 3 - seat; }
    // The seat that made the move of this index: turns alternate, since a
    // side without a move has lost.
    static int moverOf(size_t index) { return index % 2 == 0 ? 1 : 2; }
    void finish(int winner, EndReason reason);

    RulesGame rules;
    Result outcome;
    std::array<bool, kSeats> taken{};
    std::array<bool, kSeats> present{};
    std::array<double, kSeats> awaySince{};
    int takeBackAsker = 0;
    bool takeBackDropped = false;
};
