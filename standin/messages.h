// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/options.h"

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// A problem as the utilities write it: its message code, a colon and the text, on a line of its
// own ("EXP-00011: SCOTT.NOPE does not exist").
struct Message {
    std::string code; // "EXP-00011", "IMP-00015", "ORA-01017"
    std::string text;

    std::string line() const { return code + ": " + text; }
};
using Messages = std::vector<Message>;

// The utilities' messages, with the codes and wordings of their public message documentation.
// What follows the documented wording after ": " is the stand-in's own detail: which file, which
// table, and why. The same message has one number under exp and another under imp; the
// database's own messages (ORA-) are the same in both.
namespace messages {

// Where the utilities write "<lead>: ORACLE error 1017 encountered" before the database's
// message: at the logon, and while working.
std::string logonLead(Tool tool);     // EXP-00056, IMP-00058
std::string statementLead(Tool tool); // EXP-00008, IMP-00003

// A database message (ORA-) behind its lead, as the utilities report one; other messages are
// returned as they are.
Messages withLead(std::string_view lead, Messages messages);

Message parameters(Tool tool, const std::string& detail); // EXP-00019, IMP-00022
Message cannotWrite(Tool tool, const std::string& path, const std::string& detail);
Message cannotRead(const std::string& path, const std::string& detail); // IMP-00002
Message logonsFailed(Tool tool, const std::string& detail);             // EXP-00005, IMP-00005

// exp
Message dumpNotWritten(const std::string& detail);                       // EXP-00002
Message tableMissing(const std::string& table);                          // EXP-00011
Message noPrivilege(const std::string& owner, const std::string& table); // EXP-00009
Message fullExportNeedsDba();                                            // EXP-00023
Message indexLeftOut(const std::string& index);                          // EXP-00078

// imp
Message notAnExportFile(const std::string& detail);      // IMP-00010
Message abnormalEnd(const std::string& detail);          // IMP-00009
Message unrecognised(const std::string& detail);         // IMP-00008
Message otherAccountNeedsDba(const std::string& detail); // IMP-00007
Message objectExists();                                  // IMP-00015
Message rowRejected(const Message& database);            // IMP-00019
Message tableNotInDump(const std::string& table);        // IMP-00033
Message fromUserNotInDump(const std::string& user);      // IMP-00034

// The database's messages.
Message database(int number, const std::string& detail); // ORA-, worded from the table in .cpp
Message userMissing(const std::string& user, const std::string& detail);       // ORA-01918
Message userOrRoleMissing(const std::string& user, const std::string& detail); // ORA-01917
Message logonDenied(const std::string& detail);                                // ORA-01017
Message cancelled(const std::string& detail);                                  // ORA-01013
Message fileIo(const std::string& detail);        // ORA-27072, a log or terminal write
Message internalError(const std::string& detail); // ORA-00600
// What SQLite's result code comes to in the database's terms.
Message fromSqlite(int extendedCode, const std::string& detail);

} // namespace messages

} // namespace standin
