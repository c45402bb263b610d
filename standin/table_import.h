#pragma once

#include "standin/database.h"
#include "standin/dump_reader.h"
#include "standin/feedback.h"
#include "standin/log_writer.h"
#include "standin/options.h"

#include <cstdint>

namespace standin {

// Loads the table whose definition nextTable() just returned, reading the dump up to its
// END-TABLE. commit=n: the table and its rows are one transaction. commit=y: the definition is
// committed first, then every buffer= bytes of rows. A rejected row ends the table; the dump goes
// on. A malformed dump throws Failure after rolling back what is not committed. Returns how many
// rows stay in the database.
std::int64_t importTable(Database& db, DumpReader& reader, const TableDef& dumped,
                         const std::string& targetOwner, const Options& options, Feedback& feedback,
                         LogWriter& log);

// Reads past a table that is not imported.
void skipTable(DumpReader& reader);

} // namespace standin
