#include "core/data/statement.h"
#include "enginedata.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace tarvo::test {
namespace {

CliRun RunCli(const TempFolder& folder, const std::string& arguments) {
    return test::RunCli(folder.Folder() + "data", arguments, folder);
}

TEST(EngineCli, GenerateThenResolveAllOnlyWithYes) {
    TempFolder folder;
    CliRun run = RunCli(folder, "generate --seed 4 --products 5 --dispatches 20 "
                                "--lines-per-dispatch 2 --covers-per-line 2 --discards 3");
    ASSERT_EQ(run.status, 0) << run.err;
    // Its standard error is a file here: one plain line, not redrawn.
    EXPECT_EQ(run.err, "Generuji data  78 z 78  100 %\n");
    EXPECT_NE(run.out.find("Řádky výdejů: 40\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Obaly ve výdejích: 80\n"), std::string::npos) << run.out;

    RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(folder.File("data/Tarvo.mdb"));
    ASSERT_TRUE(store.OpenDatabase());
    auto handMade = [&store]() {
        Statement count(store, "SELECT COUNT(*) FROM Move_Cover WHERE mvcover_qty = 999990000");
        count.Step();
        return count.Int(0);
    };
    // A hand-made change that only the confirmed run undoes.
    ASSERT_TRUE(store.Execute("UPDATE Move_Cover SET mvcover_qty = 999990000"));
    run = RunCli(folder, "resolve-all");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Opravdu si přejete upravit výdeje obalů"), std::string::npos);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(handMade(), 80);

    run = RunCli(folder, "resolve-all --yes");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Zpracováno řádků výdejů: 40 z 40\n");
    EXPECT_EQ(handMade(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

// Every command of the usage answers --help with its own line, touching no
// data folder.
TEST(EngineCli, EveryCommandAnswersHelp) {
    TempFolder folder;
    const CliRun usage = RunCli(folder, "--help");
    ASSERT_EQ(usage.status, 0);
    std::istringstream lines(usage.out.substr(usage.out.find("Příkazy:")));
    int commands = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 3 || line[2] == ' ' || line[0] != ' ')
            continue;
        const std::string name = line.substr(2, line.find(' ', 2) - 2);
        const CliRun run = RunCli(folder, name + " --help");
        EXPECT_EQ(run.status, 0) << name << run.err;
        EXPECT_EQ(run.out.rfind("Použití: tarvo-cli [--data-dir SLOŽKA] " + name + "\n", 0), 0u)
            << run.out;
        ++commands;
    }
    EXPECT_GE(commands, 17);
    EXPECT_FALSE(std::filesystem::exists(folder.File("data")));
}

TEST(EngineCli, GenerateRejectsBadNumbers) {
    TempFolder folder;
    for (const char* arguments : {"generate --products -3", "generate --dispatches many",
                                  "generate --products 0", "generate --whatever 1"}) {
        const CliRun run = RunCli(folder, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
}

} // namespace
} // namespace tarvo::test
