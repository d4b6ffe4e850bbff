#pragma once

#include "core/data/value.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class IMessagePort;

// Where the WAK INTRA data live: the values of the connection page.
struct WakServer {
    std::string server;
    std::string database;
    std::string user;
    std::string password;
    bool windowsAuth = false;
};

// The ODBC driver the built connection string is written for.
enum class WakDriver {
    FreeTds,          // FreeTDS, the SQL Server driver on Linux
    WindowsSqlServer, // the "SQL Server" driver every Windows has
};

#ifdef _WIN32
inline constexpr WakDriver NativeWakDriver = WakDriver::WindowsSqlServer;
#else
inline constexpr WakDriver NativeWakDriver = WakDriver::FreeTds;
#endif

// A wrong server name must not hold the user for long: the driver gives up
// logging in after this many seconds.
inline constexpr int WakLoginTimeoutSeconds = 10;

// The ODBC connection string for the server. Windows authentication asks for
// a trusted (Kerberos) login and leaves user and password out.
std::string BuildWakConnectionString(const WakServer& server, WakDriver driver = NativeWakDriver);

// The statements that make the session read without waiting on locks. They
// are SQL Server's own, so any other database (the name SQLGetInfo reports)
// gets none.
std::vector<std::string> WakSessionStatements(std::string_view dbmsName);

// One diagnostic record of the driver manager or the driver.
struct OdbcError {
    std::string sqlState; // five characters, e.g. "08001"
    long nativeCode = 0;
    std::string text;
};

// The rows of one query, fetched completely when it is opened, so the count
// is known before the walk (the progress needs it) and the server holds no
// cursor while the import writes. Fields by column name, compared without
// regard to case.
class WakRecordset {
public:
    long RecordCount() const { return static_cast<long>(m_rows.size()); }
    bool IsEOF() const { return m_pos >= m_rows.size(); }
    void MoveFirst() { m_pos = 0; }
    void MoveNext();

    // The current row's value; throws ComError for an unknown column or when
    // the recordset is at its end.
    const Value& Field(std::string_view name) const;

private:
    friend class WakConnection;

    std::vector<std::string> m_columns;
    std::vector<std::vector<Value>> m_rows;
    size_t m_pos = 0;
};

// The columns a recordset keeps; the others are not even read, so a wide
// table costs no memory. Empty: every column.
using WakFields = std::vector<std::string_view>;

// How a source is run on the server.
enum class WakCommand {
    Text,            // an SQL text
    StoredProcedure, // "Name(arguments)", sent through the ODBC call escape
};

// The connection to the WAK INTRA database over ODBC. Every failure is shown
// as "Nemohu otevřít databázi '%s' na serveru '%s'" with the ODBC error
// appended, and the operation returns false.
class WakConnection {
public:
    explicit WakConnection(IMessagePort& messages);
    ~WakConnection();
    WakConnection(const WakConnection&) = delete;
    WakConnection& operator=(const WakConnection&) = delete;

    // Drops any previous connection and connects. A non-empty
    // connectionString replaces the one built from the server values (the
    // values still name the database and server in the messages).
    bool Connect(const WakServer& server, const std::string& connectionString = {});
    bool IsOpen() const { return m_dbc != nullptr; }
    void Close();

    // The database product the driver reports ("Microsoft SQL Server", ...).
    const std::string& DbmsName() const { return m_dbmsName; }

    bool OpenRecordset(WakRecordset& rs, std::string_view source,
                       WakCommand command = WakCommand::Text, const WakFields& fields = {});

private:
    void ShowFailure(const OdbcError& error) const;
    bool Run(std::string_view sql, WakRecordset* rs, const WakFields& fields, OdbcError& error);

    IMessagePort& m_messages;
    WakServer m_server;
    void* m_env = nullptr;
    void* m_dbc = nullptr;
    std::string m_dbmsName;
};

} // namespace tarvo
