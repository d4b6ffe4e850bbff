#include "core/data/shared.h"
#include "core/ports/progressport.h"
#include "core/records/classification.h"
#include "core/report/breakdown.h"
#include "core/report/formbreakdown.h"
#include "core/report/formbuild.h"
#include "core/report/formlayout.h"
#include "core/report/formsums.h"
#include "core/report/reportbuild.h"
#include "dev/datagenerator.h"
#include "dev/syntheticform.h"
#include "libreoffice.h"
#include "rows.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::Q;

constexpr int Transport = 0, Sales = 2;
constexpr int Unpaid = 0, Paid = 1, Prepaid = 2;
constexpr int Imported = 0, Bought = 1;

CoverClassification Class(int material, int shape, const char* recycled = "0") {
    CoverClassification c;
    c.material = material;
    c.shape = shape;
    c.recycled = Q(recycled);
    return c;
}

// The form of the fourth quarter of 2025 as EKO-KOM sends it, and a quarter
// of dispatches and discards with every kind of sheet.
class FormBuildTest : public ::testing::Test {
protected:
    RecordId Cover(const char* name, const char* weight, bool reusable,
                   std::optional<CoverClassification> c) {
        const RecordId id = test::rows::Cover(db.store, {name, Q(weight), reusable, 2, 0, 1, 1, 0});
        if (c)
            WriteClassification(db.store, id, *c);
        return id;
    }
    void Line(RecordId cover, const char* quantity, int type, int origin, int payment,
              bool exported = false) {
        const RecordId move =
            test::rows::Move(db.store, {"m", 0, OleDate::FromParts(2025, 11, 3), exported});
        test::rows::MoveCover(db.store,
                              {move, NoRecord, cover, Q(quantity), type, origin, payment});
    }
    void WorkedExample() {
        Line(Cover("Láhev PET", "0,05", false, Class(0, 1, "25")), "1000", Sales, Bought, Paid);
        CoverClassification box = Class(34, -1);
        box.composition = {{9, Q("80")}, {1, Q("20")}};
        Line(Cover("Krabice", "0,2", false, box), "100", Transport, Imported, Paid);
        bag = Class(4, 0);
        bag.littering = 8;
        bagCover = Cover("Taška", "0,002", false, bag);
        Line(bagCover, "5000", Sales, Bought, Paid);
        const RecordId crate = Cover("Přepravka", "1,5", true, Class(6, 1));
        Line(crate, "10", Transport, Bought, Unpaid, true);
        const RecordId disc =
            test::rows::Discard(db.store, {crate, OleDate::FromParts(2025, 12, 1), 2, Q("2")});
        WriteDiscardDestination(db.store, disc, 1);
        Line(Cover("Sklenice", "0,3", false, Class(27, -1)), "10", Sales, Bought, Prepaid);
        Line(Cover("Bez zařazení", "1", false, std::nullopt), "1", Sales, Bought, Paid);
    }
    std::optional<std::string> Build(const SyntheticForm& form) {
        form.Write(formPath);
        FormReportParams params;
        params.year = 2025;
        params.quarter = 4;
        params.formPath = formPath;
        params.orderNumber = "OBJ-7";
        params.company.name = "Firma s.r.o.";
        params.company.ekokomId = ekokomId;
        params.writeDespiteFailures = [this](const std::vector<std::string>& failures) {
            asked = failures;
            return accept;
        };
        return BuildFormReport(db.store, progress, DataFolder{folder}, params);
    }
    // "sheet!cell=text" of every cell of a data sheet the statement changed.
    std::vector<std::string> Filled(const std::string& statement) {
        std::vector<std::string> filled;
        for (const FormSheet& sheet : FormSheets()) {
            const std::string name(sheet.name);
            const auto before = test::SheetCells(formPath, name);
            for (const auto& [address, cell] : test::SheetCells(statement, name)) {
                const auto it = before.find(address);
                if (it == before.end() || it->second != cell)
                    filled.push_back(name + "!" + address + "=" +
                                     test::CellText(statement, name, address));
            }
        }
        return filled;
    }
    bool NothingWritten() const {
        return !fs::exists(folder + "Vykazy") || fs::is_empty(folder + "Vykazy");
    }

