#include "testdatabase.h"

#include "core/data/statement.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace tarvo::test {

TempFolder::TempFolder() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() /
             ("tarvo-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

TestDatabase::TestDatabase() {
    CDataStore::CreateEmptyDatabase(DatabasePath());
    store.SetDatabasePath(DatabasePath());
    if (!store.OpenDatabase())
        throw std::runtime_error("the test database did not open");
}

long TestDatabase::Count(const std::string& table) {
    return static_cast<long>(Number("SELECT COUNT(*) FROM " + table));
}

long long TestDatabase::Number(const std::string& sql) {
    Statement st(store, sql);
    return st.Step() ? st.Int(0) : 0;
}

std::string TestDatabase::Text(const std::string& sql) {
    Statement st(store, sql);
    return st.Step() ? st.Text(0) : std::string();
}

void TestDatabase::Run(const std::string& sql) {
    const size_t before = messages.shown.size();
    if (!store.Execute(sql) || messages.shown.size() != before)
        throw std::runtime_error("the test's SQL failed: " + sql);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

int RunShell(const std::string& command) {
#ifdef _WIN32
    // cmd.exe knows only double quotes, and a backslash before one escapes
    // it, so a quoted folder's trailing backslash is doubled. The whole line
    // is quoted once more, as cmd /c strips the outer pair.
    std::string line = "\"";
    bool quoted = false;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '\'') {
            if (quoted && i > 0 && command[i - 1] == '\\')
                line += '\\';
            line += '"';
            quoted = !quoted;
        } else if (!quoted && command.compare(i, 9, "/dev/null") == 0) {
            line += "NUL";
            i += 8;
        } else {
            line += command[i];
        }
    }
    return std::system((line + "\"").c_str());
#else
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

CliRun RunCli(const std::string& dataDir, const std::string& arguments, const TempFolder& scratch) {
    const char* cli = std::getenv("TARVO_CLI");
    if (!cli)
        throw std::runtime_error("TARVO_CLI is not set");
    const std::string out = scratch.File("cli-out.txt");
    const std::string err = scratch.File("cli-err.txt");
    const std::string command = std::string("'") + cli + "' --data-dir '" + dataDir + "' " +
                                arguments + " </dev/null >'" + out + "' 2>'" + err + "'";
    return {RunShell(command), ReadFile(out), ReadFile(err)};
}

} // namespace tarvo::test
