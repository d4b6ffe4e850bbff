#pragma once

#include "core/import/wakconnection.h"
#include "recordingports.h"

#include <string>

namespace tarvo::test {

// The folder of the PostgreSQL server's socket: the one the CTest fixture
// started, or one this program starts for itself (and stops at its end).
const std::string& WakServerSocketDir();

// A database of its own for one test, copied from the template "wak" (table
// pol_mj, table dokl_pol behind the function DoklSkl_Pre), dropped at the end.
class WakTestDatabase {
public:
    WakTestDatabase();
    ~WakTestDatabase();
    WakTestDatabase(const WakTestDatabase&) = delete;
    WakTestDatabase& operator=(const WakTestDatabase&) = delete;

    const std::string& Name() const { return m_name; }
    // The complete ODBC connection string for this database.
    std::string ConnectionString() const;
    // Runs SQL on this database; fails the test on an error.
    void Exec(const std::string& sql);

    // Adds a product and a document line.
    void AddProduct(long nPol, const std::string& name, const std::string& katalog,
                    const std::string& unit);
    void AddLine(long nDoklSkl, const std::string& kind, const std::string& number,
                 const std::string& date, int typStatu, long nPol, const std::string& qty);

private:
    std::string m_name;
};

// A connection string for any database of the test server.
std::string WakServerConnectionString(const std::string& database);

} // namespace tarvo::test
