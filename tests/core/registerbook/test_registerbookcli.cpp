#include "core/workbook/workbookwriter.h"
#include "testdatabase.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>

namespace tarvo::test {
namespace {

// The tables the workbook carries.
const char* const RegisterTables[] = {"Cover",   "CompCover",    "CompCover_Item",
                                      "Product", "Prod_CoverDT", "Prod_Cover"};

// The numbers of a text in their order: a dry run and the import after it
// must count the same, whatever words they use.
std::vector<long> Numbers(const std::string& text) {
    std::vector<long> numbers;
    static const std::regex number("[0-9]+");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number);
         it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stol(it->str()));
    return numbers;
}

class TransferCli : public ::testing::Test {
protected:
    CliRun Run(const std::string& data, const std::string& arguments) {
        return RunCli(work.Folder() + data, arguments, work);
    }

    // The register tables' row counts as "tarvo-cli info" prints them.
    std::map<std::string, long> Counts(const std::string& data) {
        const CliRun info = Run(data, "info");
        EXPECT_EQ(info.status, 0) << info.err;
        std::map<std::string, long> all;
        std::istringstream lines(info.out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string table;
            long count = 0;
            if (words >> table >> count)
                all[table] = count;
        }
        std::map<std::string, long> counts;
        for (const char* name : RegisterTables)
            counts[name] = all.at(name);
        return counts;
    }

    std::string Book(const std::string& name) const { return "'" + work.File(name) + "'"; }

    TempFolder work;
};

// Everything exported from one database comes into an empty one, and the dry
// run before it says exactly what the import then does, writing nothing.
// Without --existing the mode is the one the window remembers.
TEST_F(TransferCli, ExportedRegistersComeBackWhole) {
    CliRun run = Run("source", "generate --seed 1 --products 40 --dispatches 30 --composites 3");
    ASSERT_EQ(run.status, 0) << run.err;
    run = Run("source", "export-registers " + Book("book.xlsx"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Exportováno: ", 0), 0u) << run.out;
    const std::map<std::string, long> source = Counts("source");
    EXPECT_GT(source.at("Prod_Cover"), 0);
    EXPECT_GT(source.at("CompCover_Item"), 0);

    const std::string dryRun = "import-registers " + Book("book.xlsx") + " --dry-run";
    const CliRun dry = Run("target", dryRun);
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_FALSE(dry.out.empty());
    for (const auto& [table, count] : Counts("target"))
        EXPECT_EQ(count, 0) << table;

    run = Run("target", "import-registers " + Book("book.xlsx"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Numbers(run.out), Numbers(dry.out)) << dry.out << "\n" << run.out;
    EXPECT_EQ(Counts("target"), source);

    // The covers differ from the file now: skipped by default, overwritten
    // in the mode remembered.
    {
        RecordingMessages messages;
        CDataStore store(messages);
        store.SetDatabasePath(work.File("target/Tarvo.mdb"));
        ASSERT_TRUE(store.OpenDatabase());
        ASSERT_TRUE(store.Execute("UPDATE Cover SET cover_note = 'upraveno'"));
    }
    const CliRun skip = Run("target", dryRun);
    WriteFile(work.File("target/tarvo.ini"), "[ImportEvidenci]\nExistujici zaznamy=0\n");
    const CliRun remembered = Run("target", dryRun);
    const CliRun given = Run("target", dryRun + " --existing skip");
    EXPECT_NE(Numbers(remembered.out), Numbers(skip.out)) << remembered.out;
    EXPECT_EQ(Numbers(given.out), Numbers(skip.out)) << given.out;
}

// What cannot be imported: a file with faults (every fault listed, nothing
// written), a file that is not there, wrong options.
TEST_F(TransferCli, RefusesWhatCannotBeImported) {
    {
        WorkbookWriter book(work.File("faults.xlsx"));
        book.AddSheet("Složené obaly", {{"Složený obal", 20},
                                        {"Poznámka", 10},
                                        {"Obal", 20},
                                        {"Množství obalu", 10},
                                        {"Počet produktů", 10},
                                        {"Použít vždy", 10}});
        const WorkbookWriter::Cell item[] = {
            std::string_view("Paleta"), std::monostate(),      std::string_view("Karton 40x30"),
            std::string_view("1"),      std::string_view("1"), std::string_view("ano")};
        book.AddRow(item);
        book.Save();
    }
    struct Case {
        std::string arguments;
        int status;
        std::vector<std::string> err; // lines the error output must hold
    };
    const Case cases[] = {
        {"import-registers " + Book("faults.xlsx"),
         1,
         {"List Složené obaly, řádek 2, sloupec Obal: ", "Soubor nebyl importován: "}},
        {"import-registers " + Book("faults.xlsx") + " --dry-run",
         1,
         {"List Složené obaly, řádek 2, sloupec Obal: "}},
        {"import-registers " + Book("missing.xlsx"), 1, {}},
        {"import-registers " + Book("faults.xlsx") + " --existing sometimes",
         2,
         {"Volba --existing přijímá overwrite, skip nebo ask, ne 'sometimes'."}},
        {"import-registers", 2, {"Zadejte soubor sešitu (.xlsx)."}},
        {"export-registers", 2, {"Zadejte soubor sešitu (.xlsx)."}},
    };
    for (const Case& c : cases) {
        const CliRun run = Run("target", c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.err;
        EXPECT_EQ(run.out, "") << c.arguments;
        for (const std::string& line : c.err)
            EXPECT_NE(run.err.find(line), std::string::npos) << c.arguments << "\n" << run.err;
    }
    // One line per fault, then the count.
    const CliRun run = Run("target", "import-registers " + Book("faults.xlsx"));
    std::vector<std::string> lines;
    std::istringstream err(run.err);
    for (std::string line; std::getline(err, line);)
        lines.push_back(line);
    ASSERT_FALSE(lines.empty());
    const auto faults =
        static_cast<long>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("List ", 0) == 0;
        }));
    EXPECT_EQ(Numbers(lines.back()), std::vector<long>{faults}) << run.err;
    for (const auto& [table, count] : Counts("target"))
        EXPECT_EQ(count, 0) << table;
}

} // namespace
} // namespace tarvo::test
