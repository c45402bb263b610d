// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/catalogue.h"
#include "standin/database.h"
#include "standin/log_writer.h"
#include "standin/options.h"

namespace standin {

struct Session {
    Database db;
    UserRecord user;
    std::string path; // the database file
};

// Finds the SID's database in the Oracle home and logs on, read-only (imp opens it for writing
// only once it has checked the dump). A refused logon leaves the file as it was; only the
// unfinished work of a run that was killed is rolled back first, as any writer would, and the log
// says so. On a terminal a refused logon asks again for the user name and password, three tries in
// all; connection then holds the account that logged on. Throws Failure on an unknown SID or when
// the logon is refused.
Session logOn(Connection& connection, LogWriter& log);

inline constexpr int logonTries = 3;

} // namespace standin
