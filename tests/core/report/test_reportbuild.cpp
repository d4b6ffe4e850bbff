#include "core/data/shared.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"
#include "rows.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

const char* const DataSheets[] = {"1-1", "1-2", "1-3", "1-4", "2-1",
                                  "2-2", "2-3", "2-4", "3-1", "4-1"};

class ReportTest : public ::testing::Test {
protected:
    std::string Template(int year, int quarter, const std::string& version = "2.19") {
        const std::string path = QuarterTemplatePath(folder, year, quarter);
        MakeReportTemplate(path, year, quarter, version);
        return path;
    }
    long Cover(int material, bool reusable, int64_t weightScaled) {
        return static_cast<long>(test::rows::Cover(
            db.store, {"c", Quantity::FromScaled(weightScaled), reusable, 0, material, 0, 0, 0}));
    }
    void Dispatch(OleDate date, long cover, int type, int origin, int payment = 1,
                  bool exported = false) {
        const RecordId move = test::rows::Move(db.store, {"m", 0, date, exported});
        test::rows::MoveCover(db.store,
                              {move, 0, cover, Quantity::FromUnits(1), type, origin, payment});
    }
    std::optional<std::string> Build(int year, int quarter, bool corrective = false) {
        ReportParams params;
        params.year = year;
        params.quarter = quarter;
        params.corrective = corrective;
        params.company = company;
        return BuildReport(db.store, progress, DataFolder{folder}, params);
    }
    std::vector<std::string> Reports() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder + "Vykazy", ec))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Cells of every data sheet that differ between the template and the report.
    std::vector<std::string> ChangedCells(const std::string& templatePath,
                                          const std::string& report) const {
        std::vector<std::string> changed;
        for (const char* sheet : DataSheets) {
            const auto before = test::SheetCells(templatePath, sheet);
            for (const auto& [address, text] : test::SheetCells(report, sheet)) {
                const auto it = before.find(address);
                if (it == before.end() || it->second != text)
                    changed.push_back(std::string(sheet) + "!" + address);
            }
        }
        return changed;
    }

    test::TestDatabase db;
    std::string folder = db.folder.Folder();
    test::RecordingProgress progress;
    CompanyData company{"Kolmara s.r.o.", "Brno",      "12345678", "CZ12345678", "EK-1",
                        "f@k.cz",         "Jana Nová", "j@k.cz",   "+420 1",     "+420 2"};
};

TEST_F(ReportTest, WorkedExampleUnderATemplateOfVersion24) {
    const std::string tpl = Template(2006, 2, "2.4");
    Dispatch(OleDate::FromParts(2006, 5, 10), Cover(7, false, 12345000), 1, 0);
    const auto report = Build(2006, 2);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, folder + "Vykazy/vykaz_2006_2_radny.xlsx");
    EXPECT_EQ(test::CellText(*report, "1-1", "G25"), "1.2345");
    EXPECT_EQ(ChangedCells(tpl, *report), std::vector<std::string>{"1-1!G25"});
    EXPECT_TRUE(db.messages.shown.empty());
    // Template version below 2.11: the chosen quarter goes into D4.
    EXPECT_EQ(test::CellText(*report, "Úvod", "D4"), "2");
    EXPECT_EQ(progress.rangeUpper, 200);
    const std::vector<std::string> statuses(progress.statuses.begin(),
                                            progress.statuses.begin() + 3);
    EXPECT_EQ(statuses, (std::vector<std::string>{"Spouštím excel", "sešit Úvod", "sešit 1-1"}));
    EXPECT_EQ(progress.statuses.back(), "sešit 4-1");
    // The workbook opens on the intro sheet.
    EXPECT_NE(test::ZipEntry(*report, "xl/workbook.xml").find("activeTab=\"0\""),
              std::string::npos);
}

TEST_F(ReportTest, QuarterBoundariesCountWholeDays) {
    const std::string tpl = Template(2026, 1);
    const long paper = Cover(7, false, 10000);
    Dispatch(OleDate::FromParts(2025, 12, 31, 23, 59, 59), paper, 2, 2); // before
    Dispatch(OleDate::FromParts(2026, 1, 1, 0, 0, 0), paper, 1, 2);      // first day
    Dispatch(OleDate::FromParts(2026, 3, 31, 23, 59, 59), paper, 0, 2);  // last day, late
    Dispatch(OleDate::FromParts(2026, 4, 1, 0, 0, 0), paper, 3, 2);      // next quarter
    const auto report = Build(2026, 1);
    ASSERT_TRUE(report);
    EXPECT_EQ(ChangedCells(tpl, *report), (std::vector<std::string>{"1-1!F25", "1-1!I25"}));
}

