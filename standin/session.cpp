// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/session.h"

#include "standin/failure.h"
#include "standin/logon_prompt.h"
#include "standin/names.h"
#include "standin/oracle_home.h"

#include <sqlite3.h>

namespace standin {

namespace {

// A run killed in the middle of a write leaves a hot journal beside the database. A read-only
// connection cannot roll it back and would report "attempt to write a readonly database".
void rollBackUnfinishedWork(const std::string& path, LogWriter& log) {
    try {
        Database probe(path, Database::Mode::ReadOnly);
        probe.exec("SELECT count(*) FROM sqlite_schema");
        return;
    } catch (const DatabaseError& problem) {
        if (problem.code() != SQLITE_READONLY_ROLLBACK)
            return; // the real opening reports it
    }
    try {
        Database writer(path, Database::Mode::ReadWrite);
        writer.exec("SELECT count(*) FROM sqlite_schema");
    } catch (const DatabaseError& problem) {
        throw Failure(path + " holds the unfinished work of a run that was stopped, and it " +
                      "cannot be rolled back: " + problem.what());
    }
    log.line("Rolled back the unfinished work that a stopped run left in " + path + ".");
}

} // namespace

Session logOn(Connection& connection, LogWriter& log) {
    const auto path = databaseForSid(oracleHome(), connection.sid).string();
    rollBackUnfinishedWork(path, log);
    Database db(path, Database::Mode::ReadOnly);
    if (!hasCatalogue(db))
        throw Failure(path + " is not a database of this Oracle home (no user catalogue)");
    for (int tries = 1;; ++tries) {
        if (auto user = authenticate(db, connection.user, connection.password))
            return Session{std::move(db), std::move(*user), path};
        const auto denied = "invalid user name or password; logon to " + connection.sid + " denied";
        if (!canPromptForLogon())
            throw Failure(denied);
        if (tries == logonTries)
            throw Failure(denied + " " + std::to_string(logonTries) + " times; giving up");
        log.line("Logon to " + connection.sid + " as " + connection.user +
                 " denied: invalid user name or password.");
        auto typed = promptForLogon();
        if (!typed)
            throw Failure("logon to " + connection.sid + " abandoned at the end of input");
        connection.user = toUpper(typed->user);
        connection.password = std::move(typed->password);
    }
}

} // namespace standin
