#include "net/gamestore.h"

#include "base/exceptions.h"
#include "base/log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

const char* const kSource = "GameStore";
// "SPRK": marks the file as this server's, so that another program's
// database is refused instead of changed.
constexpr int64_t kApplicationId = 0x5350524B;
constexpr int64_t kSchemaVersion = 1;
const char* const kMemory = ":memory:";

const char* const kSchema = R"(
CREATE TABLE games(
    id INTEGER PRIMARY KEY,
    code TEXT NOT NULL UNIQUE,
    created INTEGER NOT NULL,
    finished INTEGER,
    winner INTEGER NOT NULL DEFAULT 0,
    reason INTEGER NOT NULL DEFAULT 0);
CREATE INDEX games_open ON games(finished) WHERE finished IS NULL;
CREATE TABLE seats(
    token BLOB PRIMARY KEY,
    game INTEGER NOT NULL REFERENCES games(id),
    seat INTEGER NOT NULL,
    joined INTEGER NOT NULL,
    UNIQUE(game, seat)) WITHOUT ROWID;
CREATE TABLE moves(
    game INTEGER NOT NULL REFERENCES games(id),
    number INTEGER NOT NULL,
    move TEXT NOT NULL,
    played INTEGER NOT NULL,
    PRIMARY KEY(game, number)) WITHOUT ROWID;
)";

int64_t wallTime() {
    return static_cast<int64_t>(std::time(nullptr));
}

int64_t pragma(SqliteDatabase& db, const std::string& name) {
    SqliteStatement statement(db, "PRAGMA " + name);
    const int64_t value = statement.step() ? statement.columnInt(0) : 0;
    statement.reset();
    return value;
}

