#pragma once

#include <cstdint>
#include <string>

struct sqlite3_stmt;
class SqliteDatabase;

// Owns one prepared statement of a connection that outlives it. Binding
// counts from 1, columns from 0, as in SQLite.
class SqliteStatement {
public:
    // Throws InstantiationException with SQLite's reason when the text does
    // not prepare (a foreign database lacks our tables).
    SqliteStatement(SqliteDatabase& database, const std::string& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bind(int index, int64_t value);
    SqliteStatement& bind(int index, const std::string& text);
    SqliteStatement& bindBlob(int index, const std::string& bytes);
    SqliteStatement& bindNull(int index);

    // The next row: true while there is one. False at the end or on failure
    // (failed() tells which); the statement is then reset for its next use.
    bool step();
    // Runs a statement that returns no row; false on failure.
    bool run();
    bool failed() const { return failure; }

    // Ends a run of step() before its last row, so that the statement binds anew.
    void reset();

    int64_t columnInt(int column) const;
    std::string columnText(int column) const;
    std::string columnBlob(int column) const;
    bool columnIsNull(int column) const;

private:
    sqlite3_stmt* statement = nullptr;
    bool failure = false;
};
