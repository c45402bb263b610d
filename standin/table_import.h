// SPDX-License-Identifier: GPL-3.0-or-later
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
// committed first, then every buffer= bytes of rows. A table the target cannot take (a column
// named twice, a key on a column it lacks, an existing table without one of its columns) and a
// rejected row end the table with an error; the dump goes on. Any other failure ends the import.
// Whatever ends a table early, the log says how many of its rows stay. Returns that number.
std::int64_t importTable(Database& db, DumpReader& reader, const TableDef& dumped,
                         const std::string& targetOwner, const Options& options, Feedback& feedback,
                         LogWriter& log);

// Reads past a table that is not imported.
void skipTable(DumpReader& reader);

} // namespace standin
