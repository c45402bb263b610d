// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/atomic_file.h"
#include "standin/dump_records.h"

#include <cstdint>
#include <string>

namespace standin {

// Writes the dump record by record. Rows are appended field by field through rowBuffer() with
// the value_codec functions, then closed with endRow(). Nothing appears under the final name
// until finish().
class DumpWriter {
public:
    explicit DumpWriter(std::string path);

    void header(const DumpHeader& header);
    void beginTable(const TableDef& table);
    void beginRows();
    std::string& rowBuffer() { return buffer_; }
    void fieldSeparator() { buffer_ += '\t'; }
    void endRow();
    void endRows(std::int64_t count);
    void index(const IndexDef& index);
    void grant(const GrantDef& grant);
    void endTable();
    void finish(std::int64_t tables, std::int64_t rows);

    const std::string& temporaryPath() const { return file_.temporaryPath(); }

private:
    void line(std::string_view text);
    void flushIfFull();

    AtomicFile file_;
    std::string buffer_;
};

} // namespace standin