    test::TestDatabase db;
    std::string folder = db.folder.Folder();
    std::string formPath = db.folder.File("formular.xlsx");
    test::RecordingProgress progress;
    std::string ekokomId = "A12345678";
    bool accept = false;
    std::vector<std::string> asked;
    CoverClassification bag;
    RecordId bagCover = 0;
};

TEST_F(FormBuildTest, WorkedExampleFillsExactlyTheseCells) {
    WorkedExample();
    const SyntheticForm form(2025, 4);
    const auto statement = Build(form);
    ASSERT_TRUE(statement) << (db.messages.shown.empty() ? "" : db.messages.shown[0].text);
    EXPECT_EQ(*statement, folder + "Vykazy/vykaz_2025_4_radny.xlsx");
    EXPECT_EQ(Filled(*statement), (std::vector<std::string>{
                                      "J1-1A!E14=0.01",
                                      "J1-1A!I10=0.0375",
                                      "J1-1A!K10=0.0125",
                                      "J1-1B!O46=0.02",
                                      "J1-1K!J11=0.004",
                                      "J1-1K!J19=0.016",
                                      "J2!E17=0.003",
                                      "L!F13=0.01",
                                      "L!G13=5000",
                                      "O4!I11=0.015",
                                      "S1!E11=0.003",
                                  }));
    EXPECT_EQ(test::CellText(*statement, "Úvod", "B14"), "OBJ-7");
    EXPECT_EQ(test::CellText(*statement, "Úvod", "D6"), "Firma s.r.o.");
    EXPECT_EQ(test::CellText(*statement, "Úvod", "F14"), "A12345678");
    EXPECT_EQ(test::CellText(*statement, "Úvod", "D5"), "");
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(db.messages.shown.empty());

    // The user's file stays as it came; the statement differs from it only in
    // the filled sheets, the title page and the workbook's recalculation flag.
    const std::string original = db.folder.File("original.xlsx");
    form.Write(original);
    EXPECT_TRUE(test::DifferingZipEntries(original, formPath).empty());
    std::vector<std::string> expected = {"xl/workbook.xml"};
    for (const char* sheet : {"Úvod", "J1-1A", "J1-1B", "J1-1K", "J2", "L", "O4", "S1"})
        expected.push_back(test::SheetPart(formPath, sheet));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(test::DifferingZipEntries(formPath, *statement), expected);
    EXPECT_NE(test::ZipEntry(*statement, "xl/workbook.xml").find("fullCalcOnLoad=\"1\""),
              std::string::npos);

    // The form's own checks, computed by a spreadsheet program.
    const auto computed =
        test::ConvertWithLibreOffice({*statement}, db.folder.File("lo"), "xlsx", true);
    if (!computed)
        GTEST_SKIP() << "LibreOffice is not installed";
    EXPECT_EQ(test::CellText(computed->front(), "TEST", "A2"), "VÝKAZ JE BEZ CHYB");
}

TEST_F(FormBuildTest, ACorrectiveStatementKeepsWhatEkoKomFilledIn) {
    WorkedExample();
    SyntheticForm form(2025, 4);
    form.PrefillTitle();
    form.Write(formPath);
    const std::string prefilledName = test::CellText(formPath, "Úvod", "D6");
    FormReportParams params;
    params.year = 2025;
    params.quarter = 4;
    params.corrective = true;
    params.formPath = formPath;
    params.company.name = "Jiný název";
    params.company.fax = "+420 1";
    const auto statement = BuildFormReport(db.store, progress, DataFolder{folder}, params);
    ASSERT_TRUE(statement);
    EXPECT_EQ(*statement, folder + "Vykazy/vykaz_2025_4_opravny.xlsx");
    EXPECT_EQ(test::CellText(*statement, "Úvod", "D5"), "OPRAVNÝ");
    EXPECT_EQ(test::CellText(*statement, "Úvod", "D6"), prefilledName);
    EXPECT_EQ(test::CellText(*statement, "Úvod", "C20"), "+420 1");
    EXPECT_EQ(test::CellText(*statement, "Úvod", "B14"), "");
}

