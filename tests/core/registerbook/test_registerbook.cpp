// Registers to a workbook and back: the round trip, the faults of a file
// person wrote, the modes for records found again and what an import carries
// into dispatches.
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/engine/packagingresolution.h"
#include "core/records/classification.h"
#include "core/registerbook/registerexport.h"
#include "core/registerbook/registerimport.h"
#include "core/registers/propagationswitches.h"
#include "core/workbook/workbookwriter.h"
#include "dev/datagenerator.h"
#include "enginedata.h"
#include "libreoffice.h"
#include "workbookfiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

// The registers as text rows, everything that must survive the way there
// and back: identifiers, references and every column. An empty text and a
// null are the same to a person: the generator leaves notes null, a window
// and the import write them empty.
std::vector<std::string> Registers(CDataStore& store, bool lineIds = true) {
    const char* queries[] = {
        "SELECT 'C', cover_id, cover_name, cover_weight, cover_mat, cover_type, cover_org, "
        "cover_pay, cover_stat, cover_reusable, IFNULL(cover_note, ''), deleted FROM Cover "
        "ORDER BY cover_id",
        "SELECT 'K', k.ccover_id, k.ccover_name, IFNULL(k.ccover_note, ''), i.cover_id, "
        "i.cp_qtycover, "
        "i.cp_qtyprod, i.cp_usealways, i.cp_usefrom, i.cp_useto, i.cover_type, i.cover_org, "
        "i.cover_pay FROM CompCover k LEFT JOIN CompCover_Item i ON i.ccover_id = k.ccover_id "
        "ORDER BY k.ccover_id, i.rowid",
        "SELECT 'P', prod_id, prod_source, prod_scrid, prod_name, IFNULL(prod_katalog, ''), "
        "IFNULL(prod_unit, ''), "
        "deleted FROM Product ORDER BY prod_id",
        "SELECT 'D', d.dt_id, d.prod_id, d.dt_from, CASE WHEN ? THEN l.cp_id END, l.cover_id, "
        "l.cp_qtycover, "
        "l.cp_qtyprod, l.cp_usealways, l.cp_usefrom, l.cp_useto, l.cover_type, l.cover_org, "
        "l.cover_pay FROM Prod_CoverDT d LEFT JOIN Prod_Cover l ON l.dt_id = d.dt_id "
        "ORDER BY d.dt_id, l.cp_id",
        "SELECT 'L', cover_id, cls_beverage, cls_mat, cls_shape, cls_recycled, cls_litter, "
        "cls_plastic FROM Cover_Class ORDER BY cover_id",
        "SELECT 'S', cover_id, part_comp, part_share FROM Cover_Part ORDER BY cover_id, rowid"};
    std::vector<std::string> rows;
    for (const char* sql : queries) {
        Statement st(store, sql);
        if (sql[8] == 'D')
            st.BindInt(1, lineIds ? 1 : 0);
        while (st.Step()) {
            std::string row;
            for (int i = 0; i < st.ColumnCount(); ++i)
                row += (st.IsNull(i) ? "∅" : st.Text(i)) + "|";
            rows.push_back(row);
        }
    }
    return rows;
}

// How many rows the query gives.
long Matching(TestDatabase& t, const std::string& sql) {
    return t.Count("(" + sql + ")");
}

struct SheetData {
    std::string name;
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> rows;
};

// A workbook as a person fills it in: every cell text.
void WriteBook(const std::string& path, const std::vector<SheetData>& sheets) {
    WorkbookWriter writer(path);
    for (const SheetData& sheet : sheets) {
        std::vector<WorkbookWriter::Column> columns;
        for (const std::string& title : sheet.titles)
            columns.push_back({title, 12});
        writer.AddSheet(sheet.name, columns);
        for (const auto& row : sheet.rows) {
            std::vector<WorkbookWriter::Cell> cells;
            for (const std::string& text : row)
                cells.push_back(text.empty() ? WorkbookWriter::Cell()
                                             : WorkbookWriter::Cell(std::string_view(text)));
            writer.AddRow(cells);
        }
    }
    writer.Save();
}

const std::vector<std::string> CoverTitles = {
    "Název",        "Hmotnost [kg]", "Materiál",          "Typ",
    "Původ",        "Platba",        "Statistické údaje", "Opakovaně používaný",
    "Poznámka",     "Nápojový",      "Materiál 2021",     "Tvar",
    "Recyklát [%]", "Littering",     "Podíl plastu [%]"};
const std::vector<std::string> ProductTitles = {"Zdroj", "ID ve zdroji", "Název", "Katalog",
                                                "Jednotka"};
