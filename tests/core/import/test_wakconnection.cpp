#include "core/data/shared.h"
#include "core/import/wakconnection.h"
#include "core/import/waksettings.h"
#include "recordingports.h"
#include "wakserver.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvo::test {
namespace {

struct ConnectionStringCase {
    const char* title;
    WakServer server;
    WakDriver driver;
    const char* expected;
};

// Test names show the title, not the bytes of the case.
void PrintTo(const ConnectionStringCase& c, std::ostream* os) {
    *os << c.title;
}

class WakConnectionStringTest : public ::testing::TestWithParam<ConnectionStringCase> {};

TEST_P(WakConnectionStringTest, BuildsTheDriversAttributes) {
    const ConnectionStringCase& c = GetParam();
    EXPECT_EQ(BuildWakConnectionString(c.server, c.driver), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, WakConnectionStringTest,
    ::testing::Values(
        ConnectionStringCase{
            "FreeTdsSqlServerLogin",
            {"wak01", "WAKDATA", "sa", "tajne", false},
            WakDriver::FreeTds,
            "DRIVER={FreeTDS};Server=wak01;Database=WAKDATA;TDS_Version=7.4;ClientCharset=UTF-8;"
            "UID=sa;PWD=tajne;"},
        // Windows authentication is a Kerberos login: no user, no password.
        ConnectionStringCase{"FreeTdsWindowsLogin",
                             {"wak01\\INTRA", "WAKDATA", "sa", "tajne", true},
                             WakDriver::FreeTds,
                             "DRIVER={FreeTDS};Server=wak01\\INTRA;Database=WAKDATA;"
                             "TDS_Version=7.4;ClientCharset=UTF-8;Trusted_Connection=Yes;"},
        // SQL Server's own names for this computer and its "host,port" form.
        ConnectionStringCase{"FreeTdsLocalWithPort",
                             {"(local),1433", "W", "u", "p", false},
                             WakDriver::FreeTds,
                             "DRIVER={FreeTDS};Server=localhost;Port=1433;Database=W;"
                             "TDS_Version=7.4;ClientCharset=UTF-8;UID=u;PWD=p;"},
        ConnectionStringCase{"FreeTdsLocalInstance",
                             {".\\SQLEXPRESS", "W", "u", "p", true},
                             WakDriver::FreeTds,
                             "DRIVER={FreeTDS};Server=localhost\\SQLEXPRESS;Database=W;"
                             "TDS_Version=7.4;ClientCharset=UTF-8;Trusted_Connection=Yes;"},
        // A password cannot add attributes of its own.
        ConnectionStringCase{
            "PasswordWithSeparators",
            {"wak01", "W", "u", "a;b}c", false},
            WakDriver::FreeTds,
            "DRIVER={FreeTDS};Server=wak01;Database=W;TDS_Version=7.4;ClientCharset=UTF-8;"
            "UID=u;PWD={a;b}}c};"},
        ConnectionStringCase{"WindowsSqlServerLogin",
                             {"(local)", "WAKDATA", "sa", "tajne", false},
                             WakDriver::WindowsSqlServer,
                             "DRIVER={SQL Server};Server=(local);Database=WAKDATA;UID=sa;"
                             "PWD=tajne;"},
        ConnectionStringCase{"WindowsTrusted",
                             {"wak01", "WAKDATA", "sa", "tajne", true},
                             WakDriver::WindowsSqlServer,
                             "DRIVER={SQL Server};Server=wak01;Database=WAKDATA;"
                             "Trusted_Connection=Yes;"}),
    [](const ::testing::TestParamInfo<ConnectionStringCase>& param) { return param.param.title; });

TEST(WakSessionStatements, OnlySqlServerGetsItsSessionStatements) {
    const std::vector<std::string> sqlServer = {"SET LOCK_TIMEOUT 1000",
                                                "SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED"};
    EXPECT_EQ(WakSessionStatements("Microsoft SQL Server"), sqlServer);
    EXPECT_TRUE(WakSessionStatements("PostgreSQL").empty());
    EXPECT_TRUE(WakSessionStatements("").empty());
}

// A listening socket that takes connections and never answers: a server
// that hangs during the login.
class SilentServer {
public:
    SilentServer() {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            listen(m_fd, 8) == 0 &&
            getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { close(m_fd); }
    int Port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

class WakServerTest : public ::testing::Test {
protected:
    WakTestDatabase wak;
    RecordingMessages messages;
};

TEST_F(WakServerTest, ConnectionTestReportsSuccessAndSendsNoSqlServerStatements) {
    WakConnectionSettings settings;
    settings.server = {" (local) ", " " + wak.Name() + " ", " sa ", "", false};
    settings.odbc = wak.ConnectionString();
    EXPECT_TRUE(TestWakConnection(settings, messages));
    EXPECT_EQ(messages.shown,
              (std::vector<ShownMessage>{{"Spojení s databází vytvořeno!", MsgIcon::Information}}));
    EXPECT_EQ(settings.server.database, wak.Name()); // trimmed by the validation

    WakConnection connection(messages);
    ASSERT_TRUE(connection.Connect(settings.server, settings.odbc));
    EXPECT_EQ(connection.DbmsName(), "PostgreSQL");
    WakRecordset rs;
    ASSERT_TRUE(connection.OpenRecordset(rs, "SELECT current_setting('lock_timeout') AS t"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Field("T").ToString(), "0");
}

TEST_F(WakServerTest, FailuresNameDatabaseAndServerWithTheOdbcError) {
    WakConnection connection(messages);
    const WakServer server{"wak01", "chybi", "sa", "", false};
    EXPECT_FALSE(connection.Connect(server, WakServerConnectionString("chybi")));
    EXPECT_FALSE(connection.IsOpen());
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& text = messages.shown[0].text;
    EXPECT_EQ(text.rfind("Nemohu otevřít databázi 'chybi' na serveru 'wak01'\n\nODBC chyba ", 0),
              0u)
        << text;
    EXPECT_NE(text.find("chybi"), text.rfind("chybi")) << "the driver's own text is missing";
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);

    // A query the server refuses is reported the same way.
    messages.shown.clear();
    ASSERT_TRUE(connection.Connect(server, wak.ConnectionString()));
    WakRecordset rs;
    EXPECT_FALSE(connection.OpenRecordset(rs, "SELECT * FROM nic_takoveho"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Nemohu otevřít databázi 'chybi' na serveru 'wak01'", 0),
              0u);
    EXPECT_EQ(rs.RecordCount(), 0);
}

TEST_F(WakServerTest, HangingServerAnswersWithinTheLoginTimeout) {
    SilentServer silent;
    ASSERT_NE(silent.Port(), 0);
    WakConnection connection(messages);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(connection.Connect(
        {"127.0.0.1", "wak", "wak", "", false},
        Format("DRIVER=%s;Servername=127.0.0.1;Port=%d;Database=wak;Username=wak;",
               TARVO_PSQLODBC_DRIVER, silent.Port())));
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    EXPECT_LE(seconds, WakLoginTimeoutSeconds + 5);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text.rfind("Nemohu otevřít databázi 'wak' na serveru '127.0.0.1'", 0),
        0u);
}

// The built string goes to FreeTDS, registered with the driver manager: a
// server that never answers its login is given up within the time-out.
TEST(WakFreeTds, BuiltConnectionReachesFreeTdsAndGivesUpInTime) {
    SilentServer silent;
    ASSERT_NE(silent.Port(), 0);
    RecordingMessages messages;
    WakConnection connection(messages);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(
        connection.Connect({Format("127.0.0.1,%d", silent.Port()), "WAK", "sa", "x", false}));
    EXPECT_LE(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count(),
        WakLoginTimeoutSeconds + 5);
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& text = messages.shown[0].text;
    EXPECT_EQ(text.rfind("Nemohu otevřít databázi 'WAK' na serveru '127.0.0.1,", 0), 0u) << text;
    EXPECT_NE(text.find("[FreeTDS]"), std::string::npos) << text;
}

TEST_F(WakServerTest, ValuesArriveWithTheirTypesAndCzechTexts) {
    wak.AddProduct(7, "Láhev žlutá 0,7 l", "LZ-07", "ks");
    WakConnection connection(messages);
    ASSERT_TRUE(connection.Connect({"s", "d", "u", "", false}, wak.ConnectionString()));
    WakRecordset rs;
    ASSERT_TRUE(connection.OpenRecordset(
        rs, "SELECT \"nPol\", \"NazPol\", CAST(12.34565 AS numeric(12,5)) AS q, "
            "CAST(NULL AS varchar) AS n, TIMESTAMP '2010-02-03 10:20:30' AS d FROM pol_mj"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Field("npol").ToLong(), 7);
    EXPECT_EQ(rs.Field("NAZPOL").ToString(), "Láhev žlutá 0,7 l");
    EXPECT_EQ(rs.Field("q").ToQuantity(), Quantity::FromScaled(123457)); // half away from zero
    EXPECT_TRUE(rs.Field("n").IsEmpty());
    EXPECT_EQ(rs.Field("d").ToDate(), OleDate::FromParts(2010, 2, 3, 10, 20, 30));
    EXPECT_THROW(rs.Field("nic"), ComError);

    // Only the columns asked for are kept.
    ASSERT_TRUE(
        connection.OpenRecordset(rs, "SELECT * FROM pol_mj", WakCommand::Text, {"NPOL", "IdeMJ"}));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Field("nPol").ToLong(), 7);
    EXPECT_EQ(rs.Field("idemj").ToString(), "ks");
    EXPECT_THROW(rs.Field("NazPol"), ComError);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace tarvo::test
