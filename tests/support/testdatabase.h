#pragma once

#include "core/data/cdatastore.h"
#include "recordingports.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tarvo::test {

// A temporary folder removed with everything in it when the test ends.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder with a trailing '/', as data folders are written (with '/'
    // between folders on Windows too).
    std::string Folder() const { return m_path.generic_string() + "/"; }
    std::string File(const std::string& name) const { return (m_path / name).generic_string(); }

private:
    std::filesystem::path m_path;
};

// A new working database in a temporary folder, open, with recorded
// messages: the one fixture of the gtest and the Qt Test programs.
struct TestDatabase {
    TestDatabase();

    TempFolder folder;
    RecordingMessages messages;
    CDataStore store{messages};

    std::string DatabasePath() const { return folder.File("Tarvo.mdb"); }
    // Row count of a table or of any query's first column.
    long Count(const std::string& table);
    // The first column of the first row of a query (0 or empty when there is
    // no row).
    long long Number(const std::string& sql);
    std::string Text(const std::string& sql);
    // Runs SQL that must succeed: throws, naming it, when it fails or shows a
    // message, so that a test stops at a fixture that did not get written.
    void Run(const std::string& sql);
};

// What a run of tarvo-cli gave.
struct CliRun {
    int status; // the exit status, -1 when it did not exit
    std::string out;
    std::string err;
};

// Runs a command line written for the POSIX shell ('quoted' arguments,
// /dev/null, redirections) and gives its exit status, -1 when it did not
// exit. On Windows it goes to cmd.exe with the quotes made double.
int RunShell(const std::string& command);

// Runs the tarvo-cli that CTest names in TARVO_CLI (throws when it is not
// set) on the data folder dataDir, with standard input empty; its output is
// caught in files of scratch.
CliRun RunCli(const std::string& dataDir, const std::string& arguments, const TempFolder& scratch);

// Writes a whole file (binary).
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

} // namespace tarvo::test
