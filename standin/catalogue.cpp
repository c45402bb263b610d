// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/catalogue.h"

namespace standin {

namespace {

bool schemaObjectExists(Database& db, const char* type, const std::string& name) {
    auto query = db.prepare("SELECT 1 FROM sqlite_schema WHERE type = ?1 AND name = ?2");
    query.bindText(1, type);
    query.bindText(2, name);
    return query.step();
}

} // namespace

void createCatalogue(Database& db) {
    db.exec("CREATE TABLE th_users ("
            " name TEXT PRIMARY KEY,"
            " password TEXT NOT NULL,"
            " dba INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE th_grants ("
            " owner TEXT NOT NULL,"
            " table_name TEXT NOT NULL,"
            " grantee TEXT NOT NULL,"
            " privilege TEXT NOT NULL,"
            " PRIMARY KEY (owner, table_name, grantee, privilege));");
}

bool hasCatalogue(Database& db) {
    return schemaObjectExists(db, "table", "th_users");
}

void addUser(Database& db, const std::string& name, const std::string& password, bool dba) {
    auto insert = db.prepare("INSERT INTO th_users (name, password, dba) VALUES (?1, ?2, ?3)");
    insert.bindText(1, name);
    insert.bindText(2, password);
    insert.bindInteger(3, dba ? 1 : 0);
    insert.step();
}

std::optional<UserRecord> authenticate(Database& db, const std::string& user,
                                       const std::string& password) {
    auto query = db.prepare("SELECT password, dba FROM th_users WHERE name = ?1");
    query.bindText(1, user);
    if (!query.step() || query.columnText(0) != password)
        return std::nullopt;
    return UserRecord{user, query.columnInteger(1) != 0};
}

bool userExists(Database& db, const std::string& user) {
    auto query = db.prepare("SELECT 1 FROM th_users WHERE name = ?1");
    query.bindText(1, user);
    return query.step();
}

std::vector<QualifiedName> listTables(Database& db) {
    std::vector<QualifiedName> tables;
    auto query = db.prepare("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name");
    while (query.step()) {
        const auto storageName = query.columnText(0);
        auto name = parseQualifiedName(storageName);
        // Only names already in canonical form belong to a schema; th_ tables have no dot.
        if (name && !name->owner.empty() && name->storageName() == storageName)
            tables.push_back(std::move(*name));
    }
    return tables;
}

bool tableExists(Database& db, const QualifiedName& table) {
    return schemaObjectExists(db, "table", table.storageName());
}

bool indexExists(Database& db, const QualifiedName& index) {
    return schemaObjectExists(db, "index", index.storageName());
}

std::vector<GrantDef> tableGrants(Database& db, const QualifiedName& table) {
    std::vector<GrantDef> grants;
    auto query = db.prepare("SELECT privilege, grantee FROM th_grants"
                            " WHERE owner = ?1 AND table_name = ?2 ORDER BY grantee, privilege");
    query.bindText(1, table.owner);
    query.bindText(2, table.name);
    while (query.step())
        grants.push_back({std::string(query.columnText(0)), std::string(query.columnText(1))});
    return grants;
}

void addGrant(Database& db, const QualifiedName& table, const GrantDef& grant) {
    auto insert =
        db.prepare("INSERT OR IGNORE INTO th_grants (owner, table_name, grantee, privilege)"
                   " VALUES (?1, ?2, ?3, ?4)");
    insert.bindText(1, table.owner);
    insert.bindText(2, table.name);
    insert.bindText(3, grant.grantee);
    insert.bindText(4, grant.privilege);
    insert.step();
}

} // namespace standin
