#pragma once

#include "net/netclient.h"

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

class ClientHost;

// Two simulated players of one game on a shared ClientHost: the creator
// makes a game, the other joins it by its code, and both play random legal
// moves, each after thinking for the pace (drawn between half and one and a
// half times it). When a game ends they begin the next one, if asked to. The
// pair measures the round trip of each of its moves and keeps, for every
// game it saw created, the moves each player saw acknowledged, so that the
// benchmark can look for them in the server's database.
class BenchPair {
public:
    struct Settings {
        std::string host = "127.0.0.1";
        uint16_t port = 0;
        double pace = 0;      // mean seconds a player thinks before a move
        bool newGames = true; // begin another game when one ends
    };
    // What every pair adds to; owned by the benchmark.
    struct Tally {
        bool measuring = false;              // round trips and moves count only then
        std::vector<float> roundTrips;       // milliseconds from a move sent to its acknowledgement
        uint64_t moves = 0;                  // moves acknowledged to their player while measuring
        uint64_t games = 0;                  // games the players saw created
        uint64_t reconnects = 0;             // attempts to connect again after a drop
        uint64_t rejoins = 0;                // seats taken again with the token
        uint64_t lostAcknowledged = 0;       // acknowledged moves missing from a later position
        std::map<uint32_t, uint64_t> errors; // refusals by code
    };
    // A game the players saw created, with the moves each saw acknowledged.
    struct Record {
        std::string code;
        std::vector<std::string> creatorMoves;
        std::vector<std::string> joinerMoves;
        bool ended = false; // both saw it end
    };

    // Not owned: the host and the tally outlive the pair.
    BenchPair(ClientHost& host, const Settings& settings, uint32_t seed, Tally& tally);

    // The creator connects and asks for a game.
    void start();
    // Takes the players' events and makes the moves that are due.
    void step(double now);
    // When step next has a move to make without a packet arriving first
    // (infinity: none is waiting).
    double nextDue() const { return due; }
    // From now on: no thinking, and no new game after this one.
    void finishFlatOut();
    bool gameEnded() const;
    // Both players hold their seats in the game in play.
    bool isSeated() const { return creator.seated && joiner.seated; }
    // The players seated in the game in play now (0, 1 or 2).
    int countSeated() const;
    // Every game seen created, the one in play last.
    std::vector<Record> records() const;

private:
    struct Player {
        explicit Player(ClientHost& host) : client(&host) {}
        NetClient client;
        bool seated = false;
        uint32_t turn = 0;     // the move number whose think time is drawn
        double playAt = 0;     // when that move is made
        uint32_t inFlight = 0; // the number of the move sent and not yet acknowledged
        double sentAt = 0;
        std::vector<std::string> acknowledged;
    };

    void handle(Player& player, double now);
    void act(Player& player, double now);
    void beginGame();
    Record current() const;
    double think();

    Settings settings;
    Tally& tally; // not owned
    std::mt19937 random;
    Player creator;
    Player joiner;
    bool abandoning = false; // the join was lost: the creator resigned and waits for the end
    bool over = false;       // the game in play ended and is among the finished
    std::vector<Record> finished;
    double due = 0;
};
