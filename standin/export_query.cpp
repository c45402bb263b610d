// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/export_query.h"

#include "standin/names.h"
#include "standin/table_sql.h"

#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace standin {

namespace {

// Functions that return no more than they are given, whatever the arguments.
constexpr std::string_view allowedFunctions[] = {
    "abs",        "ceil",         "ceiling", "coalesce", "date",      "datetime", "floor",
    "glob",       "ifnull",       "iif",     "instr",    "julianday", "length",   "like",
    "likelihood", "likely",       "lower",   "ltrim",    "max",       "min",      "mod",
    "nullif",     "octet_length", "round",   "rtrim",    "sign",      "strftime", "substr",
    "substring",  "time",         "trim",    "trunc",    "typeof",    "unicode",  "unixepoch",
    "unlikely",   "upper",
};

constexpr const char* subQueryRefusal = "it may read only the table being exported, as a condition "
                                        "on each row: no sub-query and no second SELECT";

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

struct Permission {
    std::string table;
    int selects = 0;
    std::string denied; // why, once something was denied
};

int onlyThisTable(void* data, int action, const char* name, const char* detail, const char*,
                  const char*) {
    auto* permission = static_cast<Permission*>(data);
    switch (action) {
    case SQLITE_SELECT:
        if (++permission->selects == 1)
            return SQLITE_OK;
        permission->denied = subQueryRefusal;
        return SQLITE_DENY;
    case SQLITE_FUNCTION:
        if (detail && std::any_of(std::begin(allowedFunctions), std::end(allowedFunctions),
                                  [&](std::string_view f) { return equalsIgnoreCase(f, detail); }))
            return SQLITE_OK;
        permission->denied = "it may not call " + std::string(detail ? detail : "?") + "()";
        return SQLITE_DENY;
    case SQLITE_READ:
        if (name && permission->table == name)
            return SQLITE_OK;
        break;
    default:
        break;
    }
    permission->denied = "it may read only the table being exported";
    return SQLITE_DENY;
}

std::string_view withoutWhere(std::string_view clause) {
    if (clause.size() < 5 || !equalsIgnoreCase(clause.substr(0, 5), "where"))
        return clause;
    if (clause.size() == 5 || clause[5] == ' ' || clause[5] == '(' || clause[5] == '\t' ||
        clause[5] == '\n')
        return clause.substr(5);
    return clause;
}

// Why the clause cannot stand inside a pair of parentheses as one expression; empty when it
// can. Strings, quoted names and comments are read as SQLite reads them.
std::string shapeRefusal(std::string_view clause) {
    int depth = 0;
    for (std::size_t i = 0; i < clause.size(); ++i) {
        const char c = clause[i];
        const char next = i + 1 < clause.size() ? clause[i + 1] : '\0';
        std::size_t end = i;
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            end = clause.find(c == '[' ? ']' : c, i + 1);
        } else if (c == '-' && next == '-') {
            end = std::min(clause.find('\n', i), clause.size() - 1);
        } else if (c == '/' && next == '*') {
            end = clause.find("*/", i + 2);
            if (end != std::string_view::npos)
                ++end;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth < 0) {
            return "its parentheses do not pair up";
        } else if (c == ';') {
            return "it holds more than one SQL statement";
        } else if (isWordChar(c)) {
            // SQLite folds some sub-queries into the outer scan without asking the authorizer.
            end = i;
            while (end + 1 < clause.size() && isWordChar(clause[end + 1]))
                ++end;
            if (equalsIgnoreCase(clause.substr(i, end - i + 1), "select"))
                return subQueryRefusal;
        }
        if (end == std::string_view::npos)
            return "a quote, bracket or comment in it is not closed";
        i = end;
    }
    return depth == 0 ? std::string() : "its parentheses do not pair up";
}

struct AuthorizerScope {
    AuthorizerScope(sqlite3* db, Permission& permission) : db_(db) {
        sqlite3_set_authorizer(db_, onlyThisTable, &permission);
    }
    ~AuthorizerScope() { sqlite3_set_authorizer(db_, nullptr, nullptr); }
    sqlite3* db_;
};

} // namespace

ExportSelect prepareExportSelect(Database& db, const TableDef& table,
                                 const std::optional<std::string>& whereClause) {
    ExportSelect result;
    std::string sql = selectSql(table);
    if (whereClause) {
        const auto condition = withoutWhere(*whereClause);
        if (auto refusal = shapeRefusal(condition); !refusal.empty()) {
            result.refusal = "query= is refused: " + refusal;
            return result;
        }
        // The line breaks end a trailing -- comment before the closing parenthesis.
        sql += " WHERE (\n" + std::string(condition) + "\n)";
    }

    const auto storageName = table.name.storageName();
    Permission permission{storageName, 0, {}};
    AuthorizerScope scope(db.handle(), permission);
    sqlite3_stmt* statement = nullptr;
    const int status = sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &statement, nullptr);
    if (status != SQLITE_OK) {
        const std::string message = db.errorMessage();
        if (whereClause && !permission.denied.empty())
            result.refusal = "query= is refused: " + permission.denied;
        else if (whereClause && message.starts_with("no such column"))
            result.problem = messages::database(904, "query= does not fit " + storageName + ": " +
                                                         message + "; table left out");
        else if (whereClause)
            result.refusal = "query= is refused: " + message;
        else
            result.problem = messages::fromSqlite(
                status, storageName + " cannot be read: " + message + "; table left out");
        return result;
    }
    Statement owned(db.handle(), statement);
    if (!sqlite3_stmt_readonly(statement)) {
        result.refusal = "query= is refused: the statement would write";
        return result;
    }
    result.statement.emplace(std::move(owned));
    return result;
}

void boundValueLength(Database& db, std::uintmax_t databaseBytes) {
    constexpr std::uintmax_t floor = 1 << 20;
    const auto limit =
        std::min<std::uintmax_t>(databaseBytes + floor, std::numeric_limits<int>::max());
    sqlite3_limit(db.handle(), SQLITE_LIMIT_LENGTH, static_cast<int>(limit));
}

} // namespace standin
