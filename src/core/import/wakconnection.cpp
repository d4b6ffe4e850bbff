#include "core/import/wakconnection.h"

#include "core/data/comerror.h"
#include "core/data/quantity.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"

#include <algorithm>
#include <cstdint>
#ifdef _WIN32
// The ODBC headers of Windows use its types without including them.
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <unicode/unistr.h>

namespace tarvo {

namespace {

// An attribute value as ODBC connection strings take it: in braces (a closing
// brace doubled) when it holds a character that would end or split it, so a
// password with ';' cannot add attributes of its own.
std::string AttributeValue(const std::string& value) {
    const bool plain = value.find_first_of(";{}") == std::string::npos && Trim(value) == value;
    if (plain)
        return value;
    std::string quoted = "{";
    for (char c : value) {
        quoted += c;
        if (c == '}')
            quoted += '}';
    }
    return quoted + "}";
}

std::string Attribute(const char* name, const std::string& value) {
    return std::string(name) + "=" + AttributeValue(value) + ";";
}

// Column names are identifiers: compared without regard to the case of
// their (ASCII) letters, as the server itself compares them.
bool SameColumnName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// FreeTDS knows host names, "host\instance" and a separate port; SQL Server's
// "(local)" and "." mean this computer and "host,port" carries the port.
void FreeTdsServer(const std::string& server, std::string& host, std::string& port) {
    host = server;
    port.clear();
    if (const size_t comma = host.find(','); comma != std::string::npos) {
        port = Trim(host.substr(comma + 1));
        host = Trim(host.substr(0, comma));
    }
    const size_t slash = host.find('\\');
    const std::string machine = host.substr(0, slash);
    if (machine == "(local)" || machine == "." || machine.empty())
        host = "localhost" + (slash == std::string::npos ? std::string() : host.substr(slash));
}

std::vector<SQLWCHAR> Wide(std::string_view text) {
    const icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::vector<SQLWCHAR> wide(static_cast<size_t>(u.length()) + 1, 0);
    for (int32_t i = 0; i < u.length(); ++i)
        wide[static_cast<size_t>(i)] = static_cast<SQLWCHAR>(u.charAt(i));
    return wide;
}

std::string Narrow(const SQLWCHAR* text, size_t length) {
    icu::UnicodeString u;
    for (size_t i = 0; i < length; ++i)
        u.append(static_cast<char16_t>(text[i]));
    std::string utf8;
    return u.toUTF8String(utf8);
}

// The first diagnostic record of a handle; a generic one when the driver
// left none.
OdbcError Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
    OdbcError error{"HY000", 0, "Neznámá chyba"};
    if (handle == SQL_NULL_HANDLE)
        return error;
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR text[SQL_MAX_MESSAGE_LENGTH + 1] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc =
        SQLGetDiagRecW(type, handle, 1, state, &native, text, SQL_MAX_MESSAGE_LENGTH + 1, &length);
    if (!SQL_SUCCEEDED(rc))
        return error;
    error.sqlState = Narrow(state, 5);
    error.nativeCode = native;
    const size_t kept = std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)),
                                         SQL_MAX_MESSAGE_LENGTH);
    error.text = Narrow(text, kept);
    return error;
}

// A statement handle freed by scope.
class StatementHandle {
public:
    explicit StatementHandle(SQLHDBC dbc) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &m_stmt)))
            m_stmt = SQL_NULL_HSTMT;
    }
    ~StatementHandle() {
        if (m_stmt != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
    }
    StatementHandle(const StatementHandle&) = delete;
    StatementHandle& operator=(const StatementHandle&) = delete;

    SQLHSTMT Get() const { return m_stmt; }

private:
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
};

// An exact decimal text ("-12.34567") as a quantity, rounded half away from
// zero at the fourth decimal place, as the currency conversion does.
Quantity DecimalQuantity(const std::string& text) {
    const std::string t = Trim(text);
    size_t i = 0;
    const bool negative = i < t.size() && t[i] == '-';
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    int64_t scaled = 0;
    int decimals = -1;
    bool roundUp = false;
    bool digits = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9')
            return Quantity::Invalid();
        digits = true;
        if (decimals < 4) {
            scaled = scaled * 10 + (c - '0');
            if (decimals >= 0)
                ++decimals;
        } else if (decimals == 4) {
            roundUp = c >= '5';
            decimals = 5;
        }
    }
    if (!digits)
        return Quantity::Invalid();
    for (int d = std::max(decimals, 0); d < 4; ++d)
        scaled *= 10;
    if (roundUp)
        ++scaled;
    return Quantity::FromScaled(negative ? -scaled : scaled);
}

