#include "testdatabase.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tarvo::test {
namespace {

// The lines of a command's output.
std::vector<std::string> Lines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The number after the last ": " of a line.
long Number(const std::string& line) {
    return std::stol(line.substr(line.rfind(": ") + 2));
}

TEST(ClassificationCli, ProposalOnAGeneratedDatabaseLeavesTheCoversThatNeedAChoice) {
    TempFolder folder;
    const std::string data = folder.Folder() + "data";
    auto run = [&](const std::string& arguments) { return RunCli(data, arguments, folder); };
    ASSERT_EQ(run("generate --seed 7 --products 20 --dispatches 30 --covers 40").status, 0);

    const CliRun before = run("covers-unclassified");
    ASSERT_EQ(before.status, 0) << before.err;
    const std::vector<std::string> listed = Lines(before.out);
    ASSERT_FALSE(listed.empty());
    const long unclassified = Number(listed.back());
    EXPECT_EQ(unclassified, static_cast<long>(listed.size()) - 1);
    EXPECT_GT(unclassified, 30);
    EXPECT_TRUE(listed.front().ends_with("\tzařazení")) << listed.front();

    const CliRun proposed = run("propose-classification --all");
    ASSERT_EQ(proposed.status, 0) << proposed.err;
    const std::vector<std::string> summary = Lines(proposed.out);
    ASSERT_EQ(summary.size(), 4u) << proposed.out;
    EXPECT_EQ(summary[0], "Návrh zařazení pro výkaz 2021");
    const long complete = Number(summary[1]);
    const long incomplete = Number(summary[2]);
    EXPECT_GT(complete, 0);
    EXPECT_GT(incomplete, 0);
    EXPECT_EQ(complete + incomplete, unclassified);
    EXPECT_EQ(Number(summary[3]), 0);

    const CliRun after = run("covers-unclassified");
    ASSERT_EQ(after.status, 0);
    const std::vector<std::string> left = Lines(after.out);
    EXPECT_EQ(Number(left.back()), incomplete);
    for (size_t i = 0; i + 1 < left.size(); ++i)
        EXPECT_FALSE(left[i].ends_with("\tzařazení")) << left[i];

    // A cover that has a classification keeps it.
    EXPECT_EQ(Lines(run("propose-classification --id 1 2").out)[3],
              "Obaly zařazené už dříve (beze změny): 2");
    for (const char* wrong : {"propose-classification", "propose-classification --all --id 1",
                              "propose-classification --id 1 x", "covers-unclassified --all"}) {
        const CliRun refused = run(wrong);
        EXPECT_EQ(refused.status, 2) << wrong;
        EXPECT_FALSE(refused.err.empty()) << wrong;
    }
}

} // namespace
} // namespace tarvo::test
