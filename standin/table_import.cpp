#include "standin/table_import.h"

#include "standin/catalogue.h"
#include "standin/failure.h"
#include "standin/table_sql.h"
#include "standin/transaction.h"
#include "standin/value_codec.h"

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
    std::string rejection; // why a row was refused; empty when all went in
};

RowLoad loadRows(Database& db, Transaction& transaction, DumpReader& reader, const TableDef& target,
                 const Options& options, Feedback& feedback) {
    RowLoad load;
    auto insert = db.prepare(insertSql(target));
    std::vector<std::string_view> fields;
    std::vector<FieldValue> values(target.columns.size());
    std::int64_t pendingBytes = 0;
    while (reader.nextRow(fields)) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (auto problem = decodeField(fields[i], values[i]); !problem.empty()) {
                throw Failure("dump line " + std::to_string(reader.lineNumber()) + ", column " +
                              target.columns[i].name + ": " + problem);
            }
            bindField(insert, static_cast<int>(i + 1), values[i]);
        }
        try {
            insert.step();
        } catch (const Failure& rejected) {
            load.rejection =
                "row " + std::to_string(load.inserted + 1) + " rejected: " + rejected.what();
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
    return load;
}

void createIndexes(Database& db, const QualifiedName& table, const std::vector<IndexDef>& indexes,
                   LogWriter& log) {
    for (const auto& index : indexes) {
        const QualifiedName indexName{table.owner, index.name};
        if (indexExists(db, indexName))
            continue;
        try {
            db.exec(createIndexSql(table, index));
        } catch (const Failure& failure) {
            log.warning("index " + indexName.storageName() + " not created: " + failure.what());
        }
    }
}

void addGrants(Database& db, const QualifiedName& table, const std::vector<GrantDef>& grants,
               LogWriter& log) {
    for (const auto& grant : grants) {
        if (grant.grantee == table.owner)
            continue;
        if (!userExists(db, grant.grantee)) {
            log.warning("grant of " + grant.privilege + " on " + table.storageName() + " to " +
                        grant.grantee + " skipped: no such user");
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
        log.warning(label + " skipped: user " + targetOwner + " does not exist in this database");
        skipTable(reader);
        return 0;
    }
    const bool exists = tableExists(db, target.name);
    if (exists && !options.ignore) {
        log.warning(name + " already exists; skipped, nothing written (ignore=n)");
        skipTable(reader);
        return 0;
    }

    Transaction transaction(db);
    if (!exists)
        db.exec(createTableSql(target));
    if (options.commit) {
        transaction.commit();
        transaction.begin();
    }

    RowLoad load;
    const bool rowsInDump = reader.beginRows();
    if (rowsInDump && options.rows)
        load = loadRows(db, transaction, reader, target, options, feedback);
    else if (rowsInDump)
        reader.skipRows();
    auto extras = reader.readExtras();

    if (!load.rejection.empty()) {
        log.error(name + ": " + load.rejection);
        if (options.commit) {
            log.line("  imported " + label + ": " + std::to_string(load.committed) +
                     " rows committed before the failure, the rest rolled back");
        } else {
            log.line("  imported " + label + ": 0 rows, all of them rolled back");
        }
        return load.committed;
    }
    transaction.commit();
    if (options.indexes)
        createIndexes(db, target.name, extras.indexes, log);
    if (options.grants)
        addGrants(db, target.name, extras.grants, log);
    log.line("  imported " + label + ": " + std::to_string(load.inserted) + " rows" +
             (options.rows ? "" : " (rows=n)"));
    return load.inserted;
}

} // namespace standin
