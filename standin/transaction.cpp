#include "standin/transaction.h"

namespace standin {

Transaction::Transaction(Database& db) : db_(db) { begin(); }

Transaction::~Transaction() {
    if (!open_)
        return;
    try {
        db_.exec("ROLLBACK");
    } catch (...) {
        // SQLite may already have rolled back after the error that brought us here.
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
    open_ = false;
    db_.exec("ROLLBACK");
}

} // namespace standin
