// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/database.h"

namespace standin {

// BEGIN IMMEDIATE on construction; rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();
    void begin(); // after commit() or rollback()

private:
    Database& db_;
    bool open_ = false;
};

} // namespace standin
