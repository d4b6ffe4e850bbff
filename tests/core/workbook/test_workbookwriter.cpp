#include "core/workbook/workbook.h"
#include "core/workbook/workbookwriter.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace tarvo {
namespace {

using Cell = WorkbookWriter::Cell;

// What is written comes back as the workbook layer reads it.
TEST(WorkbookWriter, CellsReadBackAsWritten) {
    test::TempFolder dir;
    const std::string path = dir.File("list.xlsx");
    const OleDate day = OleDate::FromParts(2026, 3, 31);
    const std::string text = "a <b> & \"c\" 'd' – Žluťoučký";
    {
        WorkbookWriter book(path);
        book.AddSheet("1-1", {{"Buňka", 10}, {"Text", 20}, {"Číslo", 8}, {"Kg", 12}, {"Den", 11}});
        struct Row {
            Cell a, b, c, d, e;
        };
        const Row rows[] = {
            {std::string_view("G25"), std::string_view(text), int64_t{-12},
             Quantity::FromScaled(-1), day},
            {std::string_view("G25"), std::string_view(text), Cell{},
             WorkbookWriter::Fixed{Quantity::FromScaled(12345678)}, Cell{}},
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
        WorkbookWriter book(path);
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

// The header wraps within its columns; a sheet too wide for a legible page
// prints on pages side by side, each with the first column.
TEST(WorkbookWriter, WideSheetsPrintOnPagesSideBySide) {
    struct Case {
        std::vector<double> widths;
        int pages;
        const char* headerHeight; // the title wrapped in the narrowest column
    };
    const Case cases[] = {{{10, 25.5}, 1, "40.25"},
                          {{90, 90}, 1, "14.75"},
                          {{90, 90.5}, 2, "14.75"},
                          {{200, 200, 1}, 3, "269.75"}};
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::string path = dir.File("list.xlsx");
        {
            WorkbookWriter book(path);
            std::vector<WorkbookWriter::Column> columns;
            for (double width : c.widths)
                columns.push_back({"Dlouhý nadpis sloupce", width});
            book.AddSheet("Rozpis", columns);
            book.Save();
        }
        const std::string sheet = test::ZipEntry(path, test::SheetPart(path, "Rozpis"));
        EXPECT_NE(sheet.find("fitToWidth=\"" + std::to_string(c.pages) + "\" fitToHeight=\"0\""),
                  std::string::npos)
            << c.pages;
        EXPECT_NE(sheet.find(std::string(R"(<row r="1" ht=")") + c.headerHeight +
                             R"(" customHeight="1"><c r="A1" s="6" t="s">)"),
                  std::string::npos)
            << c.headerHeight;
        EXPECT_NE(test::ZipEntry(path, "xl/styles.xml")
                      .find(R"(<alignment vertical="top" wrapText="1"/>)"),
                  std::string::npos);
        const std::string titles = c.pages > 1 ? "'Rozpis'!$A:$A,'Rozpis'!$1:$1" : "'Rozpis'!$1:$1";
        EXPECT_NE(test::ZipEntry(path, "xl/workbook.xml").find(">" + titles + "<"),
                  std::string::npos)
            << c.pages;
    }
}

// An export read in again gives back what was written: texts as they are,
// numbers and quantities as numbers, dates to the last digit of their time.
TEST(WorkbookWriter, RowReaderGivesBackWhatWasWritten) {
    test::TempFolder dir;
    const std::string path = dir.File("list.xlsx");
    const OleDate moments[] = {
        OleDate::FromParts(2026, 3, 31),
        OleDate::FromParts(2026, 3, 31, 13, 47, 59),
        OleDate::FromValue(46112.123456789012),
        OleDate::FromValue(46112.0 + 1.0 / 86400000.0), // a millisecond past midnight
        OleDate::FromValue(-1.25),                      // before 1899-12-30
    };
    {
        WorkbookWriter book(path);
        book.AddSheet("Obaly", {{"Kód", 8}, {"Název", 20}, {"Kg", 10}, {"Ano", 4}, {"Den", 11}});
        book.AddRow(std::array<Cell, 5>{int64_t{7}, std::string_view("Fólie & <pásek>"),
                                        Quantity::FromScaled(12345), std::string_view("1"),
                                        moments[0]});
        book.AddRow(std::array<Cell, 5>{Cell{}, Cell{},
                                        WorkbookWriter::Fixed{Quantity::FromScaled(-10000)},
                                        std::string_view("0"), Cell{}},
                    true);
        book.AddSheet("Dny", {{"Den", 11}});
        for (const OleDate& moment : moments)
            book.AddRow(std::array<Cell, 1>{moment});
        book.Save();
    }
    Workbook book;
    book.Open(path);
    EXPECT_EQ(test::RowsText(*book.Sheet("Obaly")),
              "1:TKód|TNázev|TKg|TAno|TDen;2:N7|TFólie & <pásek>|N1.2345|T1|N46112;3:||N-1|T0");
    size_t i = 0;
    book.Sheet("Dny")->ForEachRow([&](int row, const std::vector<SheetCell>& cells) {
        if (row == 1)
            return;
        ASSERT_LT(i, std::size(moments));
        ASSERT_EQ(cells.size(), 1u);
        double value = 0;
        const std::string& text = cells[0].text;
        std::from_chars(text.data(), text.data() + text.size(), value);
        EXPECT_EQ(value, moments[i].Value()) << text;
        ++i;
    });
    EXPECT_EQ(i, std::size(moments));
}

// The child elements of the worksheet, in order.
std::vector<std::string> SheetElements(const pugi::xml_document& sheet) {
    std::vector<std::string> names;
    for (pugi::xml_node n : sheet.document_element().children())
        names.emplace_back(n.name());
    return names;
}

pugi::xml_document LoadPart(const std::string& path, const std::string& part) {
    pugi::xml_document doc;
    const std::string xml = test::ZipEntry(path, part);
    EXPECT_TRUE(doc.load_buffer(xml.data(), xml.size())) << part;
    return doc;
}

TEST(WorkbookWriter, ListValidationsOfferTheValuesOfAHiddenSheet) {
    test::TempFolder dir;
    const std::string path = dir.File("registers.xlsx");
    const std::string units = "'Seznamy'!$A$2:$A$31";
    const std::string odd = "'O''Brien & <x>'!$B$2:$B$5";
    {
        WorkbookWriter book(path);
        book.AddSheet("Obaly", {{"Kód", 8}, {"Jednotka", 10}, {"Materiál", 10}});
        book.AddListValidation(1, units);
        book.AddListValidation(2, odd);
        book.AddRow(std::array<Cell, 3>{int64_t{1}, std::string_view("ks"), Cell{}});
        book.AddSheet("Seznamy", {{"Jednotka", 10}}, true);
        book.AddRow(std::array<Cell, 1>{std::string_view("ks")});
        book.Save();
    }
    const pugi::xml_document workbook = LoadPart(path, "xl/workbook.xml");
    const pugi::xml_node sheets = workbook.child("workbook").child("sheets");
    EXPECT_STREQ(sheets.find_child_by_attribute("name", "Seznamy").attribute("state").value(),
                 "hidden");
    EXPECT_FALSE(sheets.find_child_by_attribute("name", "Obaly").attribute("state"));

    const pugi::xml_document lists = LoadPart(path, test::SheetPart(path, "Obaly"));
    const std::vector<std::string> order = {"sheetPr",     "sheetViews", "cols",
                                            "sheetData",   "autoFilter", "dataValidations",
                                            "pageMargins", "pageSetup"};
    EXPECT_EQ(SheetElements(lists), order);
    const pugi::xml_node validations = lists.child("worksheet").child("dataValidations");
    EXPECT_STREQ(validations.attribute("count").value(), "2");
    const std::pair<const char*, std::string> expected[] = {{"B2:B1048576", units},
                                                            {"C2:C1048576", odd}};
    pugi::xml_node validation = validations.first_child();
    for (const auto& [sqref, formula] : expected) {
        EXPECT_STREQ(validation.attribute("type").value(), "list");
        EXPECT_STREQ(validation.attribute("allowBlank").value(), "1");
        EXPECT_STREQ(validation.attribute("sqref").value(), sqref);
        EXPECT_EQ(validation.child_value("formula1"), formula);
        validation = validation.next_sibling();
    }
    EXPECT_FALSE(LoadPart(path, test::SheetPart(path, "Seznamy"))
                     .child("worksheet")
                     .child("dataValidations"));

    Workbook book;
    book.Open(path);
    EXPECT_EQ(book.SheetNames(), (std::vector<std::string>{"Obaly", "Seznamy"}));
    EXPECT_EQ(test::RowsText(*book.Sheet("Seznamy")), "1:TJednotka;2:Tks");
}

// A hidden sheet is never the one that opens; one sheet always shows.
TEST(WorkbookWriter, TheFirstShownSheetOpens) {
    struct Case {
        std::vector<bool> hidden;
        const char* activeTab;
        std::vector<bool> written; // hidden in the file
    };
    const Case cases[] = {
        {{false, true}, "0", {false, true}},
        {{true, false, false}, "1", {true, false, false}},
        {{true, true}, "0", {false, true}},
    };
    test::TempFolder dir;
    for (const Case& c : cases) {
        const std::string path = dir.File("tabs.xlsx");
        {
            WorkbookWriter book(path);
            for (size_t i = 0; i < c.hidden.size(); ++i)
                book.AddSheet("L" + std::to_string(i), {{"A", 5}}, c.hidden[i]);
            book.Save();
        }
        const pugi::xml_document workbook = LoadPart(path, "xl/workbook.xml");
        const pugi::xml_node root = workbook.child("workbook");
        EXPECT_STREQ(root.child("bookViews").child("workbookView").attribute("activeTab").value(),
                     c.activeTab);
        std::vector<bool> written;
        for (pugi::xml_node sheet : root.child("sheets").children("sheet"))
            written.push_back(std::string_view(sheet.attribute("state").value()) == "hidden");
        EXPECT_EQ(written, c.written) << c.activeTab;
    }
}

TEST(WorkbookWriter, AnUnwritableFileFailsAndLeavesNothing) {
    test::TempFolder dir;
    const std::string path = dir.File("missing/list.xlsx");
    WorkbookWriter book(path);
    EXPECT_THROW(book.AddSheet("A", {{"A", 5}}), ComError);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace tarvo
