#pragma once

#include "platform/DbResult.h"

namespace rt {

class Database;

// All-or-nothing writing: BEGIN IMMEDIATE on construction (the write lock is taken at
// once, so a database that stays locked fails here rather than half-way), commit() to
// keep the changes; destroyed without a successful commit() it rolls them back.
// Transactions do not nest: a second one on the same database fails to begin. Its steps
// (begin, before and after the commit) are reached through StorageSteps.h.
//
//     rt::Transaction tx(db);
//     if (!tx.status()) return tx.status();
//     ... db.execute(...) / recordset updates, returning on the first failure ...
//     return tx.commit();
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Whether BEGIN succeeded, and why not.
    const DbResult& status() const { return m_status; }
    // True from a successful BEGIN until commit() or rollback().
    bool isActive() const { return m_active; }

    DbResult commit();
    DbResult rollback();

private:
    Database& m_db;
    DbResult m_status;
    bool m_active = false;
};

} // namespace rt
