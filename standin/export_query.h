// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/database.h"
#include "standin/dump_records.h"
#include "standin/messages.h"

#include <cstdint>
#include <optional>
#include <string>

namespace standin {

// The one SELECT that reads a table for export, with query= as its WHERE clause.
struct ExportSelect {
    std::optional<Statement> statement;
    std::string refusal;            // the query is not allowed at all: the whole export is refused
    std::optional<Message> problem; // the table cannot be read so: only this table is left out
};

// query= is a condition on the table's rows and nothing else. It is wrapped in parentheses of
// its own (its own must pair up), so it cannot end the WHERE clause and add a UNION, GROUP BY or
// LIMIT; an authorizer then allows one SELECT (no sub-query), reading only this table, and only
// functions whose result is no larger than their arguments, so each row costs time and memory in
// proportion to the row and the clause.
ExportSelect prepareExportSelect(Database& db, const TableDef& table,
                                 const std::optional<std::string>& whereClause);

// No value the clause computes may grow larger than the database file it reads.
void boundValueLength(Database& db, std::uintmax_t databaseBytes);

} // namespace standin
