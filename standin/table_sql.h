// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/database.h"
#include "standin/dump_records.h"
#include "standin/messages.h"

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// Reads a table's definition back from SQLite. Parts a dump cannot carry (generated columns,
// expression or partial indexes, unusual declared types) are left out with a warning.
TableDef describeTable(Database& db, const QualifiedName& table, Messages& warnings);
std::vector<IndexDef> describeIndexes(Database& db, const QualifiedName& table, Messages& warnings);

// The column names of a table in the database, as declared.
std::vector<std::string> existingColumns(Database& db, const QualifiedName& table);

// Statements built only from names and types that passed isIdentifier / isSafeTypeName.
std::string createTableSql(const TableDef& table);
std::string createIndexSql(const QualifiedName& table, const IndexDef& index);
std::string insertSql(const TableDef& table);
std::string selectSql(const TableDef& table); // columns in definition order, no WHERE

} // namespace standin
