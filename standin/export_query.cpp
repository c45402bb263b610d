#include "standin/export_query.h"

#include "standin/names.h"
#include "standin/table_sql.h"

#include <sqlite3.h>

namespace standin {

namespace {

struct Permission {
    std::string table;
    bool denied = false;
};

int onlyThisTable(void* data, int action, const char* name, const char*, const char*, const char*) {
    auto* permission = static_cast<Permission*>(data);
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
        return SQLITE_OK;
    case SQLITE_READ:
        if (name && permission->table == name)
            return SQLITE_OK;
        break;
    default:
        break;
    }
    permission->denied = true;
    return SQLITE_DENY;
}

bool startsWithWhere(const std::string& clause) {
    if (clause.size() < 5 || !equalsIgnoreCase(std::string_view(clause).substr(0, 5), "where"))
        return false;
    return clause.size() == 5 || clause[5] == ' ' || clause[5] == '(' || clause[5] == '\t' ||
           clause[5] == '\n';
}

// Whether text after the first statement holds anything but blanks and comments.
bool holdsAnotherStatement(sqlite3* db, const char* tail) {
    sqlite3_stmt* next = nullptr;
    const int status = sqlite3_prepare_v2(db, tail, -1, &next, nullptr);
    const bool another = status != SQLITE_OK || next != nullptr;
    sqlite3_finalize(next);
    return another;
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
    std::string sql = selectSql(table);
    if (whereClause)
        sql += (startsWithWhere(*whereClause) ? " " : " WHERE ") + *whereClause;

    ExportSelect result;
    const auto storageName = table.name.storageName();
    Permission permission{storageName};
    AuthorizerScope scope(db.handle(), permission);
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int status = sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &statement, &tail);
    if (status != SQLITE_OK) {
        const std::string message = db.errorMessage();
        if (whereClause && permission.denied)
            result.refusal = "query= is refused: it may read only the table being exported";
        else if (whereClause && message.starts_with("no such column"))
            result.problem = "query= does not fit " + storageName + ": " + message;
        else if (whereClause)
            result.refusal = "query= is refused: " + message;
        else
            result.problem = storageName + " cannot be read: " + message;
        return result;
    }
    Statement owned(db.handle(), statement);
    if (holdsAnotherStatement(db.handle(), tail)) {
        result.refusal = "query= is refused: it holds more than one SQL statement";
        return result;
    }
    if (!sqlite3_stmt_readonly(statement)) {
        result.refusal = "query= is refused: the statement would write";
        return result;
    }
    result.statement.emplace(std::move(owned));
    return result;
}

} // namespace standin