TEST_F(FormBuildTest, LinesOfASheetTheFormHidesAreLeftOut) {
    WorkedExample();
    SyntheticForm form(2025, 4);
    form.HideSheet("J2");
    const auto statement = Build(form);
    ASSERT_TRUE(statement);
    EXPECT_EQ(test::CellText(*statement, "J2", "E17"), "");
    const auto breakdown = BuildFormBreakdown(db.store, *statement, 2025, 4);
    ASSERT_TRUE(breakdown);
    std::vector<std::string> reasons;
    for (const char* cell : {"E2", "F2", "E3", "F3"})
        reasons.push_back(test::CellText(*breakdown, "Nezahrnuto", cell));
    EXPECT_EQ(reasons, (std::vector<std::string>{"list chybí ve formuláři výkazu",
                                                 "list J2 je ve formuláři skrytý",
                                                 "obal nemá úplné zařazení pro výkaz od roku 2021",
                                                 "obal nemá zařazení"}));
}

struct Refusal {
    const char* name;
    std::function<void(SyntheticForm&)> change;
    int formQuarter;
    std::string message; // after "<path>"
};

TEST_F(FormBuildTest, AFormThatIsNotTheQuartersRefusesAndWritesNothing) {
    WorkedExample();
    const Refusal refusals[] = {
        {"period", [](SyntheticForm&) {}, 3,
         "“ je výkaz za 3. čtvrtletí roku 2025, výkaz se ale sestavuje za 4. čtvrtletí roku "
         "2025. Vyberte formulář, který EKO-KOM poslal pro toto čtvrtletí."},
        {"sheet", [](SyntheticForm& f) { f.RemoveSheet("J1-1K"); }, 4,
         "“ není formulář výkazu EKO-KOM platný od roku 2021: chybí listy J1-1K."},
        {"twice", [](SyntheticForm& f) { f.SetText("J1-1A", "C12", "transparentní"); }, 4,
         "“ nelze vyplnit: na listu J1-1A je řádek „Plasty / PET / transparentní“ víckrát."},
        {"moved", [](SyntheticForm& f) { f.SetText("J1-1A", "C10", "průhledné (6)"); }, 4,
         "“ nelze vyplnit: na listu J1-1A chybí ve sloupcích A až D řádek „Plasty / PET / "
         "transparentní“."},
        {"column", [](SyntheticForm& f) { f.SetText("J1-1A", "I5", "Pevné"); }, 4,
         "“ nelze vyplnit: na listu J1-1A nad řádkem 10 chybí sloupec „Pevné, pevné duté do "
         "3 L / primární / vyrobené, nakoupené v ČR“."},
        {"outside", [](SyntheticForm& f) { f.SetInputAreas("J1-1A", {"E11:P34"}); }, 4,
         "“ nelze vyplnit: řádek „Plasty / PET / transparentní“ listu J1-1A leží mimo vstupní "
         "buňky J11A_HODNOTY."},
        {"locked", [](SyntheticForm& f) { f.SetLocked("J1-1A", "I10", true); }, 4,
         "“ nelze vyplnit: buňka J1-1A!I10 (Plasty / PET / transparentní, Pevné, pevné duté do "
         "3 L / primární / vyrobené, nakoupené v ČR) je zamčená."},
    };
    for (const Refusal& r : refusals) {
        db.messages.shown.clear();
        SyntheticForm form(2025, r.formQuarter);
        r.change(form);
        EXPECT_FALSE(Build(form)) << r.name;
        ASSERT_EQ(db.messages.shown.size(), 1u) << r.name;
        const std::string& text = db.messages.shown[0].text;
        EXPECT_EQ(text.substr(text.find(formPath) + formPath.size()), r.message) << r.name;
        EXPECT_TRUE(NothingWritten()) << r.name;
    }
    db.messages.shown.clear();
    test::WriteFile(formPath, "not a workbook");
    EXPECT_EQ(CheckFormFile(formPath, 2025, 4),
              "Soubor „" + formPath + "“ nelze přečíst jako sešit xlsx.");
}

