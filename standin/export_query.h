#pragma once

#include "standin/database.h"
#include "standin/dump_records.h"

#include <optional>
#include <string>

namespace standin {

// The one SELECT that reads a table for export, with query= as its WHERE clause.
struct ExportSelect {
    std::optional<Statement> statement;
    std::string refusal; // the query is not allowed at all: the whole export is refused
    std::string problem; // the query does not fit this table: only this table is left out
};

// The clause may only read the table itself: the statement must be a single read-only SELECT, and
// an authorizer denies every other table and every action but reading.
ExportSelect prepareExportSelect(Database& db, const TableDef& table,
                                 const std::optional<std::string>& whereClause);

} // namespace standin
