#include "net/sqlitedatabase.h"

#include "base/exceptions.h"
#include "base/log.h"

#include <sqlite3.h>

namespace {

const char* const kSource = "SqliteDatabase";
// A busy database (another process holds it) is waited for this long before
// a statement fails.
constexpr int kBusyTimeoutMs = 2000;

} // namespace

SqliteDatabase::SqliteDatabase(const std::string& path, bool readOnly) : file(path) {
    const int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    const int status = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
        const std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status);
        sqlite3_close(db);
        db = nullptr;
        throw InstantiationException("database " + path + " cannot be opened: " + reason);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
}

SqliteDatabase::~SqliteDatabase() {
    if (sqlite3_close(db) != SQLITE_OK) {
        log(WARNING, kSource, "database " + file + " did not close cleanly: " + sqlite3_errmsg(db));
        sqlite3_close_v2(db);
    }
}

bool SqliteDatabase::execute(const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string SqliteDatabase::error() const {
    return sqlite3_errmsg(db);
}