TEST_F(FormBuildTest, FailedChecksOfTheDataAreAskedAbout) {
    WorkedExample();
    // Too heavy for a bag under 15 microns (a return takes nothing off), and
    // no EKOKOM-ID.
    Line(bagCover, "-4000", Sales, Bought, Paid);
    Line(Cover("Taška těžká", "1", false, bag), "100", Sales, Bought, Paid);
    ekokomId = "";
    const std::vector<std::string> failures = {
        "List L, řádek 13 (Plastové odnosné tašky, Lehké plastové tašky < 15 mikronů): hmotnost "
        "jedné tašky má být od 0,5 do 10 g. Obaly: Taška (" +
            std::to_string(bagCover) + "), Taška těžká (" + std::to_string(bagCover + 4) + ").",
        "List Úvod, buňka F14: EKOKOM-ID chybí (Nastavení, údaje o společnosti)."};
    EXPECT_FALSE(Build(SyntheticForm(2025, 4)));
    EXPECT_EQ(asked, failures);
    EXPECT_TRUE(NothingWritten());
    accept = true;
    const auto statement = Build(SyntheticForm(2025, 4));
    ASSERT_TRUE(statement);
    EXPECT_EQ(test::CellText(*statement, "L", "F13"), "0.11");
    EXPECT_EQ(test::CellText(*statement, "L", "G13"), "5100");
}

// A generated quarter with every classification: each filled cell is the sum
// of its lines in the breakdown, every line is in cells or left out once,
// and the form's own checks agree.
TEST(FormGenerated, CellsAreTheSumsOfTheirLinesAndNoLineIsLost) {
    test::TestDatabase db;
    GeneratorOptions options;
    options.seed = 5;
    options.covers = 120;
    options.products = 40;
    options.dispatches = 600;
    options.firstYear = 2025;
    options.years = 1;
    options.classify = true;
    NullProgress progress;
    GenerateData(db.store, options, progress);
    const std::string form = db.folder.File("formular.xlsx");
    SyntheticForm(2025, 2).Write(form);
    FormReportParams params;
    params.year = 2025;
    params.quarter = 2;
    params.formPath = form;
    params.company.ekokomId = "A12345678";
    params.writeDespiteFailures = [](const std::vector<std::string>&) { return true; };
    const auto statement =
        BuildFormReport(db.store, progress, DataFolder{db.folder.Folder()}, params);
    ASSERT_TRUE(statement) << (db.messages.shown.empty() ? "" : db.messages.shown[0].text);
    ASSERT_TRUE(BuildFormBreakdown(db.store, *statement, 2025, 2));

    Workbook book;
    book.Open(*statement);
    FormLayout layout(book, *statement);
    const FormBreakdown b = ComputeFormBreakdown(db.store, 2025, 2, HiddenFormSheets(book));
    std::map<uint32_t, Quantity> sums;
    std::vector<int> places(b.lines.size());
    for (const FormBreakdown::Part& part : b.parts) {
        auto& sum = sums.try_emplace(part.cell, Quantity::FromUnits(0)).first->second;
        sum = sum + part.amount;
        places[part.line] = 1;
    }
    for (const FormBreakdown::LeftOut& out : b.leftOut)
        places[out.line] += 2;
    // Each line is in cells (1) or left out once (2), never both.
    EXPECT_EQ(std::count_if(places.begin(), places.end(), [](int p) { return p != 1 && p != 2; }),
              0);
    std::set<std::string_view> sheets;
    for (const auto& [id, sum] : sums) {
        const FormTarget t = FormCellOfId(id);
        const CellRef cell = layout.Resolve(t);
        const std::string name(FormSheets()[t.sheet].name);
        EXPECT_EQ(test::CellText(*statement, name, CellName(cell.column, cell.row)),
                  FormCellText(id, sum));
        sheets.insert(FormSheets()[t.sheet].name);
    }
    EXPECT_GE(sheets.size(), 20u);
    const auto computed =
        test::ConvertWithLibreOffice({*statement}, db.folder.File("lo"), "xlsx", true);
    if (!computed)
        GTEST_SKIP() << "LibreOffice is not installed";
    EXPECT_EQ(test::CellText(computed->front(), "TEST", "A2"), "VÝKAZ JE BEZ CHYB");
}

