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
        throw Failure(messages::database(
            1034, path + " holds the unfinished work of a run that was stopped, and it " +
                      "cannot be rolled back: " + problem.detail()));
    }
    log.line("Rolled back the unfinished work that a stopped run left in " + path + ".");
}

Session logOnTo(Connection& connection, LogWriter& log) {
    const auto path = databaseForSid(oracleHome(), connection.sid).string();
    rollBackUnfinishedWork(path, log);
    Database db(path, Database::Mode::ReadOnly);
    if (!hasCatalogue(db)) {
        throw Failure(messages::database(
            1034, path + " is not a database of this Oracle home (no user catalogue)"));
    }
    const auto lead = messages::logonLead(log.tool());
    for (int tries = 1;; ++tries) {
        if (auto user = authenticate(db, connection.user, connection.password))
            return Session{std::move(db), std::move(*user), path};
        const auto denied = messages::withLead(
            lead, {messages::logonDenied(connection.user + "@" + connection.sid)});
        if (!canPromptForLogon())
            throw Failure(denied);
        log.note(denied);
        if (tries == logonTries) {
            throw Failure(messages::logonsFailed(
                log.tool(), "logon to " + connection.sid + " denied " + std::to_string(logonTries) +
                                " times; giving up"));
        }
        auto typed = promptForLogon();
        if (!typed) {
            throw Failure(messages::logonsFailed(log.tool(), "logon to " + connection.sid +
                                                                 " abandoned at the end of input"));
        }
        connection.user = toUpper(typed->user);
        connection.password = std::move(typed->password);
    }
}

} // namespace

Session logOn(Connection& connection, LogWriter& log) {
    try {
        return logOnTo(connection, log);
    } catch (const Failure& failure) {
        // The database's refusal of the logon, as the utilities report one.
        throw Failure(messages::withLead(messages::logonLead(log.tool()), failure.messages()));
    }
}

} // namespace standin
