#include "keep/gamerecord.h"

#include "game/notation.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <sstream>

namespace {

const char* const kFormatTag = "Format";
const char* const kFormatName = "sporrik-record";
const char* const kHeaderTags[] = {"Format", "Date",   "Player1", "Player2",
                                   "Result", "Counts", "Ending",  "Moves"};
const char* const kLevelNames[] = {"easy", "hard", "expert"};
const char* const kLevelCaptions[] = {"Easy", "Hard", "Expert"};
const char* const kHuman = "human";
const char* const kRemote = "remote";
const char* const kComputer = "computer";
const char* const kEndingNames[] = {"unfinished", "board full", "no figures", "no moves"};
constexpr int kMovesPerLine = 2;
constexpr int kPlayers = 2;

std::string resultName(int winner) {
    return winner == 0 ? "unfinished" : "player " + std::to_string(winner) + " won";
}

const char* endingName(PlayedGame::Ending ending) {
    return kEndingNames[static_cast<int>(ending)];
}

// The line's text without a carriage return a mail program may have added.
std::string withoutReturn(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

bool readNumber(const std::string& text, int min, int max, int& out) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    out = std::stoi(text);
    return out >= min && out <= max;
}

// The pair number "12." of a line of moves.
bool readPairNumber(const std::string& word, int expected) {
    int n = 0;
    return word.size() >= 2 && word.back() == '.' &&
           readNumber(word.substr(0, word.size() - 1), expected, expected, n);
}

// Reads "human", "remote" or "computer <level>"; level is -1 for a person.
bool readPlayer(const std::string& text, bool& human, bool& remote, int& level) {
    human = text == kHuman;
    remote = text == kRemote;
    level = -1;
    if (human || remote) {
        return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (text == std::string(kComputer) + " " + kLevelNames[i]) {
            level = GameBoard::kEasy + i;
            return true;
        }
    }
    return false;
}

} // namespace

GameRecord GameRecord::describe(const PlayedGame& game) {
    GameRecord record;
    record.moves = game.getMoves();
    record.winner = game.winner();
    record.counts = {game.finalCount(GameBoard::kPlayer1), game.finalCount(GameBoard::kPlayer2)};
    record.ending = game.ending();
    return record;
}

std::string GameRecord::playerTag(int player) const {
    if (human[static_cast<size_t>(player - 1)]) {
        return kHuman;
    }
    if (remote[static_cast<size_t>(player - 1)]) {
        return kRemote;
    }
    return std::string(kComputer) + " " +
           kLevelNames[std::clamp(level, GameBoard::kEasy, GameBoard::kExpert) - 1];
}

std::string GameRecord::format(const GameRecord& record) {
    std::string text = "# A game of Sporrik.\n";
    text += std::string(kFormatTag) + ": " + kFormatName + " " + std::to_string(kVersion) + "\n";
    text += "Date: " + record.date + "\n";
    text += "Player1: " + record.playerTag(GameBoard::kPlayer1) + "\n";
    text += "Player2: " + record.playerTag(GameBoard::kPlayer2) + "\n";
    text += "Result: " + resultName(record.winner) + "\n";
    text += "Counts: " + std::to_string(record.counts[0]) + " " + std::to_string(record.counts[1]) + "\n";
    text += std::string("Ending: ") + endingName(record.ending) + "\n";
    text += "Moves: " + std::to_string(record.moves.size()) + "\n\n";
    for (size_t i = 0; i < record.moves.size(); i += kMovesPerLine) {
        text += std::to_string(i / kMovesPerLine + 1) + ".";
        for (size_t j = i; j < i + kMovesPerLine && j < record.moves.size(); ++j) {
            text += " " + Notation::move(record.moves[j]);
        }
        text += "\n";
    }
    return text;
}