TEST_F(ReportTest, QuarterWithoutDispatchesLeavesTheDataSheetsAsTheTemplateHadThem) {
    const std::string tpl = Template(2026, 4);
    // Dispatches of other quarters, and reusable cartons, which have no row.
    Dispatch(OleDate::FromParts(2026, 9, 30), Cover(7, false, 10000), 2, 2);
    Dispatch(OleDate::FromParts(2026, 11, 2), Cover(6, true, 10000), 2, 2);
    const auto report = Build(2026, 4);
    ASSERT_TRUE(report);
    EXPECT_TRUE(ChangedCells(tpl, *report).empty());
}

TEST_F(ReportTest, EachSheetGetsItsPaymentExportAndReusableGroup) {
    const std::string tpl = Template(2026, 2);
    const OleDate day = OleDate::FromParts(2026, 5, 5);
    const long single = Cover(7, false, 10000);
    const long reusable = Cover(7, true, 10000);
    Dispatch(day, single, 2, 2, 1);               // 1-1
    Dispatch(day, single, 2, 0, 2);               // 1-2
    Dispatch(day, single, 2, 1, 0);               // 1-3
    Dispatch(day, single, 1, 2, 0, true);         // 1-4, payment ignored
    Dispatch(day, reusable, 2, 2, 1);             // 2-1
    Dispatch(day, reusable, 2, 0, 2);             // 2-2
    Dispatch(day, reusable, 2, 1, 0);             // 2-3
    Dispatch(day, reusable, 1, 2, 2, true);       // 2-4
    Dispatch(day, Cover(26, false, 10000), 3, 0); // sklo průmyslový
    const auto report = Build(2026, 2);
    ASSERT_TRUE(report);
    EXPECT_EQ(ChangedCells(tpl, *report),
              (std::vector<std::string>{"1-1!C25", "1-1!M26", "1-2!D25", "1-3!E25", "1-4!F25",
                                        "2-1!C25", "2-2!D25", "2-3!E25", "2-4!F25"}));
}

TEST_F(ReportTest, OldLayoutTemplateIsFilledByItsOwnRowsAndCells) {
    const std::string tpl = Template(2004, 1, "1.5");
    const OleDate day = OleDate::FromParts(2004, 2, 2);
    Dispatch(day, Cover(7, false, 10000), 1, 0);
    Dispatch(day, Cover(26, false, 10000), 3, 0); // průmyslový: no columns in 1.5
    Dispatch(day, Cover(1, true, 10000), 2, 2);
    const auto report = Build(2004, 1, true);
    ASSERT_TRUE(report);
    EXPECT_EQ(ChangedCells(tpl, *report), (std::vector<std::string>{"1-1!G24", "2-1!C30"}));
    // The intro sheet of the old form.
    const std::pair<const char*, std::string> intro[] = {
        {"D4", "1"},
        {"D5", "opravný"},
        {"D7", company.name},
        {"D9", company.seat},
        {"C11", company.ico},
        {"F11", company.dic},
        {"F13", company.ekokomId},
        {"D17", company.contactPerson},
        {"C18", company.phone},
        {"C19", company.fax},
        {"C20", company.mail},
    };
    for (const auto& [cell, text] : intro)
        EXPECT_EQ(test::CellText(*report, "Úvod", cell), text) << cell;
}

TEST_F(ReportTest, IntroSheetOfTheCurrentForm) {
    Template(2026, 3);
    const auto report = Build(2026, 3);
    ASSERT_TRUE(report);
    const std::pair<const char*, std::string> intro[] = {
        {"A1", "2.19"},
        {"D4", "3"},
        {"D5", "řádný"},
        {"D7", company.name},
        {"D9", company.seat},
        {"E11", company.mailInvoices},
        {"C13", company.ico},
        {"F13", company.dic},
        {"F15", company.ekokomId},
        {"D19", company.contactPerson},
        {"C20", company.phone},
        {"C21", company.fax},
        {"C22", company.mail},
    };
    for (const auto& [cell, text] : intro)
        EXPECT_EQ(test::CellText(*report, "Úvod", cell), text) << cell;
    const auto corrective = Build(2026, 3, true);
    ASSERT_TRUE(corrective);
    EXPECT_EQ(test::CellText(*corrective, "Úvod", "D5"), "opravný");
}

