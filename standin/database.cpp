// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/database.h"

#include "standin/failure.h"
#include "standin/interruption.h"

#include <sqlite3.h>

namespace standin {

namespace {

[[noreturn]] void fail(sqlite3* db, int status) {
    throw DatabaseError(db ? sqlite3_errmsg(db) : sqlite3_errstr(status),
                        db ? sqlite3_extended_errcode(db) : status);
}

int stopWhenInterrupted(void*) {
    return interrupted() ? 1 : 0;
}

} // namespace

Database::Database(const std::string& path, Mode mode) {
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    const int status = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (status != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DatabaseError("cannot open database " + path + ": " + message, status);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_progress_handler(db_, 1000, stopWhenInterrupted, nullptr);
}

Database::~Database() {
    sqlite3_close(db_);
}

Database::Database(Database&& other) noexcept : db_(other.db_) {
    other.db_ = nullptr;
}

void Database::exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : errorMessage();
        sqlite3_free(error);
        throwIfInterrupted();
        throw DatabaseError(message, sqlite3_extended_errcode(db_));
    }
}

Statement Database::prepare(std::string_view sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) !=
        SQLITE_OK)
        fail(db_, SQLITE_ERROR);
    return Statement(db_, statement);
}

std::string Database::errorMessage() const {
    return sqlite3_errmsg(db_);
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), statement_(other.statement_) {
    other.statement_ = nullptr;
}

void Statement::check(int status) const {
    // A failed bind leaves the parameter NULL: storing the row anyway would lose the value.
    if (status != SQLITE_OK)
        throw DatabaseError(sqlite3_errstr(status), status);
}

void Statement::bindNull(int index) {
    check(sqlite3_bind_null(statement_, index));
}

void Statement::bindInteger(int index, std::int64_t value) {
    check(sqlite3_bind_int64(statement_, index, value));
}

void Statement::bindReal(int index, double value) {
    check(sqlite3_bind_double(statement_, index, value));
}

void Statement::bindText(int index, std::string_view text) {
    check(sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                              SQLITE_UTF8));
}

void Statement::bindBlob(int index, std::string_view bytes) {
    check(sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
}

void Statement::bindTextUnowned(int index, std::string_view text) {
    check(sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_STATIC,
                              SQLITE_UTF8));
}

void Statement::bindBlobUnowned(int index, std::string_view bytes) {
    check(sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_STATIC));
}

bool Statement::step() {
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW)
        return true;
    if (status == SQLITE_DONE)
        return false;
    throwIfInterrupted();
    fail(db_, status);
}

void Statement::reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(statement_);
}

int Statement::columnType(int column) const {
    return sqlite3_column_type(statement_, column);
}

std::int64_t Statement::columnInteger(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double Statement::columnReal(int column) const {
    return sqlite3_column_double(statement_, column);
}

std::string_view Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
    return text ? std::string_view(text, size) : std::string_view();
}

std::string_view Statement::columnBlob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
    return bytes ? std::string_view(bytes, size) : std::string_view();
}

} // namespace standin