const std::vector<std::string> PackagingTitles = {
    "Zdroj",          "ID ve zdroji",   "Katalog",     "Produkt",   "Platí od",  "Obal",
    "Množství obalu", "Počet produktů", "Použít vždy", "Použít od", "Použít do", "Typ",
    "Původ",          "Platba"};
const std::vector<std::string> CompTitles = {
    "Složený obal", "Poznámka",  "Obal", "Množství obalu", "Počet produktů", "Použít vždy",
    "Použít od",    "Použít do", "Typ",  "Původ",          "Platba"};

// A small valid workbook: three covers classified (one a beverage carton
// with its composition), a composite, a product with a definition of two
// lines.
std::vector<SheetData> ValidBook() {
    return {
        {"Obaly",
         CoverTitles,
         {{"Karton 40x30", "0,25", "vlnitá lepenka", "přepravní", "vyrobený v ČR", "zpoplatněný",
           "obal není paleta", "ne", "hnědý", "ne", "vlnitá lepenka", "", "40", "není", ""},
          {"Fólie", "0.0125", "PE - MĚKKÉ", "Skupinový", "nakoupený v ČR", "zpoplatněný",
           "obal není paleta", "", "", "", "pe TRANSPARENTNÍ", "měkký, flexibilní", "",
           "sáček, balení na potraviny", ""},
          {"Kelímek", "0,01", "nápojové kartony", "prodejní", "vyrobený v ČR", "zpoplatněný",
           "obal není paleta", "ne", "", "ano", "nápojový karton", "pevný, pevný dutý do 3 l", "",
           "nápojový kelímek částečně z plastu", "20"}}},
        {"Složené obaly",
         CompTitles,
         {{"Sada A", "paleta", "Karton 40x30", "2", "1", "ano", "", "", "", "", ""},
          {"Sada A", "", "fólie", "1", "10", "ne", "0", "99,5", "prodejní", "dovezený do ČR",
           "neplacený"}}},
        {"Produkty", ProductTitles, {{"Money S3", "1001", "Sušenky", "S-1", "ks"}}},
        {"Balení",
         PackagingTitles,
         {{"Money S3", "1001", "", "", "1.2.2024", "Karton 40x30", "1", "12", "ano", "", "", "", "",
           ""},
          {"", "", "S-1", "", "1.2.2024", "Fólie", "1", "1", "", "", "", "skupinový",
           "nakoupený v ČR", "zpoplatněný"}}},
        {"Složení obalů",
         {"Obal", "Složka", "Podíl [%]"},
         {{"Kelímek", "papír a vlnitá lepenka", "80"}, {"kelímek", "PE", "20"}}}};
}

struct Transfer : EngineData {
    PropagationSwitches switches;
    RecordingProgress progress;
    RecordingNotifier notifier;
    std::string book = folder.File("evidence.xlsx");

    RegisterImportResult Import(ExistingMode mode = ExistingMode::Skip, bool dryRun = false) {
        return ImportRegisters(store, book, {mode, dryRun}, switches, progress, notifier);
    }
    std::vector<std::string> Faults(const RegisterImportResult& result) {
        std::vector<std::string> texts;
        for (const RegisterFault& fault : result.faults)
            texts.push_back(fault.Message());
        return texts;
    }
};

GeneratorOptions Generated() {
    GeneratorOptions options;
    options.seed = 7;
    options.covers = 60; // deleted covers among them, still used by packaging
    options.composites = 8;
    options.products = 150;
    options.dispatches = 0;
    return options;
}

