#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/statement.h"
#include "testdatabase.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

class ImportMoneyCli : public ::testing::Test {
protected:
    ImportMoneyCli() {
        fs::copy(TARVO_FIXTURES "/money", money.Path(), fs::copy_options::recursive);
    }

    CliRun Run(const std::string& arguments, const std::string& input = "",
               const std::string& environment = "") {
        WriteFile(work.File("in.txt"), input);
        const std::string command = environment + " " + std::getenv("TARVO_CLI") + " --data-dir " +
                                    work.Folder() + "data " + arguments + " <" +
                                    work.File("in.txt") + " >" + work.File("out.txt") + " 2>" +
                                    work.File("err.txt");
        return {RunShell(command), ReadFile(work.File("out.txt")), ReadFile(work.File("err.txt"))};
    }

    long Count(const std::string& table) {
        RecordingMessages messages;
        CDataStore store(messages);
        store.SetDatabasePath(work.Folder() + "data/Tarvo.mdb");
        EXPECT_TRUE(store.OpenDatabase());
        Statement count(store, "SELECT COUNT(*) FROM " + table);
        count.Step();
        return static_cast<long>(count.Int(0));
    }

    std::string Year() const { return money.Folder() + "Agenda.001/Rok.2024"; }

    TempFolder work;
    TempFolder money;
};

TEST_F(ImportMoneyCli, ImportsAndAnswersQuestionsFromInput) {
    CliRun run = Run("import-money --year-folder " + Year() + " --existing overwrite");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Import dokončen úspěšně!\n\nNaimportováno:\n   Produktů ~ 13\n"
                       "   Dokladů ~ 7\n");

    // Ne všem for the first product, then ano, ne, ano všem for documents.
    run = Run("import-money --year-folder " + Year() + " --existing ask --set-export no",
              "m\na\nn\nv\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Import dokončen úspěšně!\n\nNaimportováno:\n   Produktů ~ 0\n"
                       "   Dokladů ~ 6\n\nVynecháno jako již importované:\n   Produktů ~ 12\n"
                       "   Dokladů ~ 1\n");
    EXPECT_NE(run.err.find("Doklad \"DL-001\" byl již z Money importován."), std::string::npos);
    // VY-002 was left alone and is domestic anyway; the export ones changed.
    EXPECT_EQ(Count("Move WHERE move_export <> 0"), 0);
}

TEST_F(ImportMoneyCli, TakesMissingOptionsFromSettings) {
    ASSERT_EQ(Run("init").status, 0);
    WriteFile(work.Folder() + "data/tarvo.ini", "[Import]\nVydaje=0\n");
    CliRun run = Run("import-money --year-folder " + Year());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Count("Product"), 12);
    EXPECT_EQ(Count("Move"), 0);

    run = Run("import-money --year-folder " + money.Folder() + " --documents yes");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("neobsahuje informace o účetním roce Money!"), std::string::npos);
}

TEST_F(ImportMoneyCli, ListsTheInstallationUnderWine) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows reads its own drives, not a Wine prefix's";
#else
    CliRun run = Run("import-money --list", "", "WINEPREFIX=" + work.Folder() + "wine");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Na tomto počítači pravděpodobně nejsou nainstalovány MoneyS3.\n");

    const std::string drive = work.Folder() + "wine/dosdevices/c:/";
    fs::create_directories(drive + "Program Files/CIGLER SOFTWARE/Common Files");
    WriteFile(drive + "Program Files/CIGLER SOFTWARE/Common Files/Setup.ini",
              "[InstParams]\nLocalPath=C:\\Money\n");
    fs::create_directories(drive + "Money");
    WriteFile(drive + "Money/MonS3.ini", "[Directory]\nDataRoot=C:\\Data\n");
    fs::create_directories(drive + "Data");
    fs::copy(money.Folder() + "Agenda.001", drive + "Data/Agenda.001", fs::copy_options::recursive);
    run = Run("import-money --list", "", "WINEPREFIX=" + work.Folder() + "wine");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Pekárna Žitná s.r.o.\t2024\t" + drive + "Data/Agenda.001/\t" + drive +
                           "Data/Agenda.001/Rok.2024/\n");
#endif
}

// The XML export: the sources and the settings' keys reach the import; a
// wrong source is a usage error.
TEST_F(ImportMoneyCli, ImportsTheXmlExport) {
    const std::string file = TARVO_FIXTURES "/moneyxml/export-cp1250.xml";
    struct Case {
        std::string arguments;
        int status;
        std::string out;
        long moves;
    };
    const Case cases[] = {
        {"import-money-xml " + file + " --sources stock --documents no", 0,
         "Import dokončen úspěšně!\n\nNaimportováno:\n   Produktů ~ 3\n   Dokladů ~ 0\n", 0},
        {"import-money-xml " + file + " --existing overwrite", 0,
         "Import dokončen úspěšně!\n\nNaimportováno:\n   Produktů ~ 4\n   Dokladů ~ 7\n\n"
         "Vynecháno jako již fakturované:\n   Dodacích listů ~ 2\n",
         7},
        {"import-money-xml " + file + " --sources all", 2, "", 7},
        {"import-money-xml", 2, "", 7},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.err;
        // Each phase's line ends where the phase ended.
        if (c.status == 0) {
            EXPECT_NE(run.err.find("Importuji kmenové karty  4 z 4  100 %"), std::string::npos)
                << run.err;
        }
        EXPECT_EQ(run.out, c.out) << c.arguments;
        EXPECT_EQ(Count("Move"), c.moves) << c.arguments;
    }
}

// Czech letters and spaces in every path (C:\\Users\\Jiří on Windows): the
// data folder with its database and templates, the Money folder imported
// from, a workbook written and read, a backup made and restored.
TEST(CzechPaths, EveryFileTheCliTouches) {
    const TempFolder work;
    const std::string base = work.Folder() + "Účetnictví Jiří Žák";
    const std::string data = base + "/Data č. 1";
    const std::string year = base + "/Money S3/Agenda.001/Rok.2024";
    fs::create_directories(PathOf(base + "/Money S3"));
    fs::create_directories(PathOf(base + "/Zálohy"));
    fs::copy(TARVO_FIXTURES "/money", PathOf(base + "/Money S3"), fs::copy_options::recursive);
    const std::string workbook = base + "/Evidence účetní.xlsx";
    const std::string backup = base + "/Zálohy/Záloha úterý.mdb";
    for (const std::string& arguments :
         {std::string("init"), "import-money --year-folder '" + year + "' --existing overwrite",
          "export-registers '" + workbook + "'", "import-registers '" + workbook + "' --dry-run",
          "backup '" + backup + "'", "restore '" + backup + "' --yes"}) {
        const auto run = RunCli(data, arguments, work);
        EXPECT_EQ(run.status, 0) << arguments << "\n" << run.err;
    }
    for (const std::string& file :
         {data + "/Tarvo.mdb", data + "/vykaz2020_4.tpl", workbook, backup})
        EXPECT_TRUE(fs::is_regular_file(PathOf(file))) << file;
    const auto info = RunCli(data, "info", work);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.find("Product          0\n"), std::string::npos) << info.out;
}

} // namespace
} // namespace tarvo::test