TEST_F(ReportTest, TemplateSearchOrder) {
    // Files under "data/" are in the data folder, under "share/" in the
    // installed resource folder.
    struct Case {
        std::vector<std::string> files;
        int year, quarter;
        const char* found;
    };
    const Case cases[] = {
        {{"data/vykaz2009_1.tpl", "data/vykaz2009.tpl"}, 2009, 3, "data/vykaz2009_1.tpl"},
        {{"data/vykaz2009_3.tpl", "data/vykaz2009_1.tpl"}, 2009, 3, "data/vykaz2009_3.tpl"},
        {{"data/vykaz2009_4.tpl", "data/vykaz2009.tpl"}, 2009, 3, "data/vykaz2009.tpl"},
        {{"data/vykaz2008_2.tpl"}, 2008, 3, ""},
        {{"data/vykaz2008_2.tpl", "data/vykaz2008.tpl"}, 2008, 3, "data/vykaz2008.tpl"},
        {{"data/vykaz2026_1.tpl"}, 2026, 4, "data/vykaz2026_1.tpl"},
        {{"share/vykaz2027_2.tpl", "data/vykaz2027_2.tpl"}, 2027, 2, "data/vykaz2027_2.tpl"},
        {{"share/vykaz2027_2.tpl", "data/vykaz2027_1.tpl"}, 2027, 2, "share/vykaz2027_2.tpl"},
        {{"share/vykaz2027_1.tpl", "data/vykaz2027.tpl"}, 2027, 3, "share/vykaz2027_1.tpl"},
        {{"share/vykaz2008.tpl", "data/vykaz2008_1.tpl"}, 2008, 2, "share/vykaz2008.tpl"},
        {{"share/vykaz2027_3.tpl"}, 2027, 2, ""},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        fs::create_directory(dir.Path() / "data");
        fs::create_directory(dir.Path() / "share");
        for (const std::string& f : c.files)
            test::WriteFile(dir.File(f), "x");
        const DataFolder data{dir.Folder() + "data/", dir.Folder() + "share/"};
        const auto found = FindReportTemplate(data, c.year, c.quarter);
        EXPECT_EQ(found.value_or(dir.Folder()), dir.Folder() + c.found)
            << c.year << "/" << c.quarter;
    }
}

TEST_F(ReportTest, InstalledTemplateServesADataFolderWithoutOne) {
    test::TempFolder share;
    const std::string installed = QuarterTemplatePath(share.Folder(), 2026, 2);
    MakeReportTemplate(installed, 2026, 2);
    ReportParams params;
    params.year = 2026;
    params.quarter = 2;
    const auto report = BuildReport(db.store, progress, DataFolder{folder, share.Folder()}, params);
    ASSERT_TRUE(report);
    EXPECT_EQ(fs::path(*report).parent_path().string() + "/", folder + "Vykazy/");
    EXPECT_EQ(test::CellText(*report, "Úvod", "D4"), "2");
    EXPECT_TRUE(db.messages.shown.empty());
}

TEST_F(ReportTest, MissingTemplateNamesTheYearTemplateAndTheQuarter) {
    EXPECT_FALSE(Build(2010, 2));
    ASSERT_EQ(db.messages.shown.size(), 1u);
    EXPECT_EQ(db.messages.shown[0].text,
              "Nemohu najít soubor s předlohou výkazu \"" + folder + "vykaz2010.tpl_2\"");
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(Reports().empty());
}

TEST(TemplateVersion, ParsesHundredthsAfterThePoint) {
    const std::pair<const char*, int64_t> cases[] = {
        {"2.9", 20900}, {"2.10", 21000}, {"2.11", 21100}, {"2.19", 21900}, {"2.4", 20400},
        {"2", 20000},   {"2.", 20000},   {"", 0},         {"x", 0},        {"1.5", 10500},
    };
    for (const auto& [text, scaled] : cases)
        EXPECT_EQ(ParseTemplateVersion(text).Scaled(), scaled) << text;
}

