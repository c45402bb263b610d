// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/command_line.h"

#include <algorithm>
#include <charconv>

namespace standin {

namespace {

constexpr std::string_view passwordMask = "********";
// A condition on a table's rows; its cost per row grows with its length.
constexpr std::size_t maxQueryBytes = 4000;

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The GUI quotes values that hold blanks; one pair of surrounding double quotes is not part of
// the value. Shell-style \"...\" is accepted as well.
std::string_view unquote(std::string_view value) {
    if (value.size() >= 4 && value.starts_with("\\\"") && value.ends_with("\\\""))
        return value.substr(2, value.size() - 4);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

std::string quoted(std::string_view text) {
    std::string result(1, '"');
    result += text;
    result += '"';
    return result;
}

std::string assignSwitch(bool& target, std::string_view key, std::string_view value) {
    if (equalsIgnoreCase(value, "y") || equalsIgnoreCase(value, "yes")) {
        target = true;
        return {};
    }
    if (equalsIgnoreCase(value, "n") || equalsIgnoreCase(value, "no")) {
        target = false;
        return {};
    }
    return std::string(key) + "= takes y or n, not " + quoted(value);
}

std::string assignNumber(std::int64_t& target, std::string_view key, std::string_view value,
                         std::int64_t low, std::int64_t high) {
    std::int64_t number = 0;
    const auto* end = value.data() + value.size();
    const auto [stop, problem] = std::from_chars(value.data(), end, number);
    const bool digitsOnly = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    if (!digitsOnly || problem != std::errc() || stop != end || number < low || number > high) {
        return std::string(key) + "= takes a whole number from " + std::to_string(low) + " to " +
               std::to_string(high) + ", not " + quoted(value);
    }
    target = number;
    return {};
}

std::string assignPath(std::string& target, std::string_view key, std::string_view value) {
    const auto path = unquote(value);
    if (path.empty())
        return std::string(key) + "= needs a file name";
    if (path.find('\0') != std::string_view::npos)
        return std::string(key) + "= holds a NUL character";
    target = std::string(path);
    return {};
}

// "(A,B)", "A", "(\"A,B\")", "(\"A\",\"B\")": quotes only group, names are case-insensitive.
std::string splitNameList(std::string_view key, std::string_view value,
                          std::vector<std::string>& items) {
    std::string_view list = trim(value);
    const bool opens = list.starts_with('(');
    const bool closes = list.ends_with(')');
    if (opens != closes || (opens && list.size() < 2))
        return std::string(key) + "= has unbalanced parentheses: " + quoted(value);
    if (opens)
        list = list.substr(1, list.size() - 2);
    if (std::count(list.begin(), list.end(), '"') % 2 != 0)
        return std::string(key) + "= has an unbalanced double quote: " + quoted(value);
    std::string unquotedList;
    std::copy_if(list.begin(), list.end(), std::back_inserter(unquotedList),
                 [](char c) { return c != '"'; });
    items.clear();
    std::string_view rest = unquotedList;
    for (;;) {
        const auto comma = rest.find(',');
        const auto item = trim(rest.substr(0, comma));
        if (item.empty())
            return std::string(key) + "= has an empty name in " + quoted(value);
        items.emplace_back(item);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return {};
}

std::string assignTables(std::vector<QualifiedName>& target, std::string_view value) {
    std::vector<std::string> items;
    if (auto error = splitNameList("tables", value, items); !error.empty())
        return error;
    target.clear();
    for (const auto& item : items) {
        auto name = parseQualifiedName(item);
        if (!name)
            return "tables= names " + quoted(item) + ", which is not a valid table name";
        target.push_back(std::move(*name));
    }
    return {};
}

std::string assignUsers(std::vector<std::string>& target, std::string_view key,
                        std::string_view value) {
    std::vector<std::string> items;
    if (auto error = splitNameList(key, value, items); !error.empty())
        return error;
    target.clear();
    for (const auto& item : items) {
        if (!isIdentifier(item))
            return std::string(key) + "= names " + quoted(item) +
                   ", which is not a valid user name";
        target.push_back(toUpper(item));
    }
    return {};
}

std::string assignStatistics(Statistics& target, std::string_view value) {
    if (equalsIgnoreCase(value, "estimate"))
        target = Statistics::Estimate;
    else if (equalsIgnoreCase(value, "compute"))
        target = Statistics::Compute;
    else if (equalsIgnoreCase(value, "none"))
        target = Statistics::None;
    else
        return "statistics= takes estimate, compute or none, not " + quoted(value);
    return {};
}

std::string assignQuery(std::optional<std::string>& target, std::string_view value) {
    const auto clause = trim(unquote(value));
    if (clause.empty())
        return "query= needs a WHERE clause";
    if (clause.find('\0') != std::string_view::npos)
        return "query= holds a NUL character";
    if (clause.size() > maxQueryBytes)
        return "query= is longer than " + std::to_string(maxQueryBytes) + " bytes";
    target = std::string(clause);
    return {};
}

constexpr std::int64_t maxCount = 2'147'483'647;

struct Keyword {
    std::string_view name;
    bool forExport;
    bool forImport;
    std::string (*assign)(Options&, std::string_view value);
};

// clang-format off
constexpr Keyword keywords[] = {
    {"buffer", true, true, [](Options& o, std::string_view v) { return assignNumber(o.buffer, "buffer", v, 1, maxCount); }},
    {"commit", false, true, [](Options& o, std::string_view v) { return assignSwitch(o.commit, "commit", v); }},
    {"compile", false, true, [](Options& o, std::string_view v) { return assignSwitch(o.compile, "compile", v); }},
    {"compress", true, false, [](Options& o, std::string_view v) { return assignSwitch(o.compress, "compress", v); }},
    {"consistent", true, false, [](Options& o, std::string_view v) { return assignSwitch(o.consistent, "consistent", v); }},
    {"direct", true, false, [](Options& o, std::string_view v) { return assignSwitch(o.direct, "direct", v); }},
    {"feedback", true, true, [](Options& o, std::string_view v) { return assignNumber(o.feedback, "feedback", v, 0, maxCount); }},
    {"file", true, true, [](Options& o, std::string_view v) { return assignPath(o.file, "file", v); }},
    {"fromuser", false, true, [](Options& o, std::string_view v) { return assignUsers(o.fromUsers, "fromuser", v); }},
    {"full", true, true, [](Options& o, std::string_view v) { return assignSwitch(o.full, "full", v); }},
    {"grants", true, true, [](Options& o, std::string_view v) { return assignSwitch(o.grants, "grants", v); }},
    {"ignore", false, true, [](Options& o, std::string_view v) { return assignSwitch(o.ignore, "ignore", v); }},
    {"indexes", true, true, [](Options& o, std::string_view v) { return assignSwitch(o.indexes, "indexes", v); }},
    {"log", true, true, [](Options& o, std::string_view v) { return assignPath(o.log, "log", v); }},
    {"query", true, false, [](Options& o, std::string_view v) { return assignQuery(o.query, v); }},
    {"recordlength", true, true, [](Options& o, std::string_view v) {
        std::int64_t length = 0;
        auto error = assignNumber(length, "recordlength", v, 1, 65535);
        if (error.empty())
            o.recordLength = length;
        return error;
    }},
    {"rows", true, true, [](Options& o, std::string_view v) { return assignSwitch(o.rows, "rows", v); }},
    {"statistics", true, true, [](Options& o, std::string_view v) { return assignStatistics(o.statistics, v); }},
    {"tables", true, true, [](Options& o, std::string_view v) { return assignTables(o.tables, v); }},
    {"touser", false, true, [](Options& o, std::string_view v) { return assignUsers(o.toUsers, "touser", v); }},
};
// clang-format on

bool takes(const Keyword& keyword, Tool tool) {
    return tool == Tool::Export ? keyword.forExport : keyword.forImport;
}

std::string keywordList(Tool tool) {
    std::string list;
    for (const auto& keyword : keywords) {
        if (!takes(keyword, tool))
            continue;
        if (!list.empty())
            list += ", ";
        list += keyword.name;
    }
    return list;
}

std::string_view stripUserIdPrefix(std::string_view text) {
    constexpr std::string_view prefix = "userid=";
    if (text.size() > prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix))
        text.remove_prefix(prefix.size());
    return text;
}

// The password may hold '/' and '@', so the user ends at the first '/' and the SID starts after
// the last '@'.
std::string parseConnection(std::string_view text, Connection& connection) {
    text = stripUserIdPrefix(text);
    const auto slash = text.find('/');
    const auto at = text.rfind('@');
    if (slash == std::string_view::npos || at == std::string_view::npos || at < slash)
        return "the first argument must be the connection user/password@SID";
    const auto user = text.substr(0, slash);
    const auto password = text.substr(slash + 1, at - slash - 1);
    const auto sid = text.substr(at + 1);
    if (!isIdentifier(user))
        return "the connection names " + quoted(user) + ", which is not a valid user name";
    if (password.empty())
        return "the connection gives no password";
    if (sid.empty())
        return "the connection gives no SID after '@'";
    connection = {toUpper(user), std::string(password), std::string(sid)};
    return {};
}

std::string applyPiece(std::string_view piece, Tool tool, Options& options) {
    const auto equals = piece.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return quoted(piece) + " is not of the form keyword=value";
    const auto key = piece.substr(0, equals);
    const auto value = piece.substr(equals + 1);
    const auto* keyword =
        std::find_if(std::begin(keywords), std::end(keywords),
                     [&](const Keyword& k) { return equalsIgnoreCase(k.name, key); });
    if (keyword == std::end(keywords)) {
        return "unknown keyword " + quoted(key) + "; " + toolName(tool) +
               " takes: " + keywordList(tool);
    }
    if (!takes(*keyword, tool)) {
        const Tool other = tool == Tool::Export ? Tool::Import : Tool::Export;
        return std::string(keyword->name) + "= belongs to " + toolName(other) + ", not " +
               toolName(tool);
    }
    if (value.empty())
        return std::string(keyword->name) + "= needs a value";
    return keyword->assign(options, value);
}

std::string checkCombination(const Options& options) {
    if (options.file.empty())
        return "file= is required";
    if (options.file == options.log)
        return "file= and log= name the same file";
    if (options.full && !options.tables.empty())
        return "full=y and tables= cannot be combined";
    if (options.full && options.query)
        return "query= cannot be used with full=y";
    if (options.full && !options.fromUsers.empty())
        return "full=y and fromuser= cannot be combined";
    if (!options.toUsers.empty() && options.fromUsers.empty())
        return "touser= needs fromuser=";
    if (!options.toUsers.empty() && options.toUsers.size() != options.fromUsers.size())
        return "touser= must name as many users as fromuser=";
    return {};
}

bool startsWithKeyword(std::string_view piece) {
    const auto equals = piece.find('=');
    return equals != std::string_view::npos && equals > 0 && isIdentifier(piece.substr(0, equals));
}

bool startsWithKnownKeyword(std::string_view piece) {
    const auto equals = piece.find('=');
    if (equals == std::string_view::npos)
        return false;
    const auto key = piece.substr(0, equals);
    return equalsIgnoreCase(key, "userid") ||
           std::any_of(std::begin(keywords), std::end(keywords),
                       [&](const Keyword& k) { return equalsIgnoreCase(k.name, key); });
}

} // namespace

std::vector<std::string> joinContinuations(const std::vector<std::string>& args) {
    std::vector<std::string> joined;
    for (const auto& piece : args) {
        // The password may hold "word=" after a blank, so only a real keyword ends the
        // connection; later values end at anything that looks like a keyword.
        const bool continues =
            !joined.empty() &&
            (joined.size() == 1 ? !startsWithKnownKeyword(piece) : !startsWithKeyword(piece));
        if (continues)
            joined.back() += ' ' + piece;
        else
            joined.push_back(piece);
    }
    return joined;
}

ParseOutcome parseCommandLine(const std::vector<std::string>& rawArgs, Tool tool) {
    ParseOutcome outcome;
    const std::vector<std::string> args = joinContinuations(rawArgs);
    if (args.empty()) {
        outcome.error = "no connection given; the first argument must be user/password@SID";
        return outcome;
    }
    Options options;
    options.tool = tool;
    if (tool == Tool::Import)
        options.statistics = Statistics::None;
    if (auto error = parseConnection(args.front(), options.connection); !error.empty()) {
        outcome.error = std::move(error);
        return outcome;
    }
    // A keyword given twice takes its last value, so the operator's free text can override what
    // the form produced; the log shows the values in effect.
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (auto error = applyPiece(args[i], tool, options); !error.empty()) {
            outcome.error = std::move(error);
            return outcome;
        }
    }
    if (auto error = checkCombination(options); !error.empty()) {
        outcome.error = std::move(error);
        return outcome;
    }
    outcome.options = std::move(options);
    return outcome;
}

std::string describeRefusedArguments(const std::vector<std::string>& rawArgs) {
    const std::vector<std::string> args = joinContinuations(rawArgs);
    if (args.empty())
        return "(none)";
    const auto& connection = args.front();
    const auto slash = connection.find('/');
    const auto at = connection.rfind('@');
    if (slash != std::string::npos && (at == std::string::npos || at < slash))
        return connection.substr(0, slash + 1) + std::string(passwordMask) +
               " (the rest is not shown: without its @SID the password has no end)";
    const auto password =
        slash == std::string::npos ? std::string() : connection.substr(slash + 1, at - slash - 1);
    std::string text = maskConnection(connection);
    for (std::size_t i = 1; i < args.size(); ++i) {
        auto piece = args[i];
        for (auto found = password.empty() ? std::string::npos : piece.find(password);
             found != std::string::npos; found = piece.find(password, found + passwordMask.size()))
            piece.replace(found, password.size(), passwordMask);
        text +=
            ' ' + (equalsIgnoreCase(piece.substr(0, 7), "userid=") ? maskConnection(piece) : piece);
    }
    // An empty connection alone would make a refusal that shows nothing.
    return text.empty() ? "(none)" : text;
}

std::string maskConnection(std::string_view connection) {
    const auto slash = connection.find('/');
    if (slash == std::string_view::npos)
        return std::string(connection);
    const auto at = connection.rfind('@');
    std::string masked(connection.substr(0, slash + 1));
    masked += passwordMask;
    if (at != std::string_view::npos && at > slash)
        masked += connection.substr(at);
    return masked;
}

} // namespace standin