std::optional<GameRecord> GameRecord::parse(const std::string& text, std::string& reason) {
    if (text.size() > kMaxFileSize) {
        reason = "larger than " + std::to_string(kMaxFileSize) + " bytes";
        return std::nullopt;
    }
    if (text.find('\0') != std::string::npos) {
        reason = "holds a zero byte";
        return std::nullopt;
    }
    std::map<std::string, std::string> header;
    std::vector<std::string> moveLines;
    std::istringstream in(text);
    std::string line;
    bool inMoves = false;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string where = "line " + std::to_string(lineNumber);
        if (line.size() > kMaxLine) {
            reason = where + " is too long";
            return std::nullopt;
        }
        line = withoutReturn(line);
        if (!line.empty() && line[0] == '#') {
            continue;
        }
        if (inMoves) {
            if (!line.empty()) {
                moveLines.push_back(line);
            }
            continue;
        }
        if (line.empty()) {
            inMoves = !header.empty();
            continue;
        }
        const std::string::size_type colon = line.find(": ");
        const std::string tag = line.substr(0, colon);
        if (colon == std::string::npos ||
            std::find(std::begin(kHeaderTags), std::end(kHeaderTags), tag) == std::end(kHeaderTags)) {
            reason = where + " is not a header line";
            return std::nullopt;
        }
        if (!header.emplace(tag, line.substr(colon + 2)).second) {
            reason = where + ": " + tag + " is given twice";
            return std::nullopt;
        }
    }
    for (const char* tag : kHeaderTags) {
        if (header.count(tag) == 0) {
            reason = std::string(tag) + " is missing";
            return std::nullopt;
        }
    }
    if (header[kFormatTag] != std::string(kFormatName) + " " + std::to_string(kVersion)) {
        reason = "Format is not " + std::string(kFormatName) + " " + std::to_string(kVersion);
        return std::nullopt;
    }

    GameRecord record;
    std::time_t time = 0;
    if (!parseDate(header["Date"], time)) {
        reason = "Date is not a date";
        return std::nullopt;
    }
    record.date = header["Date"];
    std::array<int, kPlayers> levels{};
    for (int player = 0; player < kPlayers; ++player) {
        const std::string tag = "Player" + std::to_string(player + 1);
        if (!readPlayer(header[tag], record.human[static_cast<size_t>(player)],
                        record.remote[static_cast<size_t>(player)], levels[static_cast<size_t>(player)])) {
            reason = tag + " is neither human, remote nor computer easy, hard or expert";
            return std::nullopt;
        }
    }
    if (levels[0] > 0 && levels[1] > 0 && levels[0] != levels[1]) {
        reason = "the two computers play at different levels";
        return std::nullopt;
    }
    // Two people leave the level unsaid: the board's default stands.
    record.level = levels[0] > 0 ? levels[0] : levels[1] > 0 ? levels[1] : GameBoard::kHard;
    int count = 0;
    if (!readNumber(header["Moves"], 0, PlayedGame::kMaxMoves, count)) {
        reason = "Moves is not a number of moves up to " + std::to_string(PlayedGame::kMaxMoves);
        return std::nullopt;
    }
    for (size_t i = 0; i < moveLines.size(); ++i) {
        std::istringstream words(moveLines[i]);
        std::string word;
        const std::string where = "move line " + std::to_string(i + 1);
        if (!(words >> word) || !readPairNumber(word, static_cast<int>(i) + 1)) {
            reason = where + " does not start with " + std::to_string(i + 1) + ".";
            return std::nullopt;
        }
        int onLine = 0;
        while (words >> word) {
            const std::optional<Move> move = Notation::parseMove(word);
            if (!move) {
                reason = where + ": " + word + " is not a move";
                return std::nullopt;
            }
            record.moves.push_back(*move);
            ++onLine;
        }
        // Only the last line may hold a single move.
        if (onLine > kMovesPerLine || onLine == 0 || (onLine < kMovesPerLine && i + 1 < moveLines.size())) {
            reason = where + " does not hold " + std::to_string(kMovesPerLine) + " moves";
            return std::nullopt;
        }
    }
    if (record.moves.size() != static_cast<size_t>(count)) {
        reason =
            "Moves says " + std::to_string(count) + " but " + std::to_string(record.moves.size()) + " follow";
        return std::nullopt;
    }
    const std::optional<PlayedGame> played = PlayedGame::replay(record.moves, reason);
    if (!played) {
        return std::nullopt;
    }
    const GameRecord replayed = describe(*played);
    record.winner = replayed.winner;
    record.counts = replayed.counts;
    record.ending = replayed.ending;
    if (header["Result"] != resultName(record.winner)) {
        reason = "Result is not the moves' result, " + resultName(record.winner);
    } else if (header["Counts"] !=
               std::to_string(record.counts[0]) + " " + std::to_string(record.counts[1])) {
        reason = "Counts are not the moves' counts";
    } else if (header["Ending"] != endingName(record.ending)) {
        reason = std::string("Ending is not the moves' ending, ") + endingName(record.ending);
    }
    if (!reason.empty()) {
        return std::nullopt;
    }
    return record;
}

std::string GameRecord::dateOf(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

bool GameRecord::parseDate(const std::string& text, std::time_t& time) {
    // Exactly the form dateOf writes, in digits where it writes digits.
    const std::string form = "0000-00-00T00:00:00Z";
    if (text.size() != form.size()) {
        return false;
    }
    for (size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '0' ? (text[i] < '0' || text[i] > '9') : text[i] != form[i]) {
            return false;
        }
    }
    std::tm utc{};
    utc.tm_year = std::stoi(text.substr(0, 4)) - 1900;
    utc.tm_mon = std::stoi(text.substr(5, 2)) - 1;
    utc.tm_mday = std::stoi(text.substr(8, 2));
    utc.tm_hour = std::stoi(text.substr(11, 2));
    utc.tm_min = std::stoi(text.substr(14, 2));
    utc.tm_sec = std::stoi(text.substr(17, 2));
    time = timegm(&utc);
    // timegm carries a day or second out of range into the next: such a
    // date does not come back the same.
    return time != static_cast<std::time_t>(-1) && dateOf(time) == text;
}

std::string GameRecord::summary() const {
    std::time_t time = 0;
    std::string when = date;
    if (parseDate(date, time)) {
        std::tm local{};
        localtime_r(&time, &local);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
        when = text;
    }
    const auto caption = [this](int player) -> std::string {
        const auto slot = static_cast<size_t>(player - 1);
        if (human[slot] || remote[slot]) {
            return human[slot] ? "Human" : "Remote";
        }
        return kLevelCaptions[std::clamp(level, GameBoard::kEasy, GameBoard::kExpert) - 1];
    };
    const std::string result = winner == 0 ? "unfinished" : "Player " + std::to_string(winner) + " won";
    return when + "  " + caption(GameBoard::kPlayer1) + " - " + caption(GameBoard::kPlayer2) + "  " +
           std::to_string(counts[0]) + ":" + std::to_string(counts[1]) + " " + result;
}
