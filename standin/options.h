// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/names.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

enum class Tool { Export, Import };
enum class Statistics { Estimate, Compute, None };

struct Connection {
    std::string user; // upper case
    std::string password;
    std::string sid; // as given; checked against the Oracle home later
};

// Everything exp and imp take from their command line, with the defaults they run with.
struct Options {
    Tool tool = Tool::Export;
    Connection connection;
    std::string file;
    std::string log; // empty: no log file
    bool full = false;
    bool rows = true;
    bool indexes = true;
    bool grants = true;
    bool direct = false;     // exp only; accepted and reported
    bool consistent = false; // exp only; accepted and reported
    bool compress = true;    // exp only; accepted and reported
    bool compile = true;     // imp only; accepted and reported
    bool ignore = false;     // imp only
    bool commit = false;     // imp only
    Statistics statistics = Statistics::Estimate;
    std::int64_t feedback = 0; // a dot every this many rows; 0 for none
    std::int64_t buffer = 65536;
    std::optional<std::int64_t> recordLength;
    std::vector<QualifiedName> tables;
    std::optional<std::string> query;   // exp only: a WHERE clause
    std::vector<std::string> fromUsers; // imp only
    std::vector<std::string> toUsers;   // imp only
};

const char* toolName(Tool tool);
const char* statisticsName(Statistics statistics);

} // namespace standin
