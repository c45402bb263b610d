// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace standin {

class Statement;

// Owns one SQLite connection. Errors throw DatabaseError with SQLite's message. A signal that asks
// the run to stop interrupts a long statement within a thousand steps.
class Database {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    Database(const std::string& path, Mode mode);
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&&) = delete;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(const std::string& sql);
    Statement prepare(std::string_view sql);
    std::string errorMessage() const;
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQLite. bindText and bindBlob copy the bytes; the
    // ...Unowned variants, for bulk loading, require them to outlive the next step(). A value
    // SQLite cannot take (longer than its length limit) throws DatabaseError.
    void bindNull(int index);
    void bindInteger(int index, std::int64_t value);
    void bindReal(int index, double value);
    void bindText(int index, std::string_view text);
    void bindBlob(int index, std::string_view bytes);
    void bindTextUnowned(int index, std::string_view text);
    void bindBlobUnowned(int index, std::string_view bytes);

    bool step(); // true while a row is available; throws on error
    void reset();

    int columnCount() const;
    int columnType(int column) const; // SQLITE_INTEGER, SQLITE_FLOAT, ...
    std::int64_t columnInteger(int column) const;
    double columnReal(int column) const;
    std::string_view columnText(int column) const;
    std::string_view columnBlob(int column) const;

    sqlite3_stmt* handle() const { return statement_; }

private:
    void check(int status) const;

    sqlite3* db_;
    sqlite3_stmt* statement_;
};

} // namespace standin
