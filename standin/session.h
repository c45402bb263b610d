#pragma once

#include "standin/catalogue.h"
#include "standin/database.h"
#include "standin/options.h"

namespace standin {

struct Session {
    Database db;
    UserRecord user;
};

// Finds the SID's database in the Oracle home and logs on. Opening writes nothing, so a refused
// logon leaves the file as it was. Throws Failure on an unknown SID or wrong credentials.
Session logOn(const Connection& connection, Database::Mode mode);

} // namespace standin
