#pragma once

#include "net/gameroom.h"
#include "net/sqlitedatabase.h"
#include "net/sqlitestatement.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Keeps the server's games in one SQLite file (WAL journal, full sync):
// each game's code, its seats' tokens, its moves and its result, with times.
// Writes go into one transaction that stays open until commit(), so that a
// service turn's moves are committed together before any of them is
// acknowledged. Tokens are kept as they are, not hashed (see
// docs/protocol.md); the file is made readable by its owner alone.
class GameStore {
public:
    struct StoredGame {
        int64_t id = 0;
        std::string code;
        std::array<std::string, GameRoom::kSeats> tokens; // empty: the seat is free
        std::vector<std::string> moves;
        GameRoom::Result result;
    };

    // ":memory:" keeps nothing beyond the store's life (tests, fuzzing).
    // Throws InstantiationException naming the file and the reason when it
    // is not an SQLite database, belongs to another program, was written by
    // a newer server or is damaged; nothing is changed in it then.
    explicit GameStore(const std::string& path);
    // Rolls back what was not committed.
    ~GameStore();
    GameStore(const GameStore&) = delete;
    GameStore& operator=(const GameStore&) = delete;

    std::vector<StoredGame> loadOpenGames();
    std::optional<StoredGame> findByCode(const std::string& code);
    // The game of a seat token, and which seat it is.
    std::optional<StoredGame> findByToken(const std::string& token, int& seat);

    // The writes of a turn. A failure is remembered and reported by commit().
    // 0 when the game cannot be written (the code is taken among them).
    int64_t createGame(const std::string& code);
    void addSeat(int64_t game, int seat, const std::string& token);
    void addMove(int64_t game, uint32_t number, const std::string& move);
    // Drops the moves numbered above the number that stays.
    void dropMovesAfter(int64_t game, uint32_t number);
    void finish(int64_t game, const GameRoom::Result& result);
    // Commits the turn's writes; false (all of them rolled back) when one of
    // them or the commit failed, with the reason in error().
    bool commit();
    const std::string& error() const { return failure; }

    // Moves a refused database and its journal files aside as <path>.bad
    // (-wal.bad, -shm.bad); false with the reason when it cannot.
    static bool moveAside(const std::string& path, std::string& reason);

private:
    void begin();
    void check(bool ok);
    std::optional<StoredGame> readGame(int64_t id);

    std::unique_ptr<SqliteDatabase> db;
    std::unique_ptr<SqliteStatement> insertGame, insertSeat, insertMove, deleteMoves, updateResult;
    std::unique_ptr<SqliteStatement> selectGame, selectSeats, selectMoves, selectOpen, selectByCode,
        selectByToken;
    bool inTransaction = false;
    bool writeFailed = false;
    std::string failure;
};
