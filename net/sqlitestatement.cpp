#include "net/sqlitestatement.h"

#include "base/exceptions.h"
#include "net/sqlitedatabase.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(SqliteDatabase& database, const std::string& sql) {
    if (sqlite3_prepare_v2(database.handle(), sql.c_str(), static_cast<int>(sql.size()), &statement,
                           nullptr) != SQLITE_OK) {
        const std::string reason = database.error();
        sqlite3_finalize(statement);
        throw InstantiationException("database " + database.path() + " refused \"" + sql + "\": " + reason);
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement);
}

SqliteStatement& SqliteStatement::bind(int index, int64_t value) {
    sqlite3_bind_int64(statement, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, const std::string& bytes) {
    sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(statement, index);
    return *this;
}

bool SqliteStatement::step() {
    const int status = sqlite3_step(statement);
    if (status == SQLITE_ROW) {
        return true;
    }
    failure = status != SQLITE_DONE;
    reset();
    return false;
}

bool SqliteStatement::run() {
    while (step()) {
    }
    return !failure;
}

int64_t SqliteStatement::columnInt(int column) const {
    return sqlite3_column_int64(statement, column);
}

std::string SqliteStatement::columnText(int column) const {
    const auto* text = sqlite3_column_text(statement, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text),
                                         static_cast<size_t>(sqlite3_column_bytes(statement, column)))
                           : std::string();
}

std::string SqliteStatement::columnBlob(int column) const {
    const void* blob = sqlite3_column_blob(statement, column);
    return blob != nullptr ? std::string(static_cast<const char*>(blob),
                                         static_cast<size_t>(sqlite3_column_bytes(statement, column)))
                           : std::string();
}

bool SqliteStatement::columnIsNull(int column) const {
    return sqlite3_column_type(statement, column) == SQLITE_NULL;
}

void SqliteStatement::reset() {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}
