#pragma once

#include "game/gameboard.h"
#include "game/move.h"
#include "game/playedgame.h"

#include <array>
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

// One game kept as a text file that people and other programs can read
// (docs/records.md): a header of tagged lines (when, who played, the result,
// the final counts, how it ended) and the moves in the game's notation.
// What the header says of the result is checked against the moves.
struct GameRecord {
    static constexpr int kVersion = 1;
    // Room for the longest game kept; more is refused unread.
    static constexpr std::size_t kMaxFileSize = 64 * 1024;
    static constexpr std::size_t kMaxLine = 200;

    // When the game ended or was left: UTC, "YYYY-MM-DDTHH:MM:SSZ".
    std::string date;
    std::array<bool, 2> human{};
    // Played from another machine across the network.
    std::array<bool, 2> remote{};
    // The computer players' level (GameBoard::kEasy to kExpert); the board
    // has one level for both.
    int level = GameBoard::kHard;
    std::vector<Move> moves;

    // Read from the moves by the rules; set by parse and by describe.
    int winner = 0;
    std::array<int, 2> counts{};
    PlayedGame::Ending ending = PlayedGame::Ending::Unfinished;

    // A record of the game's moves with their result; the date and the
    // players are left to the caller.
    static GameRecord describe(const PlayedGame& game);
    // The whole file. The record's result must be its moves' (describe).
    static std::string format(const GameRecord& record);
    // A record whose header agrees with its moves; nothing otherwise, with
    // the reason (the line and what is wrong with it).
    static std::optional<GameRecord> parse(const std::string& text, std::string& reason);

    static std::string dateOf(std::time_t time);
    // Seconds since the epoch of a date as the header writes it; false for
    // anything else, a 30th of February among them.
    static bool parseDate(const std::string& text, std::time_t& time);
    // One line for a list of games: the local date and time, the players,
    // the counts and the result.
    std::string summary() const;
    // "human", "remote" or "computer easy", as the header names player 1 or 2.
    std::string playerTag(int player) const;
};
