// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/database.h"
#include "standin/dump_records.h"
#include "standin/names.h"

#include <optional>
#include <string>
#include <vector>

namespace standin {

// Each database keeps its users and grants in th_ tables; a schema's tables are the SQLite tables
// named "OWNER.TABLE" and its indexes "OWNER.INDEX".
struct UserRecord {
    std::string name;
    bool dba = false; // may export and import every schema
};

void createCatalogue(Database& db);
bool hasCatalogue(Database& db);
void addUser(Database& db, const std::string& name, const std::string& password, bool dba);

// nullopt for an unknown user and for a wrong password alike.
std::optional<UserRecord> authenticate(Database& db, const std::string& user,
                                       const std::string& password);
bool userExists(Database& db, const std::string& user);

std::vector<QualifiedName> listTables(Database& db); // sorted by owner, then name
bool tableExists(Database& db, const QualifiedName& table);
bool indexExists(Database& db, const QualifiedName& index);

std::vector<GrantDef> tableGrants(Database& db, const QualifiedName& table);
void addGrant(Database& db, const QualifiedName& table, const GrantDef& grant);

} // namespace standin