TEST(RegisterBook, ExportThenImportIntoEmptyDatabaseGivesTheSameRegisters) {
    Transfer source;
    NullProgress quiet;
    GenerateData(source.store, Generated(), quiet);
    // Every field of the classification set, a composition, and a cover
    // classified with nothing chosen, which is not the same as none.
    const CompositionPart paper{9, Q("70,5")}, pe{1, Q("25")}, al{6, Q("4,5")};
    const CoverClassification classes[] = {
        {true, 1, 2, Q("12,5"), 4, Q("30"), {}},
        {true, 25, 1, Q("0"), 6, Q("0"), {paper, pe, al}},
        {},
    };
    source.Run("UPDATE Cover SET cover_reusable = 0 WHERE cover_id <= 3");
    for (int64_t i = 0; i < 3; ++i)
        WriteClassification(source.store, i + 1, classes[i]);
    // A deleted cover of the name of one in use, each a composite: their
    // compositions are told apart by the order of the rows.
    Statement name(source.store, "SELECT cover_name FROM Cover WHERE cover_id = 2");
    ASSERT_TRUE(name.Step());
    const RecordId twin =
        rows::Cover(source.store, {name.Text(0), Q("1"), false, 0, 1, 0, 0, 0}, true);
    WriteClassification(source.store, twin, {false, 26, 1, Q("0"), 0, {}, {pe, paper, al}});
    const RegisterExportCounts exported = ExportRegisters(source.store, source.book);
    EXPECT_EQ(exported.covers, 61);
    EXPECT_EQ(exported.products, 150);
    EXPECT_EQ(exported.linesLeftOut, 0);

    Transfer target;
    target.book = source.book;
    const RegisterImportResult dry = target.Import(ExistingMode::Skip, true);
    ASSERT_EQ(dry.status, RegisterImportStatus::Done)
        << ::testing::PrintToString(target.Faults(dry));
    EXPECT_EQ(dry.summary.covers, (ChangeCounts{61, 0, 0}));
    EXPECT_EQ(dry.summary.definitions.added, exported.definitions);
    EXPECT_EQ(target.Count("Cover") + target.Count("Product"), 0) << "a dry run writes nothing";

    const RegisterImportResult real = target.Import();
    ASSERT_EQ(real.status, RegisterImportStatus::Done);
    EXPECT_EQ(real.summary.products, (ChangeCounts{150, 0, 0}));
    EXPECT_EQ(Registers(target.store), Registers(source.store));
    EXPECT_EQ(target.notifier.sent,
              (std::vector{ViewNotification::ReloadMain, ViewNotification::ReloadItems}));

    // The same file again finds every record as it is.
    const RegisterImportResult again = target.Import(ExistingMode::Overwrite);
    ASSERT_EQ(again.status, RegisterImportStatus::Done);
    EXPECT_EQ(again.summary.covers, (ChangeCounts{0, 0, 61}));
    EXPECT_EQ(again.summary.compCovers, (ChangeCounts{0, 0, 8}));
    EXPECT_EQ(again.summary.products, (ChangeCounts{0, 0, 150}));
    EXPECT_EQ(again.summary.definitions, (ChangeCounts{0, 0, exported.definitions}));
    EXPECT_EQ(Registers(target.store), Registers(source.store));
}

TEST(RegisterBook, FileSavedByLibreOfficeImportsTheSame) {
    Transfer source;
    NullProgress quiet;
    GenerateData(source.store, Generated(), quiet);
    ExportRegisters(source.store, source.book);
    const auto saved =
        test::ConvertWithLibreOffice({source.book}, source.folder.File("lo"), "xlsx");
    if (!saved)
        GTEST_SKIP() << "LibreOffice is not installed";

    Transfer target;
    target.book = saved->front();
    const RegisterImportResult result = target.Import();
    ASSERT_EQ(result.status, RegisterImportStatus::Done)
        << ::testing::PrintToString(target.Faults(result));
    EXPECT_EQ(Registers(target.store), Registers(source.store));
}

TEST(RegisterBook, TemplateHasTheHeadersAndImportsAsNothing) {
    Transfer t;
    t.AddCover();
    const RegisterExportCounts counts = ExportRegisters(t.store, t.book, true);
    EXPECT_EQ(counts.covers, 0);
    // The code columns offer the labels of the hidden list sheet.
    EXPECT_EQ(CellText(t.book, "Obaly", "C1"), "Materiál");
    EXPECT_EQ(CellText(t.book, "Obaly", "A2"), "");
    EXPECT_EQ(CellText(t.book, "Seznamy", "A2"), "dřevo");
    EXPECT_EQ(CellText(t.book, "Seznamy", "A31"), "textil");
    const std::string covers = ZipEntry(t.book, SheetPart(t.book, "Obaly"));
    EXPECT_NE(covers.find(R"(sqref="C2:C1048576"><formula1>'Seznamy'!$A$2:$A$31</formula1>)"),
              std::string::npos);
    EXPECT_EQ(CellText(t.book, "Složení obalů", "B1"), "Složka");
    EXPECT_EQ(CellText(t.book, "Seznamy", "H40"), "jiný materiál");
    EXPECT_NE(covers.find(R"(sqref="M2:M1048576"><formula1>'Seznamy'!$I$2:$I$4</formula1>)"),
              std::string::npos);
    EXPECT_NE(
        ZipEntry(t.book, "xl/workbook.xml").find(R"(name="Seznamy" sheetId="6" state="hidden")"),
        std::string::npos);
    Transfer empty;
    empty.book = t.book;
    const RegisterImportResult result = empty.Import();
    ASSERT_EQ(result.status, RegisterImportStatus::Done);
    EXPECT_EQ(result.summary.covers, (ChangeCounts{}));
    EXPECT_EQ(empty.Count("Cover"), 0);
}