// Reads a whole text column, in as many pieces as the driver needs.
bool ReadText(SQLHSTMT stmt, SQLUSMALLINT column, Value& value) {
    std::vector<SQLWCHAR> text;
    SQLWCHAR buffer[1024];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(stmt, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            return false;
        if (indicator == SQL_NULL_DATA) {
            value = Value();
            return true;
        }
        const size_t capacity = sizeof buffer / sizeof buffer[0] - 1;
        size_t got = capacity;
        if (indicator != SQL_NO_TOTAL && static_cast<size_t>(indicator) / sizeof(SQLWCHAR) < got)
            got = static_cast<size_t>(indicator) / sizeof(SQLWCHAR);
        text.insert(text.end(), buffer, buffer + got);
        if (rc == SQL_SUCCESS)
            break;
    }
    value = Value(Narrow(text.data(), text.size()));
    return true;
}

bool ReadColumn(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT sqlType, Value& value) {
    SQLLEN indicator = 0;
    switch (sqlType) {
    case SQL_BIT: {
        unsigned char bit = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_BIT, &bit, 0, &indicator)))
            return false;
        value = indicator == SQL_NULL_DATA ? Value() : Value(bit != 0);
        return true;
    }
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT: {
        SQLBIGINT number = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_SBIGINT, &number, 0, &indicator)))
            return false;
        value = indicator == SQL_NULL_DATA ? Value() : Value(static_cast<int64_t>(number));
        return true;
    }
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
        char digits[80] = {};
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_CHAR, digits, sizeof digits, &indicator)))
            return false;
        value = indicator == SQL_NULL_DATA ? Value() : Value(DecimalQuantity(digits));
        return true;
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        double number = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_DOUBLE, &number, 0, &indicator)))
            return false;
        value = indicator == SQL_NULL_DATA ? Value() : Value(number);
        return true;
    }
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT ts = {};
        if (!SQL_SUCCEEDED(
                SQLGetData(stmt, column, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &indicator)))
            return false;
        value = indicator == SQL_NULL_DATA
                    ? Value()
                    : Value(OleDate::FromParts(ts.year, ts.month, ts.day, ts.hour, ts.minute,
                                               ts.second));
        return true;
    }
    default:
        return ReadText(stmt, column, value);
    }
}

} // namespace

std::string BuildWakConnectionString(const WakServer& server, WakDriver driver) {
    std::string text;
    if (driver == WakDriver::FreeTds) {
        std::string host, port;
        FreeTdsServer(server.server, host, port);
        text = "DRIVER={FreeTDS};" + Attribute("Server", host);
        if (!port.empty())
            text += Attribute("Port", port);
        text += Attribute("Database", server.database);
        // The protocol of SQL Server 2005 and later (the server answers with
        // its own version). Left to detect itself, FreeTDS falls back to the
        // old Sybase login on a second connection that no login time-out
        // guards, and a server that never answers would hold the user for
        // good.
        text += "TDS_Version=7.4;";
        // Texts arrive as UTF-16 anyway; this keeps narrow texts in UTF-8 too.
        text += "ClientCharset=UTF-8;";
    } else {
        text = "DRIVER={SQL Server};" + Attribute("Server", server.server) +
               Attribute("Database", server.database);
    }
    if (server.windowsAuth)
        text += "Trusted_Connection=Yes;";
    else
        text += Attribute("UID", server.user) + Attribute("PWD", server.password);
    return text;
}

std::vector<std::string> WakSessionStatements(std::string_view dbmsName) {
    if (ToUpperText(dbmsName).find("MICROSOFT SQL SERVER") == std::string::npos)
        return {};
    return {"SET LOCK_TIMEOUT 1000", "SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED"};
}

void WakRecordset::MoveNext() {
    if (m_pos < m_rows.size())
        ++m_pos;
}

const Value& WakRecordset::Field(std::string_view name) const {
    if (IsEOF())
        throw ComError(ComError::Fail, "Záznam není k dispozici.");
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (SameColumnName(m_columns[i], name))
            return m_rows[m_pos][i];
    }
    throw ComError(ComError::Fail, Format("Položka '%.*s' ve výsledku dotazu chybí.",
                                          static_cast<int>(name.size()), name.data()));
}

WakConnection::WakConnection(IMessagePort& messages) : m_messages(messages) {}

WakConnection::~WakConnection() {
    Close();
}

void WakConnection::Close() {
    if (m_dbc != nullptr) {
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        m_dbc = nullptr;
    }
    if (m_env != nullptr) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        m_env = nullptr;
    }
    m_dbmsName.clear();
}

void WakConnection::ShowFailure(const OdbcError& error) const {
    const std::string prefix = Format("Nemohu otevřít databázi '%s' na serveru '%s'",
                                      m_server.database.c_str(), m_server.server.c_str());
    m_messages.ShowMessage(Format("%s\n\nODBC chyba %s (č.%ld). %s", prefix.c_str(),
                                  error.sqlState.c_str(), error.nativeCode, error.text.c_str()),
                           MsgIcon::Error);
}

