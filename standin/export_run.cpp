// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/export_run.h"

#include "standin/catalogue.h"
#include "standin/dump_writer.h"
#include "standin/export_query.h"
#include "standin/failure.h"
#include "standin/feedback.h"
#include "standin/interruption.h"
#include "standin/selection.h"
#include "standin/session.h"
#include "standin/table_sql.h"
#include "standin/value_codec.h"

#include <ctime>
#include <filesystem>
#include <sqlite3.h>

namespace standin {

namespace {

struct PlannedTable {
    TableDef definition;
    Statement select;
    std::vector<IndexDef> indexes;
    std::vector<GrantDef> grants;
};

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

void appendColumn(std::string& out, const Statement& select, int column) {
    switch (select.columnType(column)) {
    case SQLITE_INTEGER:
        appendInteger(out, select.columnInteger(column));
        break;
    case SQLITE_FLOAT:
        appendReal(out, select.columnReal(column));
        break;
    case SQLITE_TEXT:
        appendText(out, select.columnText(column));
        break;
    case SQLITE_BLOB:
        appendBlob(out, select.columnBlob(column));
        break;
    default:
        appendNull(out);
    }
}

std::int64_t writeRows(DumpWriter& writer, Statement& select, Feedback& feedback) {
    const int columns = select.columnCount();
    std::int64_t count = 0;
    writer.beginRows();
    while (select.step()) {
        throwIfInterrupted();
        auto& out = writer.rowBuffer();
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                writer.fieldSeparator();
            appendColumn(out, select, column);
        }
        writer.endRow();
        ++count;
        feedback.row();
    }
    feedback.endTable();
    writer.endRows(count);
    return count;
}

// Everything is described and every SELECT prepared before the dump is opened, so a refused
// query leaves the dump as it was.
std::vector<PlannedTable> planTables(Database& db, const std::vector<QualifiedName>& tables,
                                     const Options& options, LogWriter& log) {
    const auto lead = messages::statementLead(Tool::Export);
    std::vector<PlannedTable> plan;
    for (const auto& name : tables) {
        Messages warnings;
        auto definition = describeTable(db, name, warnings);
        auto select = prepareExportSelect(db, definition, options.query);
        if (!select.refusal.empty())
            throw Failure(messages::parameters(Tool::Export, select.refusal));
        std::vector<IndexDef> indexes;
        if (select.problem)
            warnings.push_back(*select.problem);
        else if (options.indexes)
            indexes = describeIndexes(db, name, warnings);
        for (const auto& warning : warnings)
            log.warning(messages::withLead(lead, {warning}));
        if (select.problem)
            continue;
        auto grants = options.grants ? tableGrants(db, name) : std::vector<GrantDef>{};
        plan.push_back({std::move(definition), std::move(*select.statement), std::move(indexes),
                        std::move(grants)});
    }
    return plan;
}

// Nothing to export: the database's message, and what became of the dump.
Failure nothingToExport(int number, const std::string& why, const Options& options) {
    return Failure(
        messages::withLead(messages::statementLead(Tool::Export),
                           {messages::database(number, why + "; nothing exported, " + options.file +
                                                           " left as it is")}));
}

// A table named in tables= that does not exist is left out with a warning, and the others are
// exported. But an export of none of the named tables, or of a schema without tables (the wrong
// SID, say), must not turn a good dump into an empty one.
void refuseEmptySelection(const ExportSelection& selection, const Options& options,
                          const std::string& user) {
    if (!selection.tables.empty())
        return;
    if (selection.mode == "tables")
        throw nothingToExport(942, "none of the tables named in tables= exists", options);
    std::error_code error;
    if (std::filesystem::exists(options.file, error))
        throw nothingToExport(942,
                              selection.mode == "user" ? "schema " + user + " has no tables"
                                                       : std::string("the database has no tables"),
                              options);
}

} // namespace

void runExport(Options& options, LogWriter& log) {
    auto session = logOn(options.connection, log);
    session.db.exec("PRAGMA query_only = ON");
    log.line("Connected to " + options.connection.sid + " as " + session.user.name +
             (session.user.dba ? " (DBA)" : "") + ", read-only.");
    if (auto refusal = exportRefusal(options, session.user))
        throw Failure(*refusal);

    auto selection = selectForExport(listTables(session.db), options, session.user.name);
    for (const auto& missing : selection.missing)
        log.warning(missing);
    refuseEmptySelection(selection, options, session.user.name);
    if (selection.mode == "user" && selection.tables.empty())
        log.line("Schema " + session.user.name + " has no tables.");
    if (options.query) {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(session.path, error);
        boundValueLength(session.db, error ? 0 : bytes);
    }
    auto plan = planTables(session.db, selection.tables, options, log);
    if (plan.empty() && !selection.tables.empty())
        throw nothingToExport(904, "query= fits none of the tables", options);

    for (const auto& leftover : removeLeftoverPartials(options.file))
        log.line("Removed " + leftover + ", left by an export that was stopped.");
    // One read transaction, so every table comes from the same moment.
    session.db.exec("BEGIN");
    DumpWriter writer(options.file);
    writer.header({dumpFormatVersion, options.connection.sid, session.user.name, utcNow(),
                   selection.mode, options.rows, options.indexes, options.grants});

    log.line("Exporting " + std::to_string(plan.size()) + " table(s) in " + selection.mode +
             " mode:");
    Feedback feedback(options.feedback, log);
    std::int64_t totalRows = 0;
    for (auto& table : plan) {
        writer.beginTable(table.definition);
        const auto name = table.definition.name.storageName();
        if (options.rows) {
            const auto count = writeRows(writer, table.select, feedback);
            totalRows += count;
            log.line("  exported " + name + ": " + std::to_string(count) + " rows");
        } else {
            log.line("  exported " + name + ": definition only (rows=n)");
        }
        for (const auto& index : table.indexes)
            writer.index(index);
        for (const auto& grant : table.grants)
            writer.grant(grant);
        writer.endTable();
    }
    writer.finish(static_cast<std::int64_t>(plan.size()), totalRows);
    session.db.exec("COMMIT");
    log.line("Wrote " + options.file + ": " + std::to_string(plan.size()) + " table(s), " +
             std::to_string(totalRows) + " rows.");
}

} // namespace standin
