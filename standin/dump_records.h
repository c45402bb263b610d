// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/names.h"

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

inline constexpr int dumpFormatVersion = 1;
inline constexpr std::string_view dumpMagic = "TARNHOLD-DUMP";

struct DumpHeader {
    int version = dumpFormatVersion;
    std::string sourceSid;
    std::string exportedBy;
    std::string exportedAt; // UTC, ISO 8601
    std::string mode;       // full, user or tables
    bool rows = true;
    bool indexes = true;
    bool grants = true;
};

struct ColumnDef {
    std::string name;
    std::string type; // declared type, e.g. "NUMBER(7,2)"; may be empty
    bool notNull = false;
};

struct TableDef {
    QualifiedName name;
    std::vector<ColumnDef> columns;
    std::vector<std::string> primaryKey;
    std::vector<std::vector<std::string>> uniques;
};

struct IndexDef {
    std::string name; // lives in the table owner's schema
    bool unique = false;
    std::vector<std::string> columns;
};

struct GrantDef {
    std::string privilege;
    std::string grantee;
};

// A declared type we will paste into CREATE TABLE: words of letters, digits and '_' separated by
// single blanks, optionally ending in "(n)" or "(n,m)", that SQLite reads whole as a type name,
// with no word left over to start a constraint. Nothing else gets through.
bool isSafeTypeName(std::string_view type);

} // namespace standin