TEST(RegisterBook, ValuesAsPeopleWriteThem) {
    Transfer t;
    std::vector<SheetData> sheets = ValidBook();
    // Spaced around the dash as labels once were ("kovy nad 5l- hliník AL").
    sheets[0].rows[1][2] = "PE- MĚKKÉ";
    WriteBook(t.book, sheets);
    const RegisterImportResult result = t.Import();
    ASSERT_EQ(result.status, RegisterImportStatus::Done)
        << ::testing::PrintToString(t.Faults(result));
    EXPECT_EQ(Matching(t, "SELECT cover_weight FROM Cover WHERE cover_name = 'Karton 40x30' AND "
                          "cover_weight = 0.25 AND cover_mat = 27"),
              1);
    // Labels whatever their letter case and blanks at a dash; the cover's own
    // codes where a line
    // leaves them empty.
    EXPECT_EQ(
        Matching(t, "SELECT 1 FROM Cover WHERE cover_name = 'Fólie' AND cover_weight = 0.0125 AND "
                    "cover_mat = 8 AND cover_type = 1"),
        1);
    EXPECT_EQ(Matching(t, "SELECT 1 FROM Cover_Class JOIN Cover USING (cover_id) WHERE "
                          "cover_name = 'Fólie' AND cls_mat = 3 AND cls_shape = 0 AND "
                          "cls_recycled = 0 AND cls_litter = 2 AND cls_plastic IS NULL"),
              1);
    EXPECT_EQ(Matching(t, "SELECT 1 FROM Cover_Part JOIN Cover USING (cover_id) WHERE "
                          "cover_name = 'Kelímek'"),
              2);
    EXPECT_EQ(Matching(t, "SELECT 1 FROM CompCover_Item WHERE cp_qtycover = 2 AND "
                          "cover_type = 0 AND cover_org = 2 AND cover_pay = 1"),
              1);
    EXPECT_EQ(Matching(t, "SELECT 1 FROM CompCover_Item WHERE cp_usealways = 0 AND cp_useto = 99.5 "
                          "AND cover_type = 2 AND cover_org = 0 AND cover_pay = 0"),
              1);
    // One product named two ways (by source identifier and by catalogue
    // number), one definition of 1 February 2024 with both lines.
    EXPECT_EQ(Matching(t, "SELECT 1 FROM Product WHERE prod_source = 1 AND prod_scrid = 1001"), 1);
    EXPECT_EQ(t.Count("Prod_CoverDT"), 1);
    EXPECT_EQ(Matching(t, Format("SELECT 1 FROM Prod_CoverDT WHERE dt_from = %.0f",
                                 OleDate::FromParts(2024, 2, 1).Value())),
              1);
    EXPECT_EQ(Matching(t,
                       "SELECT 1 FROM Prod_Cover l JOIN Cover c ON c.cover_id = l.cover_id WHERE "
                       "c.cover_name = 'Fólie' AND l.cover_type = 1"),
              1);
}

struct FaultCase {
    const char* name;
    size_t sheet;
    size_t row; // index into the sheet's rows; SIZE_MAX: change the titles
    size_t column;
    const char* value;
    const char* message;
};

class RegisterBookFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(RegisterBookFaults, EachFaultHasItsPlaceAndNothingIsWritten) {
    const FaultCase& c = GetParam();
    Transfer t;
    const int64_t existing = t.AddCover();
    std::vector<SheetData> sheets = ValidBook();
    if (c.row == SIZE_MAX)
        sheets[c.sheet].titles[c.column] = c.value;
    else
        sheets[c.sheet].rows[c.row][c.column] = c.value;
    WriteBook(t.book, sheets);
    const std::vector<std::string> before = Registers(t.store);

