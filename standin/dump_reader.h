// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/dump_records.h"
#include "standin/failure.h"
#include "standin/line_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// The file is not one of our dumps at all; imp refuses it before touching any database.
class NotADump : public Failure {
public:
    using Failure::Failure;
};

struct TableExtras {
    std::vector<IndexDef> indexes;
    std::vector<GrantDef> grants;
};

// Pulls a dump apart in file order: header, then per table its definition, its rows (if the
// dump has them) and its indexes and grants. Malformed input throws Failure naming the line;
// text quoted from the dump in a message is cut short.
class DumpReader {
public:
    explicit DumpReader(const std::string& path);

    // Reads the whole dump as imp will load it, every row field decoded and every count checked,
    // then goes back to the start: a damaged dump is refused before anything is written.
    void checkWhole();

    DumpHeader readHeader();

    // The next table's definition; nullopt once the closing END-DUMP line has been checked.
    std::optional<TableDef> nextTable();

    // Call after nextTable(): true when a rows section follows, which must then be read to its
    // end with nextRow() or skipRows().
    bool beginRows();
    // Splits the next row into its raw fields; false at the end of the section.
    bool nextRow(std::vector<std::string_view>& fields);
    // Length of the last row's text, to measure rows against imp's buffer.
    std::size_t lastRowBytes() const { return lastRowBytes_; }
    void skipRows();

    // Indexes and grants up to and including END-TABLE.
    TableExtras readExtras();

    std::int64_t lineNumber() const { return lines_.lineNumber(); }
    // Malformed input: IMP-00008, naming the file and the line.
    [[noreturn]] void fail(const std::string& why) const;

private:
    [[noreturn]] void failEarlyEnd(const std::string& why) const; // IMP-00009
    std::string where() const;
    std::string_view take(); // next line that is not a comment; throws at end of file
    std::string_view peek();
    void rewind();
    void finishRows(std::string_view endLine);

    LineReader lines_;
    std::string path_;
    std::string pending_; // a peeked line
    bool hasPending_ = false;
    std::size_t columnCount_ = 0;
    std::int64_t tableRows_ = 0;
    std::int64_t tablesSeen_ = 0;
    std::int64_t rowsSeen_ = 0;
    std::size_t lastRowBytes_ = 0;
};

} // namespace standin