TEST(TemplateVersion, AcceptanceTable) {
    struct Case {
        const char* text;
        int templateQuarter, year, quarter;
        bool accepted;
    };
    const Case cases[] = {
        {"1.4", 0, 2003, 3, true},
        {"1.4", 0, 2004, 1, false},
        {"1.5", 0, 2004, 1, true},
        {"1.5", 0, 2004, 2, false},
        {"2.0", 0, 2004, 2, true},
        {"2.0", 0, 2004, 1, false},
        {"2.4", 0, 2006, 1, true},
        {"2.4", 0, 2011, 4, true},
        {"2.4", 0, 2005, 1, false},
        {"2.7", 0, 2008, 3, true},
        {"2.6", 0, 2008, 3, false},
        {"2.6", 0, 2008, 2, true},
        {"2.10", 0, 2009, 3, true},
        {"2.10", 0, 2009, 2, false},
        {"2.11", 1, 2010, 1, true},
        {"2.11", 2, 2010, 2, false},
        {"2.12", 2, 2010, 2, true},
        {"2.12", 1, 2010, 1, false},
        {"2.15", 1, 2011, 3, true},
        {"2.14", 3, 2011, 3, false},
        {"2.19", 3, 2012, 3, true},
        {"2.19", 2, 2012, 3, false},
        {"2.18", 3, 2012, 3, false},
        // Later years take the current form of their quarter.
        {"2.19", 3, 2026, 3, true},
        {"2.19", 4, 2026, 3, false},
        {"2.25", 1, 2099, 1, true},
        {"2.15", 1, 2013, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TemplateMatches(c.text, ParseTemplateVersion(c.text), c.templateQuarter, c.year,
                                  c.quarter),
                  c.accepted)
            << c.text << " " << c.year << "/" << c.quarter;
}

// Versions compare by their hundredths: "2.0" is the first of the new data
// sheets but still has the old company block, "2.2" (2.02) moves the company
// block, and "2.10" lies above "2.2" although it reads shorter as a decimal.
TEST_F(ReportTest, BorderVersionsChooseTheirDataAndCompanyLayouts) {
    struct Case {
        const char* version;
        int year, quarter;
        const char* paperCell; // papír, skupinový, dovezený
        const char* icoCell;
        const char* invoiceMailCell; // "" when the form has none
    };
    const Case cases[] = {
        {"1.5", 2004, 1, "G24", "C11", ""},     {"2.0", 2004, 2, "G25", "C11", ""},
        {"2.1", 2005, 3, "G25", "C11", ""},     {"2.2", 2006, 1, "G25", "C13", "E11"},
        {"2.10", 2009, 3, "G25", "C13", "E11"},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::string tpl = QuarterTemplatePath(dir.Folder(), c.year, c.quarter);
        MakeReportTemplate(tpl, c.year, c.quarter, c.version);
        const QuarterDays period = QuarterPeriod(c.year, c.quarter);
        Dispatch(period.first, Cover(7, false, 10000), 1, 0);
        ReportParams params;
        params.year = c.year;
        params.quarter = c.quarter;
        params.company = company;
        const auto report = BuildReport(db.store, progress, DataFolder{dir.Folder()}, params);
        ASSERT_TRUE(report) << c.version;
        EXPECT_EQ(ChangedCells(tpl, *report),
                  std::vector<std::string>{std::string("1-1!") + c.paperCell})
            << c.version;
        EXPECT_EQ(test::CellText(*report, "Úvod", c.icoCell), company.ico) << c.version;
        if (*c.invoiceMailCell)
            EXPECT_EQ(test::CellText(*report, "Úvod", c.invoiceMailCell), company.mailInvoices)
                << c.version;
        else
            EXPECT_EQ(test::CellText(*report, "Úvod", "F11"), company.dic) << c.version;
        db.Run("DELETE FROM Move_Cover");
    }
}

TEST_F(ReportTest, CommaInTheVersionReadsAsAPoint) {
    const std::string tpl = Template(2007, 1, "2,4");
    Dispatch(OleDate::FromParts(2007, 1, 2), Cover(7, false, 10000), 3, 2);
    const auto report = Build(2007, 1);
    ASSERT_TRUE(report);
    // Read as 2.4: the new layout with the průmyslový columns.
    EXPECT_EQ(ChangedCells(tpl, *report), std::vector<std::string>{"1-1!L25"});
}

TEST_F(ReportTest, TemplateOfAnotherQuarterIsRefusedAndTheCopyRemoved) {
    // The third quarter's template found for the fourth names quarter 3 in D4.
    const std::string tpl = Template(2026, 3);
    EXPECT_FALSE(Build(2026, 4));
    ASSERT_EQ(db.messages.shown.size(), 1u);
    EXPECT_EQ(db.messages.shown[0].text,
              "Soubor '" + tpl + "'\nneobsahuje předlohu výkazu pro 4. čtvrtletí 2026!");
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(ReportTest, FailuresFromOpeningOnDeleteTheCopyAndShowTheError) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> spoil;
        std::string message;
    };
    const auto dropSheet = [](const std::string& sheet) {
        return [sheet](const std::string& path) {
            std::string xml = test::ZipEntry(path, "xl/workbook.xml");
            const size_t at = xml.find("<sheet name=\"" + sheet + "\"");
            xml.erase(at, xml.find("/>", at) + 2 - at);
            test::PutZipEntry(path, "xl/workbook.xml", xml);
        };
    };
    const Case cases[] = {
        {"damaged", [](const std::string& path) { test::WriteFile(path, "PK poškozený"); },
         "Došlo k chybě COM č.0x800A03EC\n\n"},
        {"missing data sheet", dropSheet("2-3"), "Došlo k chybě COM č.0x8002000B\n\n"},
        {"missing intro", dropSheet("Úvod"), "Došlo k chybě COM č.0x8002000B\n\n"},
    };
    for (const Case& c : cases) {
        db.messages.shown.clear();
        const std::string tpl = Template(2026, 1);
        c.spoil(tpl);
        EXPECT_FALSE(Build(2026, 1)) << c.what;
        ASSERT_EQ(db.messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(db.messages.shown[0].text.rfind(c.message, 0), 0u)
            << c.what << ": " << db.messages.shown[0].text;
        EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Error);
        EXPECT_TRUE(Reports().empty()) << c.what;
        fs::remove(tpl);
    }
}

