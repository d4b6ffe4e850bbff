#include "core/report/workbook.h"
#include "core/report/workbookwriter.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

using Cell = CWorkbookWriter::Cell;

// What is written comes back as the workbook layer reads it.
TEST(WorkbookWriter, CellsReadBackAsWritten) {
    test::TempFolder dir;
    const std::string path = dir.File("list.xlsx");
    const OleDate day = OleDate::FromParts(2026, 3, 31);
    const std::string text = "a <b> & \"c\" 'd' – Žluťoučký";
    {
        CWorkbookWriter book(path);
        book.AddSheet("1-1", {{"Buňka", 10}, {"Text", 20}, {"Číslo", 8}, {"Kg", 12}, {"Den", 11}});
        struct Row {
            Cell a, b, c, d, e;
        };
        const Row rows[] = {
            {std::string_view("G25"), std::string_view(text), int64_t{-12},
             Quantity::FromScaled(-1), day},
            {std::string_view("G25"), std::string_view(text), Cell{},
             CWorkbookWriter::Fixed{Quantity::FromScaled(12345678)}, Cell{}},
        };
        for (const Row& r : rows)
            book.AddRow(std::array<Cell, 5>{r.a, r.b, r.c, r.d, r.e});
        book.AddSheet("O'Brien", {{"Jen", 5}});
        book.Save();
    }
    struct Case {
        const char* sheet;
        const char* address;
        std::string text;
    };
    const Case cases[] = {
        {"1-1", "A1", "Buňka"}, {"1-1", "E1", "Den"},     {"1-1", "A2", "G25"},
        {"1-1", "B2", text},    {"1-1", "C2", "-12"},     {"1-1", "D2", "-0.0001"},
        {"1-1", "B3", text},    {"1-1", "C3", ""},        {"1-1", "D3", "1234.5678"},
        {"1-1", "A4", ""},      {"O'Brien", "A1", "Jen"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(test::CellText(path, c.sheet, c.address), c.text) << c.sheet << " " << c.address;
    EXPECT_EQ(test::CellText(path, "1-1", "E2").substr(0, 5), "46112");
    // No scratch file is left beside the workbook.
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

// Read and print: frozen header, filter over the rows, widths, A4 landscape,
// the header repeated on every page.
TEST(WorkbookWriter, SheetsAreSetUpForReadingAndPrinting) {
    test::TempFolder dir;
    const std::string path = dir.File("list.xlsx");
    {
        CWorkbookWriter book(path);
        book.AddSheet("Souhrn", {{"A", 10}, {"B", 25.5}});
        book.AddRow(std::array<Cell, 2>{std::string_view("x"), int64_t{1}});
        book.AddRow(std::array<Cell, 2>{std::string_view("y"), int64_t{2}});
        book.Save();
    }
    const std::string sheet = test::ZipEntry(path, test::SheetPart(path, "Souhrn"));
    const char* expected[] = {
        R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>)",
        R"(<col min="2" max="2" width="25.5" customWidth="1"/>)",
        R"(<autoFilter ref="A1:B3"/>)",
        R"(<pageSetup paperSize="9" orientation="landscape" fitToWidth="1" fitToHeight="0"/>)",
        R"(<pageSetUpPr fitToPage="1"/>)",
    };
    for (const char* part : expected)
        EXPECT_NE(sheet.find(part), std::string::npos) << part;
    // Every cell's reference names its own row: a spreadsheet program places
    // the cell by it, whatever row element holds it.
    for (size_t row = sheet.find("<row r=\""); row != std::string::npos;
         row = sheet.find("<row r=\"", row + 1)) {
        const std::string number = sheet.substr(row + 8, sheet.find('"', row + 8) - row - 8);
        const size_t end = sheet.find("</row>", row);
        for (size_t cell = sheet.find("<c r=\"", row); cell < end;
             cell = sheet.find("<c r=\"", cell + 1)) {
            const size_t quote = sheet.find('"', cell + 6);
            const std::string ref = sheet.substr(cell + 6, quote - cell - 6);
            EXPECT_EQ(ref.substr(ref.find_first_of("0123456789")), number) << ref;
        }
    }
    const std::string book = test::ZipEntry(path, "xl/workbook.xml");
    EXPECT_NE(book.find(R"(<definedName name="_xlnm._FilterDatabase" localSheetId="0" )"
                        R"(hidden="1">'Souhrn'!$A$1:$B$3</definedName>)"),
              std::string::npos);
    EXPECT_NE(book.find(R"(<definedName name="_xlnm.Print_Titles" localSheetId="0">)"
                        R"('Souhrn'!$1:$1</definedName>)"),
              std::string::npos);
}

TEST(WorkbookWriter, AnUnwritableFileFailsAndLeavesNothing) {
    test::TempFolder dir;
    const std::string path = dir.File("missing/list.xlsx");
    CWorkbookWriter book(path);
    EXPECT_THROW(book.AddSheet("A", {{"A", 5}}), ComError);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace tarvo
