// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/dump_records.h"

#include <memory>
#include <sqlite3.h>
#include <string>

namespace standin {

namespace {

bool isWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isWords(std::string_view text) {
    bool previousBlank = true;
    for (char c : text) {
        if (c == ' ') {
            if (previousBlank)
                return false;
            previousBlank = true;
        } else if (isWordChar(c)) {
            previousBlank = false;
        } else {
            return false;
        }
    }
    return !previousBlank;
}

bool isSizeList(std::string_view text) {
    const auto comma = text.find(',');
    const auto first = text.substr(0, comma);
    const auto second =
        comma == std::string_view::npos ? std::string_view("0") : text.substr(comma + 1);
    auto digits = [](std::string_view part) {
        if (part.empty() || part.size() > 9)
            return false;
        for (char c : part) {
            if (!isDigit(c))
                return false;
        }
        return true;
    };
    return digits(first) && digits(second);
}

bool hasTypeShape(std::string_view type) {
    const auto open = type.find('(');
    if (open == std::string_view::npos)
        return isWords(type);
    if (type.back() != ')' || open == 0)
        return false;
    return isWords(type.substr(0, open)) &&
           isSizeList(type.substr(open + 1, type.size() - open - 2));
}

// Words can still be SQL: "TEXT UNIQUE ON CONFLICT IGNORE", "DEFAULT(1)", "CHECK(0)", "AS(1)".
// SQLite itself decides where a declared type ends; the text is a type only when SQLite reads
// all of it as the type and nothing is left over for a constraint.
bool sqliteReadsOnlyAType(std::string_view type) {
    static const std::unique_ptr<sqlite3, int (*)(sqlite3*)> scratch = [] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr);
        return std::unique_ptr<sqlite3, int (*)(sqlite3*)>(db, sqlite3_close);
    }();
    const std::string create =
        "DROP TABLE IF EXISTS probe; CREATE TABLE probe (other, c " + std::string(type) + ")";
    if (sqlite3_exec(scratch.get(), create.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(scratch.get(),
                       "SELECT type, \"notnull\", dflt_value IS NULL, pk, hidden"
                       " FROM pragma_table_xinfo('probe') WHERE name = 'c'",
                       -1, &query, nullptr);
    bool onlyType = false;
    if (query && sqlite3_step(query) == SQLITE_ROW) {
        const auto* declared = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
        onlyType = declared && type == declared && sqlite3_column_int(query, 1) == 0 &&
                   sqlite3_column_int(query, 2) == 1 && sqlite3_column_int(query, 3) == 0 &&
                   sqlite3_column_int(query, 4) == 0;
    }
    sqlite3_finalize(query);
    return onlyType;
}

} // namespace

bool isSafeTypeName(std::string_view type) {
    return type.empty() || (hasTypeShape(type) && sqliteReadsOnlyAType(type));
}

} // namespace standin
