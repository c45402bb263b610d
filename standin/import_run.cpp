// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/import_run.h"

#include "standin/dump_reader.h"
#include "standin/failure.h"
#include "standin/feedback.h"
#include "standin/selection.h"
#include "standin/session.h"
#include "standin/table_import.h"

namespace standin {

void runImport(Options& options, LogWriter& log) {
    auto session = logOn(options.connection, log);
    log.line("Connected to " + options.connection.sid + " as " + session.user.name +
             (session.user.dba ? " (DBA)." : "."));
    if (auto refusal = importRefusal(options, session.user))
        throw Failure(*refusal);

    DumpReader reader(options.file);
    log.line("Checking " + options.file + " from end to end before writing anything.");
    reader.checkWhole();
    Database db(session.path, Database::Mode::ReadWrite);
    const auto header = reader.readHeader();
    log.line("Dump " + options.file + ": format " + std::to_string(header.version) + ", " +
             header.mode + " export of " + header.sourceSid + " by " + header.exportedBy + " at " +
             header.exportedAt + ".");
    if (options.rows && !header.rows)
        log.line("The dump holds definitions only (exported with rows=n).");

    ImportSelection selection(options, session.user.name);
    Feedback feedback(options.feedback, log);
    std::int64_t tables = 0;
    std::int64_t rows = 0;
    while (auto table = reader.nextTable()) {
        const auto target = selection.targetOwner(table->name);
        if (!target) {
            skipTable(reader);
            continue;
        }
        rows += importTable(db, reader, *table, *target, options, feedback, log);
        ++tables;
    }
    for (const auto& warning : selection.unmatched())
        log.warning(warning);
    log.line("Read " + options.file + " to its end: " + std::to_string(tables) +
             " table(s) selected, " + std::to_string(rows) + " rows imported.");
}

} // namespace standin