    const RegisterImportResult result = t.Import(ExistingMode::Overwrite);
    EXPECT_EQ(result.status, RegisterImportStatus::Faults);
    // The first fault is the one made; others may follow from it (a cover
    // that is not read is missing where lines name it).
    ASSERT_FALSE(result.faults.empty());
    EXPECT_EQ(t.Faults(result).front(), c.message);
    EXPECT_EQ(Registers(t.store), before);
    EXPECT_EQ(Matching(t, Format("SELECT 1 FROM Cover WHERE cover_id = %ld",
                                 static_cast<long>(existing))),
              1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterBookFaults,
    ::testing::Values(
        FaultCase{"MissingCover", 3, 0, 5, "Karton 50x30",
                  "List Balení, řádek 2, sloupec Obal: obal „Karton 50x30“ neexistuje"},
        FaultCase{"NotANumber", 0, 0, 1, "čtvrt kila",
                  "List Obaly, řádek 2, sloupec Hmotnost [kg]: „čtvrt kila“ není číslo"},
        FaultCase{"TooManyDecimals", 0, 0, 1, "0,123456",
                  "List Obaly, řádek 2, sloupec Hmotnost [kg]: „0,123456“ není číslo"},
        FaultCase{"ZeroWeight", 0, 0, 1, "0",
                  "List Obaly, řádek 2, sloupec Hmotnost [kg]: hmotnost musí být větší než 0"},
        FaultCase{"UnknownLabel", 0, 1, 2, "igelit",
                  "List Obaly, řádek 3, sloupec Materiál: materiál „igelit“ není v seznamu"},
        FaultCase{"MissingCode", 0, 0, 5, "", "List Obaly, řádek 2, sloupec Platba: chybí platba"},
        FaultCase{"MissingColumn", 0, SIZE_MAX, 6, "Statistika",
                  "List Obaly, řádek 1: chybí sloupec „Statistické údaje“"},
        FaultCase{"DuplicateCover", 0, 1, 0, "KARTON 40x30",
                  "List Obaly, řádek 3, sloupec Název: obal „KARTON 40x30“ je v listu už na "
                  "řádku 2"},
        FaultCase{"NoDate", 3, 0, 4, "31.2.2024",
                  "List Balení, řádek 2, sloupec Platí od: „31.2.2024“ není datum"},
        FaultCase{"YesNo", 1, 0, 5, "možná",
                  "List Složené obaly, řádek 2, sloupec Použít vždy: očekává se „ano“ nebo "
                  "„ne“, ne „možná“"},
        FaultCase{"ZeroQuantity", 1, 1, 3, "0",
                  "List Složené obaly, řádek 3, sloupec Množství obalu: množství obalu musí být "
                  "větší než 0"},
        FaultCase{"UnknownProduct", 3, 1, 2, "S-2",
                  "List Balení, řádek 3, sloupec Katalog: produkt s katalogovým číslem „S-2“ "
                  "neexistuje"},
        FaultCase{"UnknownSourceId", 3, 0, 1, "1002",
                  "List Balení, řádek 2, sloupec ID ve zdroji: produkt 1002 ze zdroje Money S3 "
                  "neexistuje"},
        FaultCase{"IdWithoutSource", 2, 0, 0, "",
                  "List Produkty, řádek 2, sloupec Zdroj: chybí zdroj"},
        FaultCase{"LineWithoutCover", 3, 1, 5, "",
                  "List Balení, řádek 3, sloupec Obal: chybí obal"},
        FaultCase{"UnknownMaterial2021", 0, 0, 10, "lepenka",
                  "List Obaly, řádek 2, sloupec Materiál 2021: materiál 2021 „lepenka“ není v "
                  "seznamu"},
        FaultCase{"ShapeOfUnshapedMaterial", 0, 0, 11, "pevný dutý nad 3 l",
                  "List Obaly, řádek 2, sloupec Tvar: Materiál 'vlnitá lepenka' se podle tvaru "
                  "nedělí: tvar nevyplňujte."},
        FaultCase{"FlexibleCarton", 0, 2, 11, "měkký, flexibilní",
                  "List Obaly, řádek 4, sloupec Tvar: Nápojový karton nemůže být měkký, "
                  "flexibilní."},
        FaultCase{"RecycledOver100", 0, 0, 12, "100,5",
                  "List Obaly, řádek 2, sloupec Recyklát [%]: Recyklát musí být od 0 do 100 %."},
        FaultCase{"CompositeWithoutComposition", 0, 1, 10, "plasty kompozitní barevné",
                  "List Obaly, řádek 3, sloupec Materiál 2021: Materiál 'plasty kompozitní "
                  "barevné' je kompozitní: vyplňte jeho složení."},
        FaultCase{"CompositionOfSimpleMaterial", 0, 2, 10, "PE barevné",
                  "List Složení obalů, řádek 2: Složení se vyplňuje jen u kompozitních "
                  "materiálů."},
        FaultCase{"SharesNot100", 4, 1, 2, "19,5",
                  "List Složení obalů, řádek 2: Podíly složek dávají dohromady 99,5 %, musí dát "
                  "právě 100 %."},
        FaultCase{"ComponentTwice", 4, 1, 1, "Papír a vlnitá lepenka",
                  "List Složení obalů, řádek 2: Složka 'papír a vlnitá lepenka' je ve složení "
                  "víckrát."},
        FaultCase{"CompositionOfUnknownCover", 4, 0, 0, "Hrnek",
                  "List Složení obalů, řádek 2, sloupec Obal: obal „Hrnek“ není v listu Obaly"},
        FaultCase{"PlasticOver100", 0, 2, 14, "101",
                  "List Obaly, řádek 4, sloupec Podíl plastu [%]: Podíl plastu musí být od 0 do "
                  "100 %."},
        FaultCase{"PlasticWithoutPartlyPlastic", 0, 1, 14, "20",
                  "List Obaly, řádek 3, sloupec Podíl plastu [%]: Podíl plastu se vyplňuje jen "
                  "u kategorií littering „částečně z plastu“."},
        FaultCase{"LitteringOnReusable", 0, 1, 7, "ano",
                  "List Obaly, řádek 3, sloupec Littering: Kategorie littering patří jen k "
                  "obalům na jedno použití."}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// The covers of ValidBook imported, "Karton 40x30" then classified otherwise
// by hand; the file again, as a workbook made before the classification
// (without its columns and sheet) or with its cells changed.
struct ClassCase {
    const char* name;
    bool oldBook;
    std::array<const char*, 6> cells; // of Karton 40x30's classification in the file
    ChangeCounts covers;
    const char* stored; // the classification rows of Karton 40x30 afterwards
};

class RegisterBookClassification : public ::testing::TestWithParam<ClassCase> {};

TEST_P(RegisterBookClassification, TheFileStatesTheClassificationOnlyWithItsColumns) {
    const ClassCase& c = GetParam();
    Transfer t;
    WriteBook(t.book, ValidBook());
    ASSERT_EQ(t.Import().status, RegisterImportStatus::Done);
    t.Run("UPDATE Cover_Class SET cls_recycled = 55 WHERE cover_id = 1");
    std::vector<SheetData> sheets = ValidBook();
    if (!c.oldBook)
        std::copy(c.cells.begin(), c.cells.end(), sheets[0].rows[0].begin() + 9);
    if (c.oldBook) {
        sheets.pop_back();
        for (auto& row : sheets[0].rows)
            row.resize(9);
        sheets[0].titles.resize(9);
    }
    WriteBook(t.book, sheets);
    const RegisterImportResult dry = t.Import(ExistingMode::Overwrite, true);
    ASSERT_EQ(dry.status, RegisterImportStatus::Done) << ::testing::PrintToString(t.Faults(dry));
    EXPECT_EQ(dry.summary.covers, c.covers);
    EXPECT_EQ(t.Import(ExistingMode::Overwrite).summary.covers, c.covers);
    std::string stored;
    for (const std::string& row : Registers(t.store)) {
        if (row.starts_with("L|1|") || row.starts_with("S|1|"))
            stored += row;
    }
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(t.Count("Cover_Part"), 2) << "Kelímek keeps its composition";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterBookClassification,
    ::testing::Values(
        ClassCase{"OldBookKeeps", true, {}, {0, 0, 3}, "L|1|0|32|-1|550000|0|∅|"},
        ClassCase{"SameKeeps",
                  false,
                  {"NE", "vlnitá lepenka", "", "55", "není", ""},
                  {0, 0, 3},
                  "L|1|0|32|-1|550000|0|∅|"},
        ClassCase{"ChangedIsAChange",
                  false,
                  {"ano", "VLNITÁ LEPENKA", "", "40", "sáček, balení na potraviny", ""},
                  {0, 1, 2},
                  "L|1|1|32|-1|400000|2|∅|"},
        ClassCase{"EmptyCellsUnclassify", false, {"", "", "", "", "", ""}, {0, 1, 2}, ""}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(RegisterBook, FileWithoutRegisterSheetsOrNoWorkbookAtAll) {
    Transfer t;
    WriteBook(t.book, {{"List1", {"A"}, {{"x"}}}});
    RegisterImportResult result = t.Import();
    EXPECT_EQ(result.status, RegisterImportStatus::Faults);
    EXPECT_EQ(t.Faults(result), std::vector<std::string>{"Sešit neobsahuje žádný z listů Obaly, "
                                                         "Složené obaly, Produkty a Balení."});

    WriteFile(t.book, "not a workbook");
    result = t.Import();
    EXPECT_EQ(result.status, RegisterImportStatus::Failed);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Error);
}

// A cover and a product that the database has, written differently in the file.
struct ModeCase {
    const char* name;
    ExistingMode mode;
    std::vector<OverwriteAnswer> answers;
    ChangeCounts covers;
    ChangeCounts products;
    double weight;    // of the cover after the import
    const char* unit; // of the product after the import
    size_t questions;
};

class RegisterBookModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RegisterBookModes, RecordsFoundAgainFollowTheMode) {
    const ModeCase& c = GetParam();
    Transfer t;
    rows::Cover(t.store, {"Karton 40x30", Q("0,5"), false, 0, 27, 2, 1, 0});
    rows::Product(t.store, {"Sušenky", "S-1", "bal", 1, 1001});
    const std::vector<SheetData> valid = ValidBook();
    WriteBook(t.book, {valid[0], valid[2], valid[4]}); // no composite, no packaging
    t.messages.overwriteAnswers.assign(c.answers.begin(), c.answers.end());

    const RegisterImportResult dry = t.Import(c.mode, true);
    ASSERT_EQ(dry.status, RegisterImportStatus::Done);
    EXPECT_TRUE(t.messages.shown.empty()) << "a dry run asks nothing";
    const RegisterImportResult result = t.Import(c.mode);
    ASSERT_EQ(result.status, RegisterImportStatus::Done);
    EXPECT_EQ(result.summary.covers, c.covers);
    EXPECT_EQ(result.summary.products, c.products);
    EXPECT_EQ(RegisterImportSummaryText(result.summary, false, c.mode)
                      .find("Obaly: přidáno 2, změněno 0, ponecháno 1 (z toho přeskočeno jako již "
                            "existující 1)\n") != std::string::npos,
              c.covers.skipped == 1);
    EXPECT_EQ(t.messages.shown.size(), c.questions);
    EXPECT_EQ(Matching(t, Format("SELECT 1 FROM Cover WHERE cover_name = 'Karton 40x30' AND "
                                 "cover_weight = %.2f",
                                 c.weight)),
              1);
    EXPECT_EQ(Matching(t, Format("SELECT 1 FROM Product WHERE prod_unit = '%s'", c.unit)), 1);
    EXPECT_EQ(t.Count("Product"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterBookModes,
    ::testing::Values(
        ModeCase{"Overwrite", ExistingMode::Overwrite, {}, {2, 1, 0}, {0, 1, 0}, 0.25, "ks", 0},
        ModeCase{"Skip", ExistingMode::Skip, {}, {2, 0, 1, 1}, {0, 0, 1, 1}, 0.5, "bal", 0},
        ModeCase{"AskNoThenYes",
                 ExistingMode::Ask,
                 {OverwriteAnswer::No, OverwriteAnswer::Yes},
                 {2, 0, 1, 1},
                 {0, 1, 0},
                 0.5,
                 "ks",
                 2}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A card named by its abbreviation keeps the text as its identifier and is
// found again by it; an "always" line stored without a band, as a window
// stores it, is the same line as the file's with the export's empty band.
TEST(RegisterBook, CardIdentifiersAndBandlessLinesAreFoundAgain) {
    Transfer t;
    std::vector<SheetData> sheets = ValidBook();
    sheets[2].rows[0][1] = "ABC-7";
    sheets[3].rows[0][1] = "ABC-7";
    WriteBook(t.book, sheets);
    ASSERT_EQ(t.Import().status, RegisterImportStatus::Done);
    EXPECT_EQ(Matching(t, "SELECT 1 FROM Product WHERE prod_scrid = 'ABC-7' AND "
                          "typeof(prod_scrid) = 'text'"),
              1);
    t.Run("UPDATE Prod_Cover SET cp_usefrom = NULL, cp_useto = NULL WHERE cp_usealways = 1");

    const RegisterImportResult again = t.Import(ExistingMode::Overwrite);
    ASSERT_EQ(again.status, RegisterImportStatus::Done);
    EXPECT_EQ(again.summary.products, (ChangeCounts{0, 0, 1}));
    EXPECT_EQ(again.summary.definitions, (ChangeCounts{0, 0, 1}));
}

// A product with a dispatch; the file gives its packaging another quantity.
struct Dispatched : Transfer {
    int64_t cover = AddCover();
    int64_t product = rows::Product(store, {"výrobek"});
    int64_t mvprod = 0;

    Dispatched() {
        Run("UPDATE Cover SET cover_name = 'Karton'");
        Run("UPDATE Product SET prod_katalog = 'S-1'");
        const int64_t dt = rows::Definition(store, product, OleDate::FromParts(2024, 1, 1));
        AddLine(dt, {cover, "1", "1"});
        mvprod = rows::MoveLine(store, AddMove(OleDate::FromParts(2024, 3, 1)), product, Q("10"));
        NullProgress quiet;
        RederiveProdMoves(store, product, quiet);
        WriteBook(book, {{"Balení",
                          PackagingTitles,
                          {{"", "", "S-1", "", "1.1.2024", "karton", "3", "1", "ano", "", "",
                            "průmyslový", "vyrobený v ČR", "předplacený"}}}});
    }
};

TEST(RegisterBook, ChangedPackagingIsCarriedIntoDispatchesWhenTheSwitchIsOn) {
    for (const bool on : {true, false}) {
        Dispatched t;
        t.switches.packagingToDispatches = on;
        const RegisterImportResult result = t.Import(ExistingMode::Overwrite);
        ASSERT_EQ(result.status, RegisterImportStatus::Done);
        EXPECT_EQ(result.summary.definitions, (ChangeCounts{0, 1, 0}));
        EXPECT_EQ(result.summary.rederived, on ? 1 : 0);
        const std::vector<CoverRow> covers = t.Covers(t.mvprod);
        ASSERT_EQ(covers.size(), 1u);
        EXPECT_EQ(covers[0],
                  (on ? CoverRow{t.cover, "30", 3, 2, 2} : CoverRow{t.cover, "10", 0, 0, 0}))
            << "switch " << on;
    }
}

TEST(RegisterBook, ChangedCoverCodesAreCarriedAsTheSwitchesSay) {
    for (const bool on : {true, false}) {
        Dispatched t;
        t.switches.coverToPackaging = on;
        t.switches.coverToDispatches = on;
        std::vector<SheetData> sheets = ValidBook();
        sheets[0].rows = {{"Karton", "1", "papír", "skupinový", "dovezený do ČR", "neplacený",
                           "obal není paleta", "ne", ""}};
        WriteBook(t.book, {sheets[0]});
        const RegisterImportResult result = t.Import(ExistingMode::Overwrite);
        ASSERT_EQ(result.status, RegisterImportStatus::Done);
        EXPECT_EQ(result.summary.covers, (ChangeCounts{0, 1, 0}));
        EXPECT_EQ(Matching(t, "SELECT 1 FROM Prod_Cover WHERE cover_type = 1 AND cover_org = 0"),
                  on ? 1 : 0);
        EXPECT_EQ(t.Covers(t.mvprod)[0].type, on ? 1 : 0);
    }
}

// The lines of a file state their own codes: when the file also changes
// their cover's codes, the carried codes do not stay in lines the file names.
TEST(RegisterBook, OverwriteLeavesTheRegistersAsTheFileHasThem) {
    Transfer t;
    NullProgress quiet;
    GenerateData(t.store, Generated(), quiet);
    ExportRegisters(t.store, t.book);
    const std::vector<std::string> exported = Registers(t.store, false);
    t.Run("UPDATE Cover SET cover_type = (cover_type + 1) % 4, cover_org = (cover_org + 1) % 3 "
          "WHERE cover_id <= 5");

    const RegisterImportResult dry = t.Import(ExistingMode::Overwrite, true);
    ASSERT_EQ(dry.status, RegisterImportStatus::Done);
    EXPECT_EQ(dry.summary.covers.changed, 5);
    const RegisterImportResult real = t.Import(ExistingMode::Overwrite);
    ASSERT_EQ(real.status, RegisterImportStatus::Done);
    EXPECT_EQ(real.summary.definitions, dry.summary.definitions);
    EXPECT_EQ(real.summary.compCovers, dry.summary.compCovers);
    EXPECT_EQ(Registers(t.store, false), exported);
    const RegisterImportResult again = t.Import(ExistingMode::Overwrite, true);
    EXPECT_EQ(again.summary.covers.changed + again.summary.compCovers.changed +
                  again.summary.definitions.changed,
              0);
}

TEST(RegisterBook, CancelLeavesEverythingAsItWas) {
    Transfer source;
    NullProgress quiet;
    GenerateData(source.store, Generated(), quiet);
    ExportRegisters(source.store, source.book);
    Transfer target;
    target.book = source.book;
    target.progress.cancelOnCheck = {1};
    const RegisterImportResult result = target.Import();
    EXPECT_EQ(result.status, RegisterImportStatus::Cancelled);
    EXPECT_EQ(target.Count("Cover") + target.Count("Product") + target.Count("Prod_Cover"), 0);
}

// A small file is through long before a thousand rows: a cancel at any of
// its checks, the last one included, still writes nothing.
TEST(RegisterBook, CancelOfASmallFileIsHonouredAtEveryCheck) {
    Transfer probe;
    WriteBook(probe.book, ValidBook());
    ASSERT_EQ(probe.Import().status, RegisterImportStatus::Done);
    ASSERT_GT(probe.progress.checks, 4);
    for (int check = 1; check <= probe.progress.checks; ++check) {
        Transfer t;
        WriteBook(t.book, ValidBook());
        t.progress.cancelOnCheck = {check};
        EXPECT_EQ(t.Import().status, RegisterImportStatus::Cancelled) << check;
        EXPECT_EQ(t.Count("Cover") + t.Count("Product") + t.Count("Prod_Cover"), 0) << check;
    }
}

} // namespace
} // namespace tarvo::test