std::string hex(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

GameStore::GameStore(const std::string& path) {
    db = std::make_unique<SqliteDatabase>(path);
    const std::string where = "database " + path;
    int64_t applicationId = 0;
    int64_t objects = 0;
    try {
        applicationId = pragma(*db, "application_id");
        SqliteStatement count(*db, "SELECT count(*) FROM sqlite_master");
        objects = count.step() ? count.columnInt(0) : 0;
        count.reset();
    } catch (const InstantiationException&) {
        throw InstantiationException(where + " is not an SQLite database: " + db->error());
    }
    if (applicationId == 0 && objects == 0) {
        if (!db->execute(std::string("BEGIN;") + kSchema +
                         "PRAGMA application_id = " + std::to_string(kApplicationId) +
                         "; PRAGMA user_version = " + std::to_string(kSchemaVersion) + "; COMMIT;")) {
            throw InstantiationException(where + " cannot be set up: " + db->error());
        }
        log(NOTE, kSource, "new " + where);
    } else if (applicationId != kApplicationId) {
        throw InstantiationException(where + " belongs to another program (application id " +
                                     hex(applicationId) + ", not sporrik-server's " + hex(kApplicationId) +
                                     ")");
    } else if (const int64_t version = pragma(*db, "user_version"); version != kSchemaVersion) {
        throw InstantiationException(where + " has schema version " + std::to_string(version) +
                                     "; this server reads version " + std::to_string(kSchemaVersion));
    } else {
        SqliteStatement quickCheck(*db, "PRAGMA quick_check(1)");
        const std::string verdict = quickCheck.step() ? quickCheck.columnText(0) : db->error();
        quickCheck.reset();
        if (verdict != "ok") {
            throw InstantiationException(where + " is damaged: " + verdict);
        }
    }
    if (path != kMemory) {
        ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
    }
    // WAL lets a commit append instead of rewriting pages; a full sync makes
    // each commit, and so each acknowledged move, outlast even a power cut.
    if (!db->execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON;")) {
        throw InstantiationException(where + " cannot be set up: " + db->error());
    }
    insertGame = std::make_unique<SqliteStatement>(*db, "INSERT INTO games(code, created) VALUES(?, ?)");
    insertSeat = std::make_unique<SqliteStatement>(
        *db, "INSERT INTO seats(token, game, seat, joined) VALUES(?, ?, ?, ?)");
    insertMove = std::make_unique<SqliteStatement>(
        *db, "INSERT INTO moves(game, number, move, played) VALUES(?, ?, ?, ?)");
    deleteMoves = std::make_unique<SqliteStatement>(*db, "DELETE FROM moves WHERE game = ? AND number > ?");
    updateResult = std::make_unique<SqliteStatement>(
        *db, "UPDATE games SET finished = ?, winner = ?, reason = ? WHERE id = ?");
    selectGame = std::make_unique<SqliteStatement>(
        *db, "SELECT code, finished, winner, reason FROM games WHERE id = ?");
    selectSeats = std::make_unique<SqliteStatement>(*db, "SELECT seat, token FROM seats WHERE game = ?");
    selectMoves =
        std::make_unique<SqliteStatement>(*db, "SELECT move FROM moves WHERE game = ? ORDER BY number");
    selectOpen =
        std::make_unique<SqliteStatement>(*db, "SELECT id FROM games WHERE finished IS NULL ORDER BY id");
    selectByCode = std::make_unique<SqliteStatement>(*db, "SELECT id FROM games WHERE code = ?");
    selectByToken = std::make_unique<SqliteStatement>(*db, "SELECT game, seat FROM seats WHERE token = ?");
}

// Writes not committed belong to a turn that was never acknowledged: the
// connection's close rolls them back, as a crash would.
GameStore::~GameStore() = default;

std::vector<GameStore::StoredGame> GameStore::loadOpenGames() {
    std::vector<int64_t> ids;
    while (selectOpen->step()) {
        ids.push_back(selectOpen->columnInt(0));
    }
    std::vector<StoredGame> games;
    for (const int64_t id : ids) {
        if (std::optional<StoredGame> game = readGame(id)) {
            games.push_back(std::move(*game));
        }
    }
    return games;
}

std::optional<GameStore::StoredGame> GameStore::findByCode(const std::string& code) {
    selectByCode->bind(1, code);
    if (!selectByCode->step()) {
        return std::nullopt;
    }
    const int64_t id = selectByCode->columnInt(0);
    selectByCode->reset();
    return readGame(id);
}

std::optional<GameStore::StoredGame> GameStore::findByToken(const std::string& token, int& seat) {
    selectByToken->bindBlob(1, token);
    if (!selectByToken->step()) {
        return std::nullopt;
    }
    const int64_t id = selectByToken->columnInt(0);
    seat = static_cast<int>(selectByToken->columnInt(1));
    selectByToken->reset();
    return readGame(id);
}

std::optional<GameStore::StoredGame> GameStore::readGame(int64_t id) {
    StoredGame game;
    game.id = id;
    selectGame->bind(1, id);
    if (!selectGame->step()) {
        return std::nullopt;
    }
    game.code = selectGame->columnText(0);
    game.result.finished = !selectGame->columnIsNull(1);
    game.result.winner = static_cast<int>(selectGame->columnInt(2));
    game.result.reason = static_cast<Protocol::EndReason>(selectGame->columnInt(3));
    selectGame->reset();
    selectSeats->bind(1, id);
    while (selectSeats->step()) {
        const int64_t seat = selectSeats->columnInt(0);
        if (GameRoom::isSeat(static_cast<int>(seat))) {
            game.tokens[static_cast<size_t>(seat - 1)] = selectSeats->columnBlob(1);
        }
    }
    selectMoves->bind(1, id);
    while (selectMoves->step()) {
        game.moves.push_back(selectMoves->columnText(0));
    }
    return game;
}

int64_t GameStore::createGame(const std::string& code) {
    begin();
    const bool ok = insertGame->bind(1, code).bind(2, wallTime()).run();
    check(ok);
    return ok ? sqlite3_last_insert_rowid(db->handle()) : 0;
}

void GameStore::addSeat(int64_t game, int seat, const std::string& token) {
    begin();
    check(insertSeat->bindBlob(1, token).bind(2, game).bind(3, seat).bind(4, wallTime()).run());
}

void GameStore::addMove(int64_t game, uint32_t number, const std::string& move) {
    begin();
    check(insertMove->bind(1, game)
              .bind(2, static_cast<int64_t>(number))
              .bind(3, move)
              .bind(4, wallTime())
              .run());
}

void GameStore::dropMovesAfter(int64_t game, uint32_t number) {
    begin();
    check(deleteMoves->bind(1, game).bind(2, static_cast<int64_t>(number)).run());
}

void GameStore::finish(int64_t game, const GameRoom::Result& result) {
    begin();
    check(updateResult->bind(1, wallTime())
              .bind(2, result.winner)
              .bind(3, static_cast<int64_t>(result.reason))
              .bind(4, game)
              .run());
}

bool GameStore::commit() {
    if (!inTransaction) {
        return !writeFailed;
    }
    inTransaction = false;
    if (writeFailed || !db->execute("COMMIT")) {
        if (!writeFailed) {
            failure = db->error();
        }
        writeFailed = true;
        db->execute("ROLLBACK");
        return false;
    }
    return true;
}

void GameStore::begin() {
    if (!inTransaction) {
        inTransaction = true;
        check(db->execute("BEGIN IMMEDIATE"));
    }
}

void GameStore::check(bool ok) {
    if (!ok && !writeFailed) {
        writeFailed = true;
        failure = db->error();
    }
}

bool GameStore::moveAside(const std::string& path, std::string& reason) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const std::string from = path + suffix;
        if (std::rename(from.c_str(), (from + ".bad").c_str()) != 0 && errno != ENOENT) {
            reason = from + " cannot be moved aside: " + std::strerror(errno);
            return false;
        }
    }
    return true;
}
