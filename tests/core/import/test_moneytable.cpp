#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/import/importframework.h"
#include "core/import/moneys3import.h"
#include "core/import/moneytable.h"
#include "testdatabase.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

namespace tarvo::test {
namespace {

namespace fs = std::filesystem;

std::string Cp1250(const std::string& utf8) {
    std::string out(utf8.size(), '\0');
    UErrorCode error = U_ZERO_ERROR;
    const int32_t n =
        ucnv_convert("windows-1250", "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                     utf8.data(), static_cast<int32_t>(utf8.size()), &error);
    out.resize(U_SUCCESS(error) ? static_cast<size_t>(n) : 0);
    return out;
}

TEST(MoneyTable, ReadsQuotesEncodingsIndexesAndSeeks) {
    TempFolder folder;
    WriteFile(folder.File("tab.CSV"),
              Cp1250("Klic;Druh;Text;Mnozstvi;Datum;Priznak\r\n"
                     "10;b;\"víceřádkový\ntext; se středníkem\";1,5;01.02.2024 08:30:00;1\r\n"
                     "9;A;\"\"\"uvozovky\"\"\";2.25;;0\r\n"
                     "\r\n"
                     "10;a;prostý;;29.02.2024;\r\n"));
    MoneyTable table;
    ASSERT_FALSE(table.Open(folder.File("TAB.DAT")));
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.Field("text"), "víceřádkový\ntext; se středníkem");
    EXPECT_EQ(table.Number("Mnozstvi"), Quantity::FromScaled(15000));
    EXPECT_EQ(table.Date("Datum").ToText(), "01.02.2024");
    EXPECT_EQ(table.Date("Datum").Hour(), 8);
    EXPECT_TRUE(table.Flag("Priznak"));

    // Numbers by value (9 before 10), texts without regard to case, equal
    // keys in the file's order.
    table.SetIndex("Klic+Druh");
    std::vector<std::string> order;
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext())
        order.push_back(table.Field("Text"));
    EXPECT_EQ(order, (std::vector<std::string>{"\"uvozovky\"", "prostý",
                                               "víceřádkový\ntext; se středníkem"}));
    EXPECT_TRUE(table.Seek("10", "B"));
    EXPECT_EQ(table.Whole("Klic"), 10);
    EXPECT_EQ(table.Field("Druh"), "b");
    EXPECT_TRUE(table.Seek("10.0"));
    EXPECT_EQ(table.Field("Druh"), "a");
    EXPECT_EQ(table.Number("Mnozstvi"), Quantity::FromUnits(0));
    EXPECT_FALSE(table.Flag("Priznak"));
    EXPECT_FALSE(table.Seek("11"));
    EXPECT_TRUE(table.IsEOF());
    EXPECT_FALSE(table.Seek("9", "b"));

    RecordingMessages messages;
    EXPECT_FALSE(OpenMoneyTable(table, folder.File("NENI.DAT"), messages, false));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(table.IsOpen());
}

// A Money S3 installed under Wine: drive D: holds the program and the data.
class MoneyInstallationTest : public ::testing::Test {
protected:
    MoneyInstallationTest() {
        fs::create_directories(Drive() + "Program Files/Cigler Software/Common Files");
        WriteFile(Drive() + "Program Files/Cigler Software/Common Files/SETUP.INI",
                  "[InstParams]\r\nLocalPath=D:\\MONEY S3\r\n");
        fs::create_directories(Drive() + "Money S3");
        WriteFile(Drive() + "Money S3/MonS3.ini",
                  "[Directory]\r\nDataRoot=D:\\Money S3\\Data\\  \r\n");
        // Names from INI files in Windows-1250 and from .dat tables.
        Agenda("Agenda.001", "Agenda.ini", Cp1250("[Údaje o firmě]\r\nNázev=žluťoučký kůň\r\n"));
        Year("Agenda.001/Rok.2024", "Rok.ini", Cp1250("[Global]\r\nÚčetní rok=2024\r\n"));
        Year("Agenda.001/Rok.2023", "Rok.csv",
             "Section1;Variable;Value\nGlobal;Název;x\nGlobal;Účetní rok;2023\n");
        Year("Agenda.001/Rok.2022", "Rok.csv", "Section1;Variable;Value\n\"vadný\n");
        Agenda("Agenda.002", "Agenda.csv",
               "Section1;Variable;Value\nÚdaje o firme;Název;Alfa a.s.\n");
        Year("Agenda.002/Rok.2024", "Rok.ini", "[Global]\r\nÚčetní rok=2024\r\n");
        Agenda("Agenda.003", "jiný.txt", "");
        Year("Agenda.003/Rok.2024", "Rok.ini", "[Global]\r\nÚčetní rok=2024\r\n");
    }

