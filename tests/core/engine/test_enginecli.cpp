#include "core/data/statement.h"
#include "enginedata.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tarvo::test {
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunCli(const TempFolder& folder, const std::string& arguments) {
    const char* cli = std::getenv("TARVO_CLI");
    if (!cli)
        throw std::runtime_error("TARVO_CLI is not set");
    const std::string out = folder.File("out.txt");
    const std::string err = folder.File("err.txt");
    const std::string command = std::string("'") + cli + "' --data-dir '" + folder.Folder() +
                                "data' " + arguments + " </dev/null >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

TEST(EngineCli, GenerateThenResolveAllOnlyWithYes) {
    TempFolder folder;
    CliRun run = RunCli(folder, "generate --seed 4 --products 5 --dispatches 20 "
                                "--lines-per-dispatch 2 --covers-per-line 2 --discards 3");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Řádky výdejů: 40\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Obaly ve výdejích: 80\n"), std::string::npos) << run.out;

    RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(folder.File("data/Tarvo.mdb"));
    ASSERT_TRUE(store.OpenDatabase());
    auto handMade = [&store]() {
        CStatement count(store, "SELECT COUNT(*) FROM Move_Cover WHERE mvcover_qty = 999990000");
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