TEST_F(ReportTest, IntroThatIsNoWorksheetIsNoTemplate) {
    const std::string tpl = Template(2026, 1);
    std::string rels = test::ZipEntry(tpl, "xl/_rels/workbook.xml.rels");
    const std::string first = "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"";
    rels.replace(rels.find(first), first.size(),
                 "relationships/chartsheet\" Target=\"worksheets/sheet1.xml\"");
    test::PutZipEntry(tpl, "xl/_rels/workbook.xml.rels", rels);
    EXPECT_FALSE(Build(2026, 1));
    ASSERT_EQ(db.messages.shown.size(), 1u);
    EXPECT_EQ(db.messages.shown[0].text, "Soubor '" + tpl + "' neobsahuje předlohu výkazu");
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(ReportTest, StatementsAreNamedByPeriodAndKindAndNeverOverwritten) {
    Template(2026, 1);
    fs::create_directories(folder + "Vykazy");
    const std::string base = folder + "Vykazy/vykaz_2026_1_";
    test::WriteFile(base + "radny.xlsx", "mine");
    // A breakdown left without its statement still takes the name.
    test::WriteFile(base + "radny_2_rozpis.xlsx", "mine");
    EXPECT_EQ(Build(2026, 1), base + "radny_3.xlsx");
    EXPECT_EQ(Build(2026, 1), base + "radny_4.xlsx");
    EXPECT_EQ(Build(2026, 1, true), base + "opravny.xlsx");
    EXPECT_EQ(test::ReadFile(base + "radny.xlsx"), "mine");
    EXPECT_EQ(test::ReadFile(base + "radny_2_rozpis.xlsx"), "mine");
}

TEST_F(ReportTest, ReportFolderThatCannotBeMadeStopsAtTheCopy) {
    Template(2026, 1);
    test::WriteFile(folder + "Vykazy", "a file where the folder belongs");
    EXPECT_FALSE(Build(2026, 1));
    ASSERT_EQ(db.messages.shown.size(), 1u);
    EXPECT_EQ(db.messages.shown[0].text,
              "Nemohu vytvořit soubor \"" + folder + "Vykazy/vykaz_2026_1_radny.xlsx\"!");
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Error);
}

} // namespace
} // namespace tarvo