    // A drive under Wine is a folder named "d:"; Windows allows no colon in a
    // name, so the folder chosen by hand lies in a plain "d" there.
#ifdef _WIN32
    std::string Drive() const {
        return wine.Folder() + "dosdevices/d/";
    }
#else
    std::string Drive() const {
        return wine.Folder() + "dosdevices/d:/";
    }
#endif
    std::string Data() const {
        return Drive() + "Money S3/Data/";
    }
    void Agenda(const std::string& name, const std::string& file, const std::string& text) {
        fs::create_directories(Data() + name);
        WriteFile(Data() + name + "/" + file, text);
    }
    void Year(const std::string& name, const std::string& file, const std::string& text) {
        Agenda(name, file, text);
    }

    TempFolder wine;
    RecordingMessages messages;
};

TEST_F(MoneyInstallationTest, ListsNamedAgendasAndYearsInOrder) {
#ifdef _WIN32
    GTEST_SKIP() << "the drives of a Wine prefix are read on Linux only";
#else
    const MoneyInstallation found = FindMoneyInstallation(wine.Folder() + "dosdevices", messages);
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.dataRoot, Data());
    std::vector<std::string> rows;
    for (const MoneyYearRow& row : found.rows)
        rows.push_back(row.agendaName + "|" + row.yearName + "|" +
                       row.yearFolder.substr(Data().size()));
    EXPECT_EQ(rows, (std::vector<std::string>{"Alfa a.s.|2024|Agenda.002/Rok.2024/",
                                              "žluťoučký kůň|2023|Agenda.001/Rok.2023/",
                                              "žluťoučký kůň|2024|Agenda.001/Rok.2024/"}));
    EXPECT_EQ(found.rows.front().agendaFolder, Data() + "Agenda.002/");
    EXPECT_TRUE(messages.shown.empty());

    TempFolder empty;
    EXPECT_FALSE(FindMoneyInstallation(empty.Folder() + "dosdevices", messages).found);
#endif
}

TEST_F(MoneyInstallationTest, FolderChosenByHandNeedsBothNames) {
    const std::optional<MoneyYearRow> row =
        MoneyRowForYearFolder(Data() + "Agenda.001/Rok.2024", messages);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->agendaFolder, Data() + "Agenda.001/");
    EXPECT_EQ(row->yearName, "2024");
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_FALSE(MoneyRowForYearFolder(Data() + "Agenda.003/Rok.2024", messages));
    EXPECT_FALSE(MoneyRowForYearFolder(Data() + "Agenda.001/Rok.2022", messages));
    EXPECT_EQ(messages.shown,
              (std::vector<ShownMessage>{
                  {Format("Adresář \"%s\" neobsahuje informace o agendě Money!",
                          (Data() + "Agenda.003/").c_str()),
                   MsgIcon::Error},
                  {Format("Adresář \"%s\" neobsahuje informace o účetním roce Money!",
                          (Data() + "Agenda.001/Rok.2022/").c_str()),
                   MsgIcon::Error}}));
}

TEST(ImportSettings, DefaultsAndRoundTrip) {
    TempFolder folder;
    Profile profile(folder.File("tarvo.ini"));
    MoneyImportParams params = ReadMoneyImportSettings(profile);
    EXPECT_TRUE(params.choices.products);
    EXPECT_TRUE(params.choices.documents);
    EXPECT_EQ(params.choices.existing, ExistingMode::Skip);
    EXPECT_TRUE(params.setExport);
    EXPECT_EQ(params.nonExportCountries, ";Česká republika ;ČR");

    params.choices = {false, true, ExistingMode::Ask};
    params.setExport = false;
    params.nonExportCountries = ";SK";
    ASSERT_TRUE(WriteMoneyImportSettings(profile, params));
    EXPECT_EQ(ReadFile(profile.Path()), "[Import]\nProdukty=0\nVydaje=1\nExistujici zaznamy=2\n"
                                        "Nastavovat Export=0\nNeexportni zeme=;SK\n");
    const MoneyImportParams back = ReadMoneyImportSettings(profile);
    EXPECT_FALSE(back.choices.products);
    EXPECT_EQ(back.choices.existing, ExistingMode::Ask);
    EXPECT_EQ(back.nonExportCountries, ";SK");

    profile.WriteString("Import", "Existujici zaznamy", "7");
    EXPECT_EQ(ReadMoneyImportSettings(profile).choices.existing, ExistingMode::Skip);
}

} // namespace
} // namespace tarvo::test
