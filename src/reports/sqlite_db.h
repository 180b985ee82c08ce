#pragma once
// Owned SQLite handles for the history: a connection and its prepared
// statements, closed and finalized with their owners. A failing call throws
// SqliteError with SQLite's primary result code, which decides what the
// store does (a damaged file is moved aside; a full disk or a lock waits).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace velt {

class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    // The primary result code (SQLITE_FULL, SQLITE_CORRUPT, ...).
    int Code() const { return code_; }
    // The file is no database or is damaged: only moving it aside helps.
    bool Damaged() const;
    // A lock held elsewhere or a full disk: may pass by itself, so the
    // connection is kept for the next try.
    bool Passing() const;
    // The file is there but could not be opened.
    bool Unopenable() const;

private:
    int code_;
};

enum class SqliteOpenMode {
    ReadWriteCreate,  // the writer's: the file is made when missing
    ReadOnly,         // a reader's: a missing file fails with SQLITE_CANTOPEN
};

class SqliteDb {
public:
    explicit SqliteDb(const std::filesystem::path& file, SqliteOpenMode mode = SqliteOpenMode::ReadWriteCreate);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    sqlite3* Handle() const { return db_; }
    // Runs one or more statements that return no rows the caller needs.
    void Exec(const std::string& sql);
    // The first column of the first row of a one-value query, as text.
    std::string Text(const std::string& sql);
    int64_t Integer(const std::string& sql);
    // Throws the connection's last error when `code` is not a success.
    void Check(int code) const;

private:
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
public:
    SqliteStatement(SqliteDb& db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1, as in SQLite; none binds NULL.
    void Bind(int index, std::optional<double> value);
    void Bind(int index, std::optional<int64_t> value);
    void Bind(int index, const std::string& value);
    // True while a row is there to read; false when done.
    bool Step();
    // Ready to run again with fresh parameters.
    void Reset();

    std::optional<double> Real(int column) const;
    int64_t Integer(int column) const;
    std::string Text(int column) const;

private:
    SqliteDb& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Runs its statements as one transaction: committed by Commit(), rolled back
// when it ends without (an exception on the way).
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDb& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void Commit();

private:
    SqliteDb& db_;
    bool open_ = true;
};

}  // namespace velt