bool WakConnection::Connect(const WakServer& server, const std::string& connectionString) {
    Close();
    m_server = server;
    OdbcError error;
    const auto fail = [&](const OdbcError& e) {
        ShowFailure(e);
        Close();
        return false;
    };
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env))) {
        m_env = nullptr;
        return fail({"IM004", 0, "Správce ovladačů ODBC není k dispozici."});
    }
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc))) {
        m_dbc = nullptr;
        return fail(Diagnostic(SQL_HANDLE_ENV, m_env));
    }
    SQLSetConnectAttr(m_dbc, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(WakLoginTimeoutSeconds)),
                      0);
    SQLSetConnectAttr(m_dbc, SQL_ATTR_CONNECTION_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(WakLoginTimeoutSeconds)),
                      0);
    const std::string text =
        connectionString.empty() ? BuildWakConnectionString(server) : connectionString;
    std::vector<SQLWCHAR> wide = Wide(text);
    const SQLRETURN rc = SQLDriverConnectW(m_dbc, nullptr, wide.data(), SQL_NTS, nullptr, 0,
                                           nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const OdbcError e = Diagnostic(SQL_HANDLE_DBC, m_dbc);
        // A handle that never connected must not be disconnected.
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        m_dbc = nullptr;
        return fail(e);
    }
    SQLWCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfoW(m_dbc, SQL_DBMS_NAME, name, sizeof name, &length)))
        m_dbmsName = Narrow(name, std::min<size_t>(static_cast<size_t>(length) / sizeof(SQLWCHAR),
                                                   sizeof name / sizeof name[0] - 1));
    for (const std::string& statement : WakSessionStatements(m_dbmsName)) {
        if (!Run(statement, nullptr, {}, error))
            return fail(error);
    }
    return true;
}

bool WakConnection::OpenRecordset(WakRecordset& rs, std::string_view source, WakCommand command,
                                  const WakFields& fields) {
    rs = WakRecordset();
    if (!IsOpen()) {
        ShowFailure({"08003", 0, "Spojení s databází není otevřeno."});
        return false;
    }
    const std::string sql = command == WakCommand::StoredProcedure
                                ? "{call " + std::string(source) + "}"
                                : std::string(source);
    OdbcError error;
    if (!Run(sql, &rs, fields, error)) {
        rs = WakRecordset();
        ShowFailure(error);
        return false;
    }
    return true;
}

bool WakConnection::Run(std::string_view sql, WakRecordset* rs, const WakFields& fields,
                        OdbcError& error) {
    StatementHandle stmt(m_dbc);
    if (stmt.Get() == SQL_NULL_HSTMT) {
        error = Diagnostic(SQL_HANDLE_DBC, m_dbc);
        return false;
    }
    const auto failed = [&] {
        error = Diagnostic(SQL_HANDLE_STMT, stmt.Get());
        return false;
    };
    std::vector<SQLWCHAR> wide = Wide(sql);
    const SQLRETURN rc = SQLExecDirectW(stmt.Get(), wide.data(), SQL_NTS);
    if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(rc))
        return failed();
    if (rs == nullptr)
        return true;
    // A procedure may report row counts of its own statements before the
    // rows it returns; the first result with columns is the one wanted.
    SQLSMALLINT columns = 0;
    for (;;) {
        if (!SQL_SUCCEEDED(SQLNumResultCols(stmt.Get(), &columns)))
            return failed();
        if (columns > 0)
            break;
        const SQLRETURN more = SQLMoreResults(stmt.Get());
        if (more == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(more))
            return failed();
    }
    // The columns kept, by number, with their SQL types.
    std::vector<std::pair<SQLUSMALLINT, SQLSMALLINT>> kept;
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(stmt.Get(), c, name, 256, &length, &type, &size, &digits,
                                           &nullable)))
            return failed();
        std::string column = Narrow(name, std::min<size_t>(static_cast<size_t>(length), 255));
        const bool wanted =
            fields.empty() || std::any_of(fields.begin(), fields.end(), [&](std::string_view f) {
                return SameColumnName(f, column);
            });
        if (!wanted)
            continue;
        rs->m_columns.push_back(std::move(column));
        kept.emplace_back(c, type);
    }
    for (;;) {
        const SQLRETURN fetched = SQLFetch(stmt.Get());
        if (fetched == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(fetched))
            return failed();
        std::vector<Value>& row = rs->m_rows.emplace_back(kept.size());
        for (size_t k = 0; k < kept.size(); ++k) {
            if (!ReadColumn(stmt.Get(), kept[k].first, kept[k].second, row[k]))
                return failed();
        }
    }
    return true;
}

} // namespace tarvo
