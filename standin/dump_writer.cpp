// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/dump_writer.h"

namespace standin {

namespace {

constexpr std::size_t flushThreshold = 1 << 20;

std::string yn(bool value) {
    return value ? "y" : "n";
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        if (!text.empty())
            text += ',';
        text += name;
    }
    return text;
}

} // namespace

DumpWriter::DumpWriter(std::string path) : file_(std::move(path)) {
    buffer_.reserve(flushThreshold + 4096);
}

void DumpWriter::line(std::string_view text) {
    buffer_ += text;
    buffer_ += '\n';
    flushIfFull();
}

void DumpWriter::flushIfFull() {
    if (buffer_.size() >= flushThreshold) {
        file_.write(buffer_);
        buffer_.clear();
    }
}

void DumpWriter::header(const DumpHeader& header) {
    line(std::string(dumpMagic) + ' ' + std::to_string(header.version));
    line("# Written by Tarnhold's exp. One record per line; row fields are tab-separated.");
    line("SOURCE-SID " + header.sourceSid);
    line("EXPORTED-BY " + header.exportedBy);
    line("EXPORTED-AT " + header.exportedAt);
    line("MODE " + header.mode);
    line("CONTENT rows=" + yn(header.rows) + " indexes=" + yn(header.indexes) +
         " grants=" + yn(header.grants));
}

void DumpWriter::beginTable(const TableDef& table) {
    line("TABLE " + table.name.storageName());
    for (const auto& column : table.columns) {
        std::string text = "COLUMN " + column.name + (column.notNull ? " NOT-NULL" : " NULL");
        if (!column.type.empty())
            text += ' ' + column.type;
        line(text);
    }
    if (!table.primaryKey.empty())
        line("PRIMARY-KEY " + joined(table.primaryKey));
    for (const auto& unique : table.uniques)
        line("UNIQUE " + joined(unique));
}

void DumpWriter::beginRows() {
    line("ROWS");
}

void DumpWriter::endRow() {
    buffer_ += '\n';
    flushIfFull();
}

void DumpWriter::endRows(std::int64_t count) {
    line("END-ROWS " + std::to_string(count));
}

void DumpWriter::index(const IndexDef& index) {
    line("INDEX " + index.name + (index.unique ? " UNIQUE " : " NONUNIQUE ") +
         joined(index.columns));
}

void DumpWriter::grant(const GrantDef& grant) {
    line("GRANT " + grant.privilege + ' ' + grant.grantee);
}

void DumpWriter::endTable() {
    line("END-TABLE");
}

void DumpWriter::finish(std::int64_t tables, std::int64_t rows) {
    line("END-DUMP " + std::to_string(tables) + ' ' + std::to_string(rows));
    file_.write(buffer_);
    buffer_.clear();
    file_.commit();
}

} // namespace standin
