#include "keep/savedgame.h"

#include "game/notation.h"
#include "game/playedgame.h"
#include "keep/initext.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr int kSide = GameBoard::kBoardSize;
constexpr int kFields = kSide * kSide;
const char* const kKindNames[] = {"computer", "human", nullptr};
const char* const kLevelNames[] = {"easy", "hard", "expert", nullptr};

std::string digits(const std::vector<int32_t>& fields, std::size_t from, std::size_t count) {
    std::string text;
    for (std::size_t i = from; i < from + count && i < fields.size(); ++i) {
        text += static_cast<char>('0' + fields[i]);
    }
    return text;
}

// Appends the digits 0-2 of text to fields; false for anything else.
bool readDigits(const std::string& text, std::vector<int32_t>& fields) {
    for (const char c : text) {
        if (c < '0' || c > '2') {
            return false;
        }
        fields.push_back(c - '0');
    }
    return true;
}

bool readSnapshot(const std::string& text, GameBoard::Snapshot& snapshot) {
    std::istringstream in(text);
    std::string fields, rest;
    if (!(in >> snapshot.mover >> snapshot.selectedX >> snapshot.selectedY >> fields) || (in >> rest)) {
        return false;
    }
    if (snapshot.mover != GameBoard::kPlayer1 && snapshot.mover != GameBoard::kPlayer2) {
        return false;
    }
    if (fields.size() != kFields || !readDigits(fields, snapshot.fields)) {
        return false;
    }
    if (snapshot.selectedX == -1 && snapshot.selectedY == -1) {
        return true;
    }
    // A selection is one of the mover's own figures.
    return snapshot.selectedX >= 0 && snapshot.selectedX < kSide && snapshot.selectedY >= 0 &&
           snapshot.selectedY < kSide &&
           snapshot.fields[static_cast<std::size_t>(snapshot.selectedX + snapshot.selectedY * kSide)] ==
               snapshot.mover;
}

std::string rowKey(int y) {
    return "row" + std::to_string(y + 1);
}

bool leadsToFields(const GameBoard::Record& game) {
    std::string reason;
    const std::optional<PlayedGame> played = PlayedGame::replay(game.moves, reason);
    return played && played->fieldsAfter(played->countMoves()) == game.fields &&
           played->positionAfter(played->countMoves()).toMove() == game.toMove;
}

// The moves from the start, which must lead to the game's fields with its
// player to move; none when the file has no [moves].
bool readMoves(const IniText& ini, GameBoard::Record& game, std::string& reason) {
    if (ini.countKeys("moves") == 0) {
        return true;
    }
    long count = 0;
    if (!ini.getInt("moves", "count", 0, PlayedGame::kMaxMoves, count, reason)) {
        return false;
    }
    if (ini.countKeys("moves") != count + 1) {
        reason = "[moves] does not hold " + std::to_string(count) + " moves";
        return false;
    }
    for (long n = 1; n <= count; ++n) {
        const std::string* text = ini.find("moves", std::to_string(n));
        const std::optional<Move> move = text != nullptr ? Notation::parseMove(*text) : std::nullopt;
        if (!move) {
            reason = "[moves] " + std::to_string(n) + " is not a move";
            return false;
        }
        game.moves.push_back(*move);
    }
    if (!leadsToFields(game)) {
        reason = "[moves] do not lead to the game's fields";
        return false;
    }
    return true;
}

} // namespace

