#include "core/data/codelists.h"
#include "core/data/datafolder.h"
#include "core/data/shared.h"
#include "core/report/reportbuild.h"
#include "core/report/reportdata.h"
#include "core/report/reportfills.h"
#include "core/report/reporttemplate.h"
#include "core/setup/datafoldersetup.h"
#include "core/workbook/workbook.h"
#include "libreoffice.h"
#include "rows.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The style the template gives the cells a report fills (see the generator).
constexpr const char* InputStyle = "s4 ";

TEST(BuiltInTemplate, EveryCellTheReportFillsIsAnInputCellInTheRowOfItsMaterial) {
    for (const char* version : {"2.19", "1.5"}) {
        test::TempFolder folder;
        const std::string path = folder.File("t.tpl");
        MakeReportTemplate(path, 2026, 2, version);
        const Quantity v = ParseTemplateVersion(version);
        Workbook book;
        book.Open(path);
        for (const char* sheetName : {"1-1", "2-4", "3-1"}) {
            const bool reusable = sheetName[0] != '1';
            const auto cells = test::SheetCells(path, sheetName);
            Worksheet* sheet = book.Sheet(sheetName);
            int inputs = 0;
            for (const auto& [address, text] : cells)
                inputs += text == InputStyle;
            int mapped = 0;
            for (int material = 0; material < Materials.size; ++material) {
                for (int type = 0; type < 4; ++type) {
                    for (int k = 0; k < 3; ++k) {
                        const auto cell = sheetName[0] == '3'
                                              ? DiscardCell(material, type, k, v)
                                              : DispatchCell(material, type, k, reusable, v);
                        if (!cell)
                            continue;
                        ++mapped;
                        const std::string name = CellName(cell->column, cell->row);
                        EXPECT_EQ(cells.count(name) ? cells.at(name) : "", InputStyle)
                            << version << " " << sheetName << "!" << name;
                        EXPECT_EQ(sheet->GetText(Format("B%d", cell->row)),
                                  Materials.Label(material));
                    }
                }
            }
            EXPECT_EQ(inputs, mapped) << version << " " << sheetName;
        }
        const auto stats = test::SheetCells(path, "4-1");
        for (const auto& [category, reusable] :
             {std::pair{1, true}, {2, true}, {2, false}, {3, false}}) {
            const auto cell = StatisticsCell(category, reusable, v);
            EXPECT_EQ(stats.at(CellName(cell->column, cell->row)), InputStyle) << version;
        }
        Worksheet* intro = book.Sheet("Úvod");
        EXPECT_EQ(intro->GetText("A1"), version);
        EXPECT_EQ(intro->GetText("D4"), "2");
        EXPECT_EQ(book.SheetNames(),
                  (std::vector<std::string>{"Úvod", "1-1", "1-2", "1-3", "1-4", "2-1", "2-2", "2-3",
                                            "2-4", "3-1", "4-1"}));
    }
}

TEST(BuiltInTemplate, TotalsAreFormulasOverTheDataCells) {
    test::TempFolder folder;
    const std::string path = folder.File("t.tpl");
    MakeReportTemplate(path, 2026, 1);
    const auto cells = test::SheetCells(path, "1-1");
    EXPECT_EQ(cells.at("O6"), "s6  f:SUM(C6:N6)");
    EXPECT_EQ(cells.at("C36"), "s6  f:SUM(C6:C35)");
    EXPECT_EQ(cells.at("O36"), "s6  f:SUM(O6:O35)");
    EXPECT_EQ(test::SheetCells(path, "2-1").at("N35"), "s6  f:SUM(N6:N34)");
    EXPECT_THROW(MakeReportTemplate(path, 2026, 1), ComError); // never overwrites
}

// The old statement's templates serve the quarters up to 2020 only: from 2021
// a new folder gets those of 2020, not of a year that uses EKO-KOM's form.
TEST(BuiltInTemplate,
     NewDataFolderGetsTheQuarterTemplatesOfTheLastOldFormYearAndKeepsExistingOnes) {
    EXPECT_EQ(StarterTemplateYear(2019), 2019);
    EXPECT_EQ(StarterTemplateYear(2020), 2020);
    EXPECT_EQ(StarterTemplateYear(2021), 2020);
    EXPECT_EQ(StarterTemplateYear(2026), 2020);
    test::TempFolder base;
    const DataFolder data{base.Folder() + "nova/"};
    ASSERT_EQ(PrepareDataFolder(data), PrepareResult::Created);
    const int year = StarterTemplateYear(OleDate::Today().Year());
    for (int q = 1; q <= 4; ++q)
        EXPECT_EQ(test::CellText(QuarterTemplatePath(data.folder, year, q), "Úvod", "D4"),
                  std::to_string(q));

    test::WriteFile(QuarterTemplatePath(data.folder, year, 2), "my own");
    fs::remove(QuarterTemplatePath(data.folder, year, 3));
    EXPECT_EQ(WriteQuarterTemplates(data.folder, year),
              std::vector<std::string>{QuarterTemplatePath(data.folder, year, 3)});
    EXPECT_EQ(test::ReadFile(QuarterTemplatePath(data.folder, year, 2)), "my own");
}

