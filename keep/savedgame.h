#pragma once

#include "game/gameboard.h"

#include <optional>
#include <string>

// The game in progress as a file: the fields, the player to move, who plays,
// the level, the positions that take-back returns to and the moves from the
// start (kept for the game's record; a file of an earlier build has none).
namespace SavedGame {

constexpr int kVersion = 1;
// The oldest positions beyond this are not kept: take-back then stops there.
constexpr int kMaxHistory = 1000;
// Room for a full history and the longest game's moves; more is refused unread.
constexpr std::size_t kMaxFileSize = 192 * 1024;
constexpr const char* kFileName = "game.ini";

std::string format(const GameBoard::Record& game);
// A 9 x 9 game with a human player whose counts match its fields and whose
// moves, when given, lead to them; otherwise nothing, with the reason set.
std::optional<GameBoard::Record> parse(const std::string& text, std::string& reason);

} // namespace SavedGame
