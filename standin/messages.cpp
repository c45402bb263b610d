// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/messages.h"

#include <cstdio>
#include <iterator>
#include <sqlite3.h>

namespace standin::messages {

namespace {

std::string pick(Tool tool, const char* exp, const char* imp) {
    return tool == Tool::Export ? exp : imp;
}

std::string withDetail(std::string text, const std::string& detail) {
    return detail.empty() ? text : text + ": " + detail;
}

// The database's wording of the messages the stand-ins use.
struct Wording {
    int number;
    const char* text;
};
constexpr Wording databaseWordings[] = {
    {1, "unique constraint violated"},
    {600, "internal error code"},
    {604, "error occurred at recursive SQL level 1"},
    {902, "invalid datatype"},
    {904, "invalid identifier"},
    {942, "table or view does not exist"},
    {955, "name is already used by an existing object"},
    {957, "duplicate column name"},
    {1013, "user requested cancel of current operation"},
    {1017, "invalid username/password; logon denied"},
    {1034, "ORACLE not available"},
    {1400, "cannot insert NULL"},
    {1653, "unable to extend table"},
    {2290, "check constraint violated"},
    {2291, "integrity constraint violated - parent key not found"},
    {12154, "TNS:could not resolve the connect identifier specified"},
    {12899, "value too large for column"},
    {27072, "File I/O error"},
};

std::string databaseCode(int number) {
    char code[16];
    std::snprintf(code, sizeof code, "ORA-%05d", number);
    return code;
}

int databaseNumber(const std::string& code) {
    return std::stoi(code.substr(4));
}

// SQLite says what went wrong in its own words; the kind of trouble picks the database message.
int numberForSqlite(int extendedCode, const std::string& detail) {
    switch (extendedCode) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return 1;
    case SQLITE_CONSTRAINT_NOTNULL:
        return 1400;
    case SQLITE_CONSTRAINT_CHECK:
        return 2290;
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return 2291;
    default:
        break;
    }
    switch (extendedCode & 0xff) {
    case SQLITE_TOOBIG:
        return 12899;
    case SQLITE_FULL:
        return 1653;
    case SQLITE_INTERRUPT:
        return 1013;
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return 1034;
    case SQLITE_ERROR:
        if (detail.starts_with("no such table"))
            return 942;
        if (detail.starts_with("no such column"))
            return 904;
        if (detail.starts_with("duplicate column name"))
            return 957;
        if (detail.find("already exists") != std::string::npos)
            return 955;
        break;
    default:
        break;
    }
    return 604;
}

} // namespace

std::string logonLead(Tool tool) {
    return pick(tool, "EXP-00056", "IMP-00058");
}

std::string statementLead(Tool tool) {
    return pick(tool, "EXP-00008", "IMP-00003");
}

Messages withLead(std::string_view lead, Messages messages) {
    if (messages.empty() || !messages.front().code.starts_with("ORA-"))
        return messages;
    const auto number = std::to_string(databaseNumber(messages.front().code));
    messages.insert(messages.begin(),
                    Message{std::string(lead), "ORACLE error " + number + " encountered"});
    return messages;
}

Message parameters(Tool tool, const std::string& detail) {
    return {pick(tool, "EXP-00019", "IMP-00022"),
            withDetail("failed to process parameters", detail)};
}

Message cannotWrite(Tool tool, const std::string& path, const std::string& detail) {
    if (tool == Tool::Export)
        return {"EXP-00028", withDetail("failed to open " + path + " for write", detail)};
    return {"IMP-00030", withDetail("failed to create file " + path + " for write", detail)};
}

Message cannotRead(const std::string& path, const std::string& detail) {
    return {"IMP-00002", withDetail("failed to open " + path + " for read", detail)};
}

Message logonsFailed(Tool tool, const std::string& detail) {
    return {pick(tool, "EXP-00005", "IMP-00005"),
            withDetail("all allowable logon attempts failed", detail)};
}

Message dumpNotWritten(const std::string& detail) {
    return {"EXP-00002", withDetail("error in writing to export file", detail)};
}

Message tableMissing(const std::string& table) {
    return {"EXP-00011", table + " does not exist"};
}

Message noPrivilege(const std::string& owner, const std::string& table) {
    return {"EXP-00009", "no privilege to export " + owner + "'s table " + table};
}

Message fullExportNeedsDba() {
    return {"EXP-00023", "must be a DBA to do Full Database or Tablespace export"};
}

Message indexLeftOut(const std::string& index) {
    return {"EXP-00078",
            "Error exporting metadata for index " + index + ". Index creation will be skipped"};
}

Message notAnExportFile(const std::string& detail) {
    return {"IMP-00010", withDetail("not a valid export file, header failed verification", detail)};
}

Message abnormalEnd(const std::string& detail) {
    return {"IMP-00009", withDetail("abnormal end of export file", detail)};
}

Message unrecognised(const std::string& detail) {
    return {"IMP-00008", withDetail("unrecognized statement in the export file", detail)};
}

Message otherAccountNeedsDba(const std::string& detail) {
    return {"IMP-00007",
            withDetail("must be a DBA to import objects to another user's account", detail)};
}

Message objectExists() {
    return {"IMP-00015", "following statement failed because the object already exists:"};
}

Message rowRejected(const Message& database) {
    return {"IMP-00019",
            "row rejected due to ORACLE error " + std::to_string(databaseNumber(database.code))};
}

Message tableNotInDump(const std::string& table) {
    return {"IMP-00033", "Warning: Table \"" + table + "\" not found in export file"};
}

Message fromUserNotInDump(const std::string& user) {
    return {"IMP-00034", "Warning: FromUser \"" + user + "\" not found in export file"};
}

Message database(int number, const std::string& detail) {
    const char* text = "ORACLE error";
    for (const auto& wording : databaseWordings) {
        if (wording.number == number)
            text = wording.text;
    }
    return {databaseCode(number), withDetail(text, detail)};
}

Message userMissing(const std::string& user, const std::string& detail) {
    return {databaseCode(1918), withDetail("user '" + user + "' does not exist", detail)};
}

Message userOrRoleMissing(const std::string& user, const std::string& detail) {
    return {databaseCode(1917), withDetail("user or role '" + user + "' does not exist", detail)};
}

Message logonDenied(const std::string& detail) {
    return database(1017, detail);
}

Message cancelled(const std::string& detail) {
    return database(1013, detail);
}

Message fileIo(const std::string& detail) {
    return database(27072, detail);
}

Message internalError(const std::string& detail) {
    return database(600, detail);
}

Message fromSqlite(int extendedCode, const std::string& detail) {
    return database(numberForSqlite(extendedCode, detail), detail);
}

} // namespace standin::messages
