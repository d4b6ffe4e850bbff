#include "wakserver.h"

#include "core/data/shared.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tarvo::test {

namespace {

std::string ReadState(const std::string& path) {
    std::ifstream in(path);
    std::string dir;
    std::getline(in, dir);
    return dir;
}

bool ServerAlive(const std::string& dir) {
    return !dir.empty() && std::filesystem::exists(dir + "/.s.PGSQL.5432");
}

// Stops the server this program started for itself.
class OwnServer : public ::testing::Environment {
public:
    void TearDown() override {
        if (!state.empty()) {
            const std::string command =
                Format("'%s' stop '%s' >/dev/null 2>&1", TARVO_WAK_SCRIPT, state.c_str());
            [[maybe_unused]] const int rc = std::system(command.c_str());
            state.clear();
        }
    }
    std::string state;
};

OwnServer* const Own = static_cast<OwnServer*>(::testing::AddGlobalTestEnvironment(new OwnServer));

std::string StartOwnServer() {
    Own->state = Format("%s.%ld", TARVO_WAK_STATE, static_cast<long>(getpid()));
    const std::string command = Format("'%s' start '%s'", TARVO_WAK_SCRIPT, Own->state.c_str());
    if (std::system(command.c_str()) != 0)
        return {};
    return ReadState(Own->state);
}

} // namespace

const std::string& WakServerSocketDir() {
    static const std::string dir = [] {
        const std::string shared = ReadState(TARVO_WAK_STATE);
        return ServerAlive(shared) ? shared : StartOwnServer();
    }();
    return dir;
}

std::string WakServerConnectionString(const std::string& database) {
    return Format("DRIVER=%s;Servername=%s;Port=5432;Database=%s;Username=wak;",
                  TARVO_PSQLODBC_DRIVER, WakServerSocketDir().c_str(), database.c_str());
}

namespace {

void ExecOn(const std::string& database, const std::string& sql) {
    RecordingMessages messages;
    WakConnection connection(messages);
    WakServer server{"test", database, "", "", false};
    WakRecordset rs;
    if (connection.Connect(server, WakServerConnectionString(database)))
        connection.OpenRecordset(rs, sql);
    for (const ShownMessage& m : messages.shown)
        ADD_FAILURE() << sql << "\n" << m.text;
}

} // namespace

WakTestDatabase::WakTestDatabase() {
    static std::atomic<int> counter{0};
    m_name = Format("t%ld_%d", static_cast<long>(getpid()), ++counter);
    EXPECT_FALSE(WakServerSocketDir().empty()) << "the PostgreSQL test server did not start";
    ExecOn("postgres", Format("CREATE DATABASE %s TEMPLATE wak", m_name.c_str()));
}

WakTestDatabase::~WakTestDatabase() {
    ExecOn("postgres", Format("DROP DATABASE IF EXISTS %s WITH (FORCE)", m_name.c_str()));
}

std::string WakTestDatabase::ConnectionString() const {
    return WakServerConnectionString(m_name);
}

void WakTestDatabase::Exec(const std::string& sql) {
    ExecOn(m_name, sql);
}

void WakTestDatabase::AddProduct(long nPol, const std::string& name, const std::string& katalog,
                                 const std::string& unit) {
    Exec(Format("INSERT INTO pol_mj (\"nPol\", \"NazPol\", \"IdePol\", \"IdeMJ\") VALUES "
                "(%ld, %s, %s, %s)",
                nPol, SqlQuote(name).c_str(), SqlQuote(katalog).c_str(), SqlQuote(unit).c_str()));
}

void WakTestDatabase::AddLine(long nDoklSkl, const std::string& kind, const std::string& number,
                              const std::string& date, int typStatu, long nPol,
                              const std::string& qty) {
    Exec(Format("INSERT INTO dokl_pol (\"nDoklSkl\", \"IdeTypuDoklSkl\", \"IdeDoklSkl\", "
                "\"DatDoklSkl\", \"TypStatu\", \"nPol\", \"MnoPol\") VALUES "
                "(%ld, %s, %s, '%s', %d, %ld, %s)",
                nDoklSkl, SqlQuote(kind).c_str(), SqlQuote(number).c_str(), date.c_str(), typStatu,
                nPol, qty.c_str()));
}

} // namespace tarvo::test
