// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/table_import.h"

#include "standin/catalogue.h"
#include "standin/failure.h"
#include "standin/interruption.h"
#include "standin/table_sql.h"
#include "standin/transaction.h"
#include "standin/value_codec.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace standin {

namespace {

// The values live until the row is stepped, so their bytes need not be copied.
void bindField(Statement& insert, int index, const FieldValue& value) {
    switch (value.kind) {
    case FieldValue::Kind::Null:
        insert.bindNull(index);
        break;
    case FieldValue::Kind::Integer:
        insert.bindInteger(index, value.integer);
        break;
    case FieldValue::Kind::Real:
        insert.bindReal(index, value.real);
        break;
    case FieldValue::Kind::Text:
        insert.bindTextUnowned(index, value.bytes);
        break;
    case FieldValue::Kind::Blob:
        insert.bindBlobUnowned(index, value.bytes);
        break;
    }
}

struct RowLoad {
    std::int64_t inserted = 0;
    std::int64_t committed = 0;
    std::optional<Message> rejection; // why a row was refused; nullopt when all went in
};

// Where the dump stands within the table, to read past the rest of it after a failure.
enum class ReadingAt { Definition, Rows, Extras, End };

void loadRows(Database& db, Transaction& transaction, DumpReader& reader, const TableDef& target,
              const Options& options, Feedback& feedback, RowLoad& load) {
    auto insert = db.prepare(insertSql(target));
    std::vector<std::string_view> fields;
    std::vector<FieldValue> values(target.columns.size());
    std::int64_t pendingBytes = 0;
    while (reader.nextRow(fields)) {
        throwIfInterrupted();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (auto problem = decodeField(fields[i], values[i]); !problem.empty())
                reader.fail("column " + target.columns[i].name + ": " + problem);
        }
        try {
            for (std::size_t i = 0; i < fields.size(); ++i)
                bindField(insert, static_cast<int>(i + 1), values[i]);
            insert.step();
        } catch (const DatabaseError& rejected) {
            load.rejection = messages::fromSqlite(
                rejected.code(), target.name.storageName() + " row " +
                                     std::to_string(load.inserted + 1) + ": " + rejected.detail());
            transaction.rollback();
            reader.skipRows();
            break;
        }
        insert.reset();
        ++load.inserted;
        feedback.row();
        pendingBytes += static_cast<std::int64_t>(reader.lastRowBytes());
        if (options.commit && pendingBytes >= options.buffer) {
            transaction.commit();
            load.committed = load.inserted;
            transaction.begin();
            pendingBytes = 0;
        }
    }
    feedback.endTable();
}

bool hasColumn(const std::vector<std::string>& columns, const std::string& name) {
    return std::any_of(columns.begin(), columns.end(),
                       [&](const std::string& column) { return equalsIgnoreCase(column, name); });
}

// Why the target cannot take this table, as the database would say it: its number and the
// stand-in's words; nullopt when it can.
std::optional<std::pair<int, std::string>> definitionProblem(Database& db, const TableDef& table,
                                                             bool exists) {
    std::vector<std::string> names;
    for (const auto& column : table.columns) {
        if (hasColumn(names, column.name))
            return std::pair(957, "the dump names column " + column.name + " twice");
        names.push_back(column.name);
    }
    for (const auto& key : table.primaryKey) {
        if (!hasColumn(names, key))
            return std::pair(904, "the primary key names column " + key +
                                      ", which the table does not have");
    }
    for (const auto& unique : table.uniques) {
        for (const auto& key : unique) {
            if (!hasColumn(names, key))
                return std::pair(904, "a UNIQUE constraint names column " + key +
                                          ", which the table does not have");
        }
    }
    if (!exists)
        return std::nullopt;
    const auto existing = existingColumns(db, table.name);
    std::string missing;
    for (const auto& column : table.columns) {
        if (!hasColumn(existing, column.name))
            missing += (missing.empty() ? "" : ", ") + column.name;
    }
    if (missing.empty())
        return std::nullopt;
    return std::pair(904, "the existing table has no column " + missing);
}

// The database's message behind imp's lead.
Messages databaseProblem(const Message& database) {
    return messages::withLead(messages::statementLead(Tool::Import), {database});
}

void logRowsThatStay(LogWriter& log, const std::string& label, const Options& options,
                     std::int64_t committed) {
    if (options.commit || committed > 0) {
        log.line("  imported " + label + ": " + std::to_string(committed) +
                 " rows committed before the failure, the rest rolled back");
    } else {
        log.line("  imported " + label + ": 0 rows, all of them rolled back");
    }
}

