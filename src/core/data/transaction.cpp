#include "core/data/transaction.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"

#include <sqlite3.h>

namespace tarvo {

namespace {

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw SqliteError(rc, message);
    }
}

} // namespace

Transaction::Transaction(CDataStore& store) : m_store(store) {
    // Savepoints nest, and the outermost one opens the transaction.
    static unsigned long counter = 0;
    m_name = Format("unit%lu", ++counter);
    Exec(m_store.Handle(), "SAVEPOINT " + m_name);
}

Transaction::~Transaction() {
    if (m_done || !m_store.IsOpen())
        return;
    sqlite3* db = m_store.Handle();
    sqlite3_exec(db, ("ROLLBACK TO " + m_name).c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, ("RELEASE " + m_name).c_str(), nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    Exec(m_store.Handle(), "RELEASE " + m_name);
    m_done = true;
}

} // namespace tarvo
