// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/table_sql.h"

#include "standin/failure.h"

#include <algorithm>
#include <optional>
#include <sqlite3.h>

namespace standin {

namespace {

std::string columnList(const std::vector<std::string>& columns) {
    std::string list;
    for (const auto& column : columns) {
        if (!list.empty())
            list += ", ";
        list += quoteIdentifier(column);
    }
    return list;
}

std::vector<std::string> columnNames(const TableDef& table) {
    std::vector<std::string> names;
    for (const auto& column : table.columns)
        names.push_back(column.name);
    return names;
}

// nullopt when some key part is an expression or not a plain identifier.
std::optional<std::vector<std::string>> indexColumns(Database& db, std::string_view index) {
    std::vector<std::string> columns;
    auto query = db.prepare("SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
    query.bindText(1, index);
    while (query.step()) {
        const auto name = query.columnText(0);
        if (query.columnType(0) == SQLITE_NULL || !isIdentifier(name) || toUpper(name) != name)
            return std::nullopt;
        columns.emplace_back(name);
    }
    return columns;
}

struct IndexListEntry {
    std::string name;
    bool unique;
    std::string origin; // "c" created by CREATE INDEX, "u" UNIQUE constraint, "pk" primary key
    bool partial;
};

std::vector<IndexListEntry> indexList(Database& db, const QualifiedName& table) {
    std::vector<IndexListEntry> entries;
    auto query = db.prepare(
        "SELECT name, \"unique\", origin, partial FROM pragma_index_list(?1) ORDER BY name");
    query.bindText(1, table.storageName());
    while (query.step()) {
        entries.push_back({std::string(query.columnText(0)), query.columnInteger(1) != 0,
                           std::string(query.columnText(2)), query.columnInteger(3) != 0});
    }
    return entries;
}

} // namespace

TableDef describeTable(Database& db, const QualifiedName& table, Messages& warnings) {
    TableDef definition;
    definition.name = table;
    std::vector<std::pair<std::int64_t, std::string>> keyParts;
    auto query = db.prepare("SELECT name, type, \"notnull\", pk, hidden FROM pragma_table_xinfo(?1)"
                            " ORDER BY cid");
    query.bindText(1, table.storageName());
    while (query.step()) {
        const std::string name(query.columnText(0));
        if (query.columnInteger(4) != 0) {
            warnings.push_back(messages::database(902, table.storageName() + ": generated column " +
                                                           name + " left out"));
            continue;
        }
        if (!isIdentifier(name) || toUpper(name) != name) {
            throw Failure(messages::database(904, table.storageName() + " has a column named \"" +
                                                      name + "\", which a dump cannot carry"));
        }
        std::string type(query.columnText(1));
        if (!isSafeTypeName(type)) {
            warnings.push_back(messages::database(902, table.storageName() + ": column " + name +
                                                           " has type \"" + type +
                                                           "\", exported without a type"));
            type.clear();
        }
        definition.columns.push_back({name, type, query.columnInteger(2) != 0});
        if (const auto position = query.columnInteger(3); position > 0)
            keyParts.emplace_back(position, name);
    }
    std::sort(keyParts.begin(), keyParts.end());
    for (auto& part : keyParts)
        definition.primaryKey.push_back(std::move(part.second));

    for (const auto& entry : indexList(db, table)) {
        if (entry.origin != "u")
            continue;
        if (auto columns = indexColumns(db, entry.name))
            definition.uniques.push_back(std::move(*columns));
        else
            warnings.push_back(messages::indexLeftOut(entry.name));
    }
    return definition;
}

std::vector<IndexDef> describeIndexes(Database& db, const QualifiedName& table,
                                      Messages& warnings) {
    std::vector<IndexDef> indexes;
    for (const auto& entry : indexList(db, table)) {
        if (entry.origin != "c")
            continue;
        const auto name = parseQualifiedName(entry.name);
        const auto columns = indexColumns(db, entry.name);
        if (!name || name->owner != table.owner || name->storageName() != entry.name ||
            entry.partial || !columns) {
            warnings.push_back(messages::indexLeftOut(entry.name));
            continue;
        }
        indexes.push_back({name->name, entry.unique, *columns});
    }
    return indexes;
}

std::vector<std::string> existingColumns(Database& db, const QualifiedName& table) {
    std::vector<std::string> columns;
    auto query = db.prepare("SELECT name FROM pragma_table_info(?1) ORDER BY cid");
    query.bindText(1, table.storageName());
    while (query.step())
        columns.emplace_back(query.columnText(0));
    return columns;
}

std::string createTableSql(const TableDef& table) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(table.name.storageName()) + " (";
    bool first = true;
    for (const auto& column : table.columns) {
        if (!first)
            sql += ", ";
        first = false;
        sql += quoteIdentifier(column.name);
        if (!column.type.empty())
            sql += ' ' + column.type;
        if (column.notNull)
            sql += " NOT NULL";
    }
    if (!table.primaryKey.empty())
        sql += ", PRIMARY KEY (" + columnList(table.primaryKey) + ")";
    for (const auto& unique : table.uniques)
        sql += ", UNIQUE (" + columnList(unique) + ")";
    sql += ")";
    return sql;
}

std::string createIndexSql(const QualifiedName& table, const IndexDef& index) {
    const QualifiedName indexName{table.owner, index.name};
    return std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
           quoteIdentifier(indexName.storageName()) + " ON " +
           quoteIdentifier(table.storageName()) + " (" + columnList(index.columns) + ")";
}

std::string insertSql(const TableDef& table) {
    // OR ABORT overrides any ON CONFLICT IGNORE or REPLACE of the target table: a row that does
    // not fit is refused and reported, never dropped or put in place of another in silence.
    std::string sql = "INSERT OR ABORT INTO " + quoteIdentifier(table.name.storageName()) + " (" +
                      columnList(columnNames(table)) + ") VALUES (";
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        sql += i == 0 ? "?" : ", ?";
    sql += ")";
    return sql;
}

std::string selectSql(const TableDef& table) {
    return "SELECT " + columnList(columnNames(table)) + " FROM " +
           quoteIdentifier(table.name.storageName());
}

} // namespace standin
