#pragma once

#include <string>

struct sqlite3;

// Owns one SQLite connection. Opening fails with InstantiationException
// naming the file and SQLite's reason; the connection closes with its owner.
class SqliteDatabase {
public:
    // Made when missing, unless readOnly.
    explicit SqliteDatabase(const std::string& path, bool readOnly = false);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs statements that return no rows; false with the reason in error().
    bool execute(const std::string& sql);
    // SQLite's text of the last failure on this connection.
    std::string error() const;
    sqlite3* handle() const { return db; }
    const std::string& path() const { return file; }

private:
    sqlite3* db = nullptr;
    std::string file;
};
