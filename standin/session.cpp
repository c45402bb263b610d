#include "standin/session.h"

#include "standin/failure.h"
#include "standin/oracle_home.h"

namespace standin {

Session logOn(const Connection& connection, Database::Mode mode) {
    const auto path = databaseForSid(oracleHome(), connection.sid);
    Database db(path.string(), mode);
    if (!hasCatalogue(db))
        throw Failure(path.string() + " is not a database of this Oracle home (no user catalogue)");
    auto user = authenticate(db, connection.user, connection.password);
    if (!user)
        throw Failure("invalid user name or password; logon to " + connection.sid + " denied");
    return Session{std::move(db), std::move(*user)};
}

} // namespace standin
