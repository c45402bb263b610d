// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/dump_reader.h"

#include "standin/interruption.h"
#include "standin/output_charset.h"
#include "standin/value_codec.h"

#include <algorithm>
#include <charconv>

namespace standin {

namespace {

// Splits "KEYWORD rest" at the first blank.
std::pair<std::string_view, std::string_view> splitKeyword(std::string_view line) {
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos)
        return {line, {}};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

constexpr std::size_t maxExcerptBytes = 60;
constexpr std::size_t maxTimestampBytes = 40;

// Dump text for a message, in quotes, cut to a length a log line can carry.
std::string excerpt(std::string_view text) {
    std::string result(1, '"');
    result += utf8Prefix(text, maxExcerptBytes);
    if (text.size() <= maxExcerptBytes)
        return result + '"';
    return result + "...\" (" + std::to_string(text.size()) + " bytes)";
}

// Only the plain spelling of a version: "1", never "01" or "+1".
std::optional<std::int64_t> parseVersion(std::string_view text) {
    if (text.empty() || text.front() < '1' || text.front() > '9' || text.size() > 9)
        return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return std::stoll(std::string(text));
}

bool isPrintable(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7f; });
}

std::optional<std::int64_t> parseCount(std::string_view text) {
    std::int64_t value = 0;
    const auto [stop, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || problem != std::errc() || stop != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

std::optional<std::vector<std::string>> parseNameList(std::string_view text) {
    std::vector<std::string> names;
    for (;;) {
        const auto comma = text.find(',');
        const auto name = text.substr(0, comma);
        if (!isIdentifier(name) || toUpper(name) != name)
            return std::nullopt;
        names.emplace_back(name);
        if (comma == std::string_view::npos)
            return names;
        text.remove_prefix(comma + 1);
    }
}

bool isUpperIdentifier(std::string_view text) {
    return isIdentifier(text) && toUpper(text) == text;
}

std::optional<bool> parseFlag(std::string_view text, std::string_view key) {
    if (!text.starts_with(key) || text.size() != key.size() + 2 || text[key.size()] != '=')
        return std::nullopt;
    const char value = text.back();
    if (value != 'y' && value != 'n')
        return std::nullopt;
    return value == 'y';
}

} // namespace

DumpReader::DumpReader(const std::string& path) : lines_(path), path_(path) {}

void DumpReader::rewind() {
    lines_.rewind();
    hasPending_ = false;
    columnCount_ = 0;
    tableRows_ = tablesSeen_ = rowsSeen_ = 0;
    lastRowBytes_ = 0;
}

void DumpReader::checkWhole() {
    readHeader();
    std::vector<std::string_view> fields;
    FieldValue value;
    while (const auto table = nextTable()) {
        if (beginRows()) {
            while (nextRow(fields)) {
                throwIfInterrupted();
                for (std::size_t i = 0; i < fields.size(); ++i) {
                    if (auto problem = decodeField(fields[i], value); !problem.empty())
                        fail("column " + table->columns[i].name + ": " + problem);
                }
            }
        }
        readExtras();
    }
    rewind();
}

std::string DumpReader::where() const {
    return path_ + " line " + std::to_string(lines_.lineNumber()) + ": ";
}

void DumpReader::fail(const std::string& why) const {
    throw Failure(messages::unrecognised(where() + why));
}

void DumpReader::failEarlyEnd(const std::string& why) const {
    throw Failure(messages::abnormalEnd(where() + why));
}

std::string_view DumpReader::take() {
    if (hasPending_) {
        hasPending_ = false;
        return pending_;
    }
    for (;;) {
        const auto line = lines_.next();
        if (!line)
            failEarlyEnd("the dump ends early; it is incomplete");
        if (!lines_.lastLineComplete())
            failEarlyEnd("the dump ends in the middle of a line; it is incomplete");
        if (line->ends_with('\r'))
            fail("the line ends in a carriage return; the dump was copied as text and changed");
        if (!line->starts_with('#'))
            return *line;
    }
}

std::string_view DumpReader::peek() {
    if (!hasPending_) {
        pending_ = take();
        hasPending_ = true;
    }
    return pending_;
}

DumpHeader DumpReader::readHeader() {
    const auto magic = std::string(dumpMagic) + ' ';
    if (lines_.peekBytes(magic.size()) != magic)
        throw NotADump(messages::notAnExportFile(path_ + " is not a Tarnhold export dump"));
    const auto first = lines_.next().value_or(std::string_view());
    if (first.ends_with('\r')) {
        throw NotADump(messages::notAnExportFile(
            path_ + " has Windows line ends (CRLF): it was copied as text and changed; " +
            "copy the dump again as a binary file"));
    }
    const auto versionText = first.substr(magic.size());
    const auto version = parseVersion(versionText);
    if (!version) {
        throw NotADump(messages::notAnExportFile(
            path_ + " is not a Tarnhold export dump (malformed format version " +
            excerpt(versionText) + ")"));
    }
    if (*version > dumpFormatVersion) {
        throw NotADump(messages::notAnExportFile(
            path_ + " was written in dump format " + std::string(versionText) +
            "; this imp reads format " + std::to_string(dumpFormatVersion) + " and older"));
    }

    DumpHeader header;
    header.version = static_cast<int>(*version);
    bool sid = false, by = false, at = false, mode = false, content = false;
    while (!peek().starts_with("TABLE ") && !peek().starts_with("END-DUMP ")) {
        const auto [key, value] = splitKeyword(take());
        if (key == "SOURCE-SID" && isSid(value)) {
            header.sourceSid = value;
            sid = true;
        } else if (key == "EXPORTED-BY" && isUpperIdentifier(value)) {
            header.exportedBy = value;
            by = true;
        } else if (key == "EXPORTED-AT" && !value.empty() && value.size() <= maxTimestampBytes &&
                   isPrintable(value)) {
            header.exportedAt = value;
            at = true;
        } else if (key == "MODE" && (value == "full" || value == "user" || value == "tables")) {
            header.mode = value;
            mode = true;
        } else if (key == "CONTENT") {
            const auto [rowsText, others] = splitKeyword(value);
            const auto [indexesText, grantsText] = splitKeyword(others);
            const auto rows = parseFlag(rowsText, "rows");
            const auto indexes = parseFlag(indexesText, "indexes");
            const auto grants = parseFlag(grantsText, "grants");
            if (!rows || !indexes || !grants)
                fail("malformed CONTENT line");
            header.rows = *rows;
            header.indexes = *indexes;
            header.grants = *grants;
            content = true;
        } else {
            fail("unexpected header line " + excerpt(key));
        }
    }
    if (!sid || !by || !at || !mode || !content)
        fail("the header lacks one of SOURCE-SID, EXPORTED-BY, EXPORTED-AT, MODE, CONTENT");
    return header;
}

std::optional<TableDef> DumpReader::nextTable() {
    const auto [keyword, rest] = splitKeyword(take());
    if (keyword == "END-DUMP") {
        const auto blank = rest.find(' ');
        const auto tables = parseCount(rest.substr(0, blank));
        const auto rows =
            blank == std::string_view::npos ? std::nullopt : parseCount(rest.substr(blank + 1));
        if (!tables || !rows)
            fail("malformed END-DUMP line");
        if (*tables != tablesSeen_ || *rows != rowsSeen_) {
            fail("END-DUMP counts " + std::to_string(*tables) + " tables and " +
                 std::to_string(*rows) + " rows, but the dump holds " +
                 std::to_string(tablesSeen_) + " and " + std::to_string(rowsSeen_));
        }
        if (lines_.next())
            fail("text follows END-DUMP");
        return std::nullopt;
    }
    if (keyword != "TABLE")
        fail("expected TABLE or END-DUMP");
    const auto dot = rest.find('.');
    if (dot == std::string_view::npos || !isUpperIdentifier(rest.substr(0, dot)) ||
        !isUpperIdentifier(rest.substr(dot + 1)))
        fail("malformed table name " + excerpt(rest));

    TableDef table;
    table.name = {std::string(rest.substr(0, dot)), std::string(rest.substr(dot + 1))};
    for (;;) {
        const auto [key, value] = splitKeyword(peek());
        if (key == "COLUMN") {
            take();
            const auto [name, afterName] = splitKeyword(value);
            const auto [nullability, type] = splitKeyword(afterName);
            if (!isUpperIdentifier(name) || (nullability != "NULL" && nullability != "NOT-NULL") ||
                !isSafeTypeName(type))
                fail("malformed COLUMN line");
            table.columns.push_back({std::string(name), std::string(type), nullability != "NULL"});
        } else if (key == "PRIMARY-KEY" || key == "UNIQUE") {
            const bool primary = key == "PRIMARY-KEY";
            take();
            auto names = parseNameList(value);
            if (!names)
                fail("malformed column list");
            if (primary)
                table.primaryKey = std::move(*names);
            else
                table.uniques.push_back(std::move(*names));
        } else {
            break;
        }
    }
    if (table.columns.empty())
        fail("table " + table.name.storageName() + " has no columns");
    columnCount_ = table.columns.size();
    ++tablesSeen_;
    return table;
}

bool DumpReader::beginRows() {
    if (peek() != "ROWS")
        return false;
    take();
    tableRows_ = 0;
    return true;
}

void DumpReader::finishRows(std::string_view endLine) {
    const auto count = parseCount(endLine.substr(9));
    if (!count)
        fail("malformed END-ROWS line");
    if (*count != tableRows_) {
        fail("END-ROWS counts " + std::to_string(*count) + " rows, but the table holds " +
             std::to_string(tableRows_));
    }
}

bool DumpReader::nextRow(std::vector<std::string_view>& fields) {
    const auto line = take();
    if (line.starts_with("END-ROWS ")) {
        finishRows(line);
        return false;
    }
    fields.clear();
    std::size_t from = 0;
    for (;;) {
        const auto tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == std::string_view::npos ? tab : tab - from));
        if (tab == std::string_view::npos)
            break;
        from = tab + 1;
    }
    if (fields.size() != columnCount_) {
        fail("a row has " + std::to_string(fields.size()) + " fields for " +
             std::to_string(columnCount_) + " columns");
    }
    lastRowBytes_ = line.size() + 1;
    ++tableRows_;
    ++rowsSeen_;
    return true;
}

void DumpReader::skipRows() {
    for (;;) {
        const auto line = take();
        if (line.starts_with("END-ROWS ")) {
            finishRows(line);
            return;
        }
        ++tableRows_;
        ++rowsSeen_;
    }
}

TableExtras DumpReader::readExtras() {
    TableExtras extras;
    for (;;) {
        const auto line = take();
        if (line == "END-TABLE")
            return extras;
        const auto [key, rest] = splitKeyword(line);
        const auto [first, afterFirst] = splitKeyword(rest);
        if (key == "INDEX") {
            const auto [kind, columnText] = splitKeyword(afterFirst);
            auto columns = parseNameList(columnText);
            if (!isUpperIdentifier(first) || (kind != "UNIQUE" && kind != "NONUNIQUE") || !columns)
                fail("malformed INDEX line");
            extras.indexes.push_back({std::string(first), kind == "UNIQUE", std::move(*columns)});
        } else if (key == "GRANT") {
            if (!isUpperIdentifier(first) || !isUpperIdentifier(afterFirst))
                fail("malformed GRANT line");
            extras.grants.push_back({std::string(first), std::string(afterFirst)});
        } else {
            fail("expected INDEX, GRANT or END-TABLE");
        }
    }
}

} // namespace standin