void readPast(DumpReader& reader, ReadingAt at) {
    switch (at) {
    case ReadingAt::Definition:
        skipTable(reader);
        break;
    case ReadingAt::Rows:
        reader.skipRows();
        reader.readExtras();
        break;
    case ReadingAt::Extras:
        reader.readExtras();
        break;
    case ReadingAt::End:
        break;
    }
}

void createIndexes(Database& db, const QualifiedName& table, const std::vector<IndexDef>& indexes,
                   LogWriter& log) {
    for (const auto& index : indexes) {
        const QualifiedName indexName{table.owner, index.name};
        if (indexExists(db, indexName))
            continue;
        try {
            db.exec(createIndexSql(table, index));
        } catch (const DatabaseError& failure) {
            log.warning(databaseProblem(
                messages::fromSqlite(failure.code(), "index " + indexName.storageName() +
                                                         " not created: " + failure.detail())));
        }
    }
}

void addGrants(Database& db, const QualifiedName& table, const std::vector<GrantDef>& grants,
               LogWriter& log) {
    for (const auto& grant : grants) {
        if (grant.grantee == table.owner)
            continue;
        if (!userExists(db, grant.grantee)) {
            log.warning(databaseProblem(
                messages::userOrRoleMissing(grant.grantee, "grant of " + grant.privilege + " on " +
                                                               table.storageName() + " skipped")));
            continue;
        }
        addGrant(db, table, grant);
    }
}

} // namespace

void skipTable(DumpReader& reader) {
    if (reader.beginRows())
        reader.skipRows();
    reader.readExtras();
}

std::int64_t importTable(Database& db, DumpReader& reader, const TableDef& dumped,
                         const std::string& targetOwner, const Options& options, Feedback& feedback,
                         LogWriter& log) {
    TableDef target = dumped;
    target.name.owner = targetOwner;
    const auto name = target.name.storageName();
    const auto label =
        dumped.name == target.name ? name : dumped.name.storageName() + " into " + name;
    if (!userExists(db, targetOwner)) {
        log.warning(databaseProblem(messages::userMissing(targetOwner, label + " skipped")));
        skipTable(reader);
        return 0;
    }
    const bool exists = tableExists(db, target.name);
    if (exists && !options.ignore) {
        log.warning(messages::objectExists());
        log.line(" \"" + createTableSql(target) + "\"");
        log.line("  " + name + " already exists; skipped, nothing written (ignore=n)");
        skipTable(reader);
        return 0;
    }
    if (auto problem = definitionProblem(db, target, exists)) {
        log.error(databaseProblem(messages::database(
            problem->first, label + ": " + problem->second + "; skipped, nothing written")));
        skipTable(reader);
        return 0;
    }

    RowLoad load;
    auto at = ReadingAt::Definition;
    try {
        Transaction transaction(db);
        if (!exists)
            db.exec(createTableSql(target));
        if (options.commit) {
            transaction.commit();
            transaction.begin();
        }
        if (reader.beginRows()) {
            at = ReadingAt::Rows;
            if (options.rows)
                loadRows(db, transaction, reader, target, options, feedback, load);
            else
                reader.skipRows();
        }
        at = ReadingAt::Extras;
        auto extras = reader.readExtras();
        at = ReadingAt::End;

        if (load.rejection) {
            auto rejected = databaseProblem(*load.rejection);
            rejected.insert(rejected.begin(), messages::rowRejected(*load.rejection));
            log.error(rejected);
            logRowsThatStay(log, label, options, load.committed);
            return load.committed;
        }
        transaction.commit();
        load.committed = load.inserted;
        if (options.indexes)
            createIndexes(db, target.name, extras.indexes, log);
        if (options.grants)
            addGrants(db, target.name, extras.grants, log);
    } catch (const DatabaseError& problem) {
        log.error(databaseProblem(messages::fromSqlite(
            problem.code(), label + ": " + problem.detail() + "; the table ends here")));
        logRowsThatStay(log, label, options, load.committed);
        readPast(reader, at);
        return load.committed;
    } catch (...) {
        // The import ends; the log still says how much of this table stays.
        logRowsThatStay(log, label, options, load.committed);
        throw;
    }
    log.line("  imported " + label + ": " + std::to_string(load.inserted) + " rows" +
             (options.rows ? "" : " (rows=n)"));
    return load.inserted;
}

} // namespace standin
