#include "reports/sqlite_db.h"

#include <sqlite3.h>

namespace velt {

bool SqliteError::Damaged() const { return code_ == SQLITE_NOTADB || code_ == SQLITE_CORRUPT; }

bool SqliteError::Passing() const { return code_ == SQLITE_BUSY || code_ == SQLITE_LOCKED || code_ == SQLITE_FULL; }

bool SqliteError::Unopenable() const { return code_ == SQLITE_CANTOPEN; }

SqliteDb::SqliteDb(const std::filesystem::path& file, SqliteOpenMode mode) {
    // SQLite takes UTF-8 names on every system.
    const std::u8string name = file.u8string();
    const int flags =
        mode == SqliteOpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int code = sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db_, flags, nullptr);
    if (code == SQLITE_OK) return;
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw SqliteError(code & 0xff, message);
}

SqliteDb::~SqliteDb() { sqlite3_close_v2(db_); }

void SqliteDb::Check(int code) const {
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE) return;
    throw SqliteError(code & 0xff, sqlite3_errmsg(db_));
}

void SqliteDb::Exec(const std::string& sql) { Check(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr)); }

std::string SqliteDb::Text(const std::string& sql) {
    SqliteStatement query(*this, sql);
    return query.Step() ? query.Text(0) : std::string();
}

int64_t SqliteDb::Integer(const std::string& sql) {
    SqliteStatement query(*this, sql);
    return query.Step() ? query.Integer(0) : 0;
}

SqliteStatement::SqliteStatement(SqliteDb& db, std::string_view sql) : db_(db) {
    db_.Check(sqlite3_prepare_v2(db_.Handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

void SqliteStatement::Bind(int index, std::optional<double> value) {
    db_.Check(value ? sqlite3_bind_double(stmt_, index, *value) : sqlite3_bind_null(stmt_, index));
}

void SqliteStatement::Bind(int index, std::optional<int64_t> value) {
    db_.Check(value ? sqlite3_bind_int64(stmt_, index, *value) : sqlite3_bind_null(stmt_, index));
}

void SqliteStatement::Bind(int index, const std::string& value) {
    db_.Check(sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
}

bool SqliteStatement::Step() {
    const int code = sqlite3_step(stmt_);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    // The statement's own code; reset so that a later run starts afresh.
    const std::string message = sqlite3_errmsg(db_.Handle());
    sqlite3_reset(stmt_);
    throw SqliteError(code & 0xff, message);
}

void SqliteStatement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::optional<double> SqliteStatement::Real(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_double(stmt_, column);
}

int64_t SqliteStatement::Integer(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string SqliteStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

SqliteTransaction::~SqliteTransaction() {
    // A rollback that fails leaves SQLite to roll back when the connection closes.
    if (open_) sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit() {
    db_.Exec("COMMIT");
    open_ = false;
}

}  // namespace velt