// tarvo-cli fills the form, tells the lines left out and the failed checks,
// writes the breakdown, and explains a cell from the statement it wrote.
TEST(CliFormReport, FillsTheFormAndExplainsACell) {
    if (!std::getenv("TARVO_CLI"))
        GTEST_SKIP() << "TARVO_CLI is set by CTest";
    test::TempFolder base;
    const std::string dir = base.Folder() + "data";
    ASSERT_EQ(test::RunCli(dir, "init", base).status, 0);
    {
        test::RecordingMessages messages;
        CDataStore store(messages);
        store.SetDatabasePath(dir + "/Tarvo.mdb");
        ASSERT_TRUE(store.OpenDatabase());
        const RecordId pet =
            test::rows::Cover(store, {"Láhev PET", Q("0,05"), false, 2, 0, 1, 1, 0});
        WriteClassification(store, pet, Class(0, 1, "25"));
        const RecordId loose = test::rows::Cover(store, {"Víčko", Q("1"), false, 2, 0, 1, 1, 0});
        const RecordId move =
            test::rows::Move(store, {"FV-1", 0, OleDate::FromParts(2025, 11, 3), false});
        test::rows::MoveCover(store, {move, NoRecord, pet, Q("1000"), Sales, Bought, Paid});
        test::rows::MoveCover(store, {move, NoRecord, loose, Q("1"), Sales, Bought, Paid});
    }
    const std::string form = base.File("formular.xlsx");
    SyntheticForm(2025, 4).Write(form);
    const std::string report = "report --year 2025 --quarter 4 --breakdown --form " + form;

    test::CliRun run = test::RunCli(dir, report, base);
    EXPECT_EQ(run.status, 1);
    // The quarter's check first, then the lines the form leaves out.
    EXPECT_NE(run.err.find("\n1 řádek obalů (1 kg) nepůjde do výkazu: obal nemá úplné zařazení pro "
                           "výkaz od roku 2021 (1)\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("List Úvod, buňka F14: EKOKOM-ID chybí"), std::string::npos) << run.err;

    run = test::RunCli(dir, report + " --allow-check-failures", base);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string statement = dir + "/Vykazy/vykaz_2025_4_radny.xlsx";
    EXPECT_EQ(run.out, statement + "\n" + BreakdownPath(statement) + "\n");
    EXPECT_EQ(test::CellText(BreakdownPath(statement), "Nezahrnuto", "E2"),
              "obal nemá úplné zařazení pro výkaz od roku 2021");

    run = test::RunCli(dir, "explain --year 2025 --quarter 4 --sheet J1-1A --cell I10", base);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "FV-1\t03.11.2025\tLáhev PET\t37.5\ncelkem\t37.5\t0.0375\n");
    EXPECT_EQ(test::RunCli(dir, "report --year 2025 --quarter 4", base).status, 2);
}

} // namespace
} // namespace tarvo