namespace SavedGame {

std::string format(const GameBoard::Record& game) {
    std::string text;
    text += "# Sporrik's game in progress, written by the game.\n";
    text += "[sporrik]\nversion = " + std::to_string(kVersion) + "\n";
    // The positions before each move, oldest first: mover, its selection, the
    // fields row by row.
    const std::size_t kept = std::min(game.history.size(), static_cast<std::size_t>(kMaxHistory));
    text += "\n[history]\nmoves = " + std::to_string(kept) + "\n";
    for (std::size_t i = game.history.size() - kept, n = 1; i < game.history.size(); ++i, ++n) {
        const GameBoard::Snapshot& s = game.history[i];
        text += std::to_string(n) + " = " + std::to_string(s.mover) + " " + std::to_string(s.selectedX) +
                " " + std::to_string(s.selectedY) + " " + digits(s.fields, 0, s.fields.size()) + "\n";
    }
    // Moves that do not lead to the fields (a game continued from a file
    // without them) are not known and not kept; nor are those of a game too
    // long to be kept as a record.
    if (leadsToFields(game)) {
        text += "\n[moves]\ncount = " + std::to_string(game.moves.size()) + "\n";
        for (std::size_t i = 0; i < game.moves.size(); ++i) {
            text += std::to_string(i + 1) + " = " + Notation::move(game.moves[i]) + "\n";
        }
    }
    // Last, so that a file cut short lacks it or spoils a word of it.
    text += "\n[game]\n";
    for (int y = 0; y < kSide; ++y) {
        text += rowKey(y) + " = " + digits(game.fields, static_cast<std::size_t>(y * kSide), kSide) + "\n";
    }
    for (int player = GameBoard::kPlayer1; player <= GameBoard::kPlayer2; ++player) {
        text += "player" + std::to_string(player) +
                "-figures = " + std::to_string(std::count(game.fields.begin(), game.fields.end(), player)) +
                "\n";
    }
    text += "to-move = " + std::to_string(game.toMove) + "\n";
    for (std::size_t i = 0; i < game.human.size(); ++i) {
        text += "player" + std::to_string(i + 1) + " = " + kKindNames[game.human[i] ? 1 : 0] + "\n";
    }
    const int level = std::clamp(game.difficulty, GameBoard::kEasy, GameBoard::kExpert);
    text += std::string("level = ") + kLevelNames[level - 1] + "\n";
    return text;
}

std::optional<GameBoard::Record> parse(const std::string& text, std::string& reason) {
    IniText ini;
    if (!ini.parseVersion(text, kVersion, reason)) {
        return std::nullopt;
    }
    GameBoard::Record game;
    // The board: nine rows of nine fields, no more.
    const std::string wrongSize = "the board is not " + std::to_string(kSide) + " x " + std::to_string(kSide);
    if (ini.find("game", rowKey(kSide)) != nullptr) {
        reason = wrongSize;
    }
    for (int y = 0; y < kSide && reason.empty(); ++y) {
        const std::string* row = ini.require("game", rowKey(y), reason);
        if (row != nullptr && row->size() != kSide) {
            reason = wrongSize;
        } else if (row != nullptr && !readDigits(*row, game.fields)) {
            reason = "[game] " + rowKey(y) + " holds a field other than 0, 1 or 2";
        }
    }
    if (!reason.empty()) {
        return std::nullopt;
    }
    long count1 = 0, count2 = 0, toMove = 0, moves = 0;
    int kind1 = 0, kind2 = 0, level = 0;
    if (!ini.getInt("game", "player1-figures", 0, kFields, count1, reason) ||
        !ini.getInt("game", "player2-figures", 0, kFields, count2, reason) ||
        !ini.getInt("game", "to-move", GameBoard::kPlayer1, GameBoard::kPlayer2, toMove, reason) ||
        !ini.getChoice("game", "player1", kKindNames, kind1, reason) ||
        !ini.getChoice("game", "player2", kKindNames, kind2, reason) ||
        !ini.getChoice("game", "level", kLevelNames, level, reason) ||
        !ini.getInt("history", "moves", 0, kMaxHistory, moves, reason)) {
        return std::nullopt;
    }
    if (count1 != std::count(game.fields.begin(), game.fields.end(), GameBoard::kPlayer1) ||
        count2 != std::count(game.fields.begin(), game.fields.end(), GameBoard::kPlayer2)) {
        reason = "the figure counts do not match the fields";
        return std::nullopt;
    }
    if (kind1 == 0 && kind2 == 0) {
        reason = "no human plays";
        return std::nullopt;
    }
    game.toMove = static_cast<int>(toMove);
    game.human = {kind1 == 1, kind2 == 1};
    game.difficulty = level + 1;
    if (ini.countKeys("history") != moves + 1) {
        reason = "[history] does not hold " + std::to_string(moves) + " moves";
        return std::nullopt;
    }
    game.history.resize(static_cast<std::size_t>(moves));
    for (long n = 1; n <= moves; ++n) {
        const std::string* line = ini.find("history", std::to_string(n));
        if (line == nullptr || !readSnapshot(*line, game.history[static_cast<std::size_t>(n - 1)])) {
            reason = "[history] " + std::to_string(n) + " is not a position";
            return std::nullopt;
        }
    }
    if (!readMoves(ini, game, reason)) {
        return std::nullopt;
    }
    return game;
}

} // namespace SavedGame
