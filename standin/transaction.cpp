// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/transaction.h"

#include <sqlite3.h>

namespace standin {

Transaction::Transaction(Database& db) : db_(db) {
    begin();
}

Transaction::~Transaction() {
    try {
        rollback();
    } catch (...) {
        // Nothing more to undo; the error that brought us here is already being reported.
    }
}

void Transaction::begin() {
    db_.exec("BEGIN IMMEDIATE");
    open_ = true;
}

void Transaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

void Transaction::rollback() {
    if (!open_)
        return;
    open_ = false;
    // Some errors (a full disk, say) end the transaction inside SQLite already.
    if (!sqlite3_get_autocommit(db_.handle()))
        db_.exec("ROLLBACK");
}

} // namespace standin