class CliReport : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TARVO_CLI"))
            GTEST_SKIP() << "TARVO_CLI is set by CTest";
    }
    int Run(const std::string& args) {
        last = test::RunCli(dir, args, base);
        return last.status;
    }
    std::string Out() { return last.out; }
    std::string Err() { return last.err; }

    test::CliRun last;
    test::TempFolder base;
    std::string dir = base.Folder() + "data";
};

TEST_F(CliReport, InitWritesTemplatesAndReportPrintsTheWorkbookPath) {
    ASSERT_EQ(Run("init"), 0);
    // Quarters before 2021 keep the form with the sheets 1-1 ... 4-1; init
    // writes the templates of the last of those years.
    const int year = 2020;
    ASSERT_TRUE(fs::exists(QuarterTemplatePath(dir + "/", year, 4)));
    test::WriteFile(dir + "/tarvo.ini", "[Spolecnost]\nNazev=Kolmara s.r.o.\nICO=123\n");
    ASSERT_EQ(Run(Format("report --year %d --quarter 4 --corrective", year)), 0) << Err();
    std::string path = Out();
    ASSERT_FALSE(path.empty());
    path.pop_back(); // the line break
    EXPECT_EQ(fs::path(path).parent_path(), fs::path(dir) / "Vykazy");
    EXPECT_EQ(test::CellText(path, "Úvod", "D7"), "Kolmara s.r.o.");
    EXPECT_EQ(test::CellText(path, "Úvod", "C13"), "123");
    EXPECT_EQ(test::CellText(path, "Úvod", "D5"), "opravný");
    EXPECT_EQ(Err().rfind("Všechny řádky výdejů čtvrtletí mají platné balení a všechny jejich "
                          "obaly hmotnost.\nSestavení výkazu\n",
                          0),
              0u)
        << Err();

    EXPECT_EQ(Run("report --year 2100 --quarter 1"), 2);
    EXPECT_EQ(Err(), "Rok musí být celé číslo od 2000 do 2099.\n");
    EXPECT_EQ(Run("report --year 2026 --quarter 5"), 2);
    EXPECT_EQ(Err(), "Čtvrtletí musí být celé číslo od 1 do 4.\n");
    EXPECT_EQ(Run("report --year 2019 --quarter 1"), 1);
    EXPECT_NE(Err().find("Nemohu najít soubor s předlohou výkazu \"" + dir + "/vykaz2019.tpl_1\""),
              std::string::npos)
        << Err();
    EXPECT_EQ(Run("report --year 2031 --quarter 1"), 2);
    EXPECT_EQ(Err(), "Od roku 2021 se výkaz vyplňuje do formuláře, který poslal EKO-KOM: zadejte "
                     "jej (--form SOUBOR.xlsx).\n");
}

TEST_F(CliReport, MakeTemplateWritesTheFileItIsToldAndNeverOverwrites) {
    const std::string out = base.File("vlastni.xlsx");
    ASSERT_EQ(Run(Format("make-template --year 2030 --quarter 2 --out '%s'", out.c_str())), 0)
        << Err();
    EXPECT_EQ(Out(), out + "\n");
    EXPECT_EQ(test::CellText(out, "Úvod", "D3"), "2030");
    EXPECT_EQ(test::CellText(out, "Úvod", "D4"), "2");
    EXPECT_EQ(Run(Format("make-template --year 2030 --quarter 2 --out '%s'", out.c_str())), 1);
    ASSERT_EQ(Run("make-template --year 2030 --quarter 3"), 0) << Err();
    EXPECT_EQ(Out(), dir + "/vykaz2030_3.tpl\n");
}

// The written workbook read by another spreadsheet program.
TEST(ReportInOtherPrograms, LibreOfficeReadsTheFilledCells) {
    test::TestDatabase db;
    const std::string folder = db.folder.Folder();
    MakeReportTemplate(QuarterTemplatePath(folder, 2026, 1), 2026, 1);
    const RecordId cover =
        test::rows::Cover(db.store, {"c", test::Q("1234,5"), false, 1, 7, 0, 1, 0});
    const RecordId move = test::rows::Move(db.store, {"m", 0, OleDate::FromParts(2026, 2, 1)});
    test::rows::MoveCover(db.store, {move, 0, cover, test::Q("2"), 1, 0, 1});
    test::RecordingProgress progress;
    ReportParams params;
    params.year = 2026;
    params.quarter = 1;
    const auto report = BuildReport(db.store, progress, DataFolder{folder}, params);
    ASSERT_TRUE(report);
    // Sheet 1-1 as CSV, with the formulas computed by LibreOffice.
    if (!test::ConvertWithLibreOffice({*report}, folder,
                                      "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,"
                                      "true,false,false,false,2"))
        GTEST_SKIP() << "soffice is not installed";
    const std::string csv = test::ReadFile(folder + fs::path(*report).stem().string() + "-1-1.csv");
    // G25 holds 2 x 1234.5 kg = 2.469 t; its row total O25 and the column total G36 agree.
    EXPECT_NE(csv.find("\n20,papír,,,,,2.469,,,,,,,,2.469\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n,Celkem,0,0,0,0,2.469,"), std::string::npos) << csv;
}

} // namespace
} // namespace tarvo
