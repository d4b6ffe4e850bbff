#include "core/report/reporttemplate.h"
#include "core/report/workbook.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::CellText;
using test::SheetCells;
using test::ZipEntry;

class WorkbookTest : public ::testing::Test {
protected:
    void SetUp() override { MakeReportTemplate(path, 2026, 3); }

    test::TempFolder folder;
    // Any extension: the report templates end in .tpl.
    std::string path = folder.File("book.tpl");
};

TEST_F(WorkbookTest, ReadsSharedStringsNumbersAndEmptyCellsAsText) {
    CWorkbook book;
    book.Open(path);
    CWorksheet* intro = book.Worksheet("Úvod");
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(intro->GetText("A1:A1"), "2.19"); // shared string
    EXPECT_EQ(intro->GetText("D4"), "3");       // number
    EXPECT_EQ(intro->GetText("D5"), "řádný");
    EXPECT_EQ(intro->GetText("Z99"), ""); // beyond every row
    EXPECT_EQ(intro->GetText("D7"), "");  // styled, no value
    // Sheet names compare without regard to case, as the spreadsheet program does.
    EXPECT_EQ(book.Worksheet("úvod"), intro);
}

TEST_F(WorkbookTest, WrittenValuesReadBackAfterSaveAndKeepTheCellStyle) {
    const auto before = SheetCells(path, "1-1");
    {
        CWorkbook book;
        book.Open(path);
        CWorksheet* sheet = book.Worksheet("1-1");
        sheet->PutQuantity("G25:G25", Quantity::FromScaled(12345));
        sheet->PutInteger("A40", -7);                       // a row that did not exist
        sheet->PutText("B3", "  mezery & <znaky> ");        // a cell that did not exist in its row
        sheet->PutQuantity("O6", Quantity::FromScaled(-5)); // replaces a formula
        book.Save();
        // Still open after saving: reads what was written.
        EXPECT_EQ(sheet->GetText("G25"), "1.2345");
        book.Close();
    }
    EXPECT_EQ(CellText(path, "1-1", "G25"), "1.2345");
    EXPECT_EQ(CellText(path, "1-1", "A40"), "-7");
    EXPECT_EQ(CellText(path, "1-1", "B3"), "  mezery & <znaky> ");
    EXPECT_EQ(CellText(path, "1-1", "O6"), "-0.0005");

    const auto after = SheetCells(path, "1-1");
    EXPECT_EQ(after.at("G25"),
              before.at("G25").substr(0, before.at("G25").find(' ')) + "  v:1.2345");
    EXPECT_EQ(after.at("O6").find("f:"), std::string::npos);
    // Untouched cells keep their formulas and styles.
    EXPECT_EQ(after.at("O7"), before.at("O7"));
    EXPECT_EQ(after.at("C36"), before.at("C36"));
    EXPECT_EQ(after.size(), before.size() + 2);
}

TEST_F(WorkbookTest, KeepsEverythingItDoesNotTouch) {
    const std::string styles = ZipEntry(path, "xl/styles.xml");
    const std::string strings = ZipEntry(path, "xl/sharedStrings.xml");
    const std::string core = ZipEntry(path, "docProps/core.xml");
    const auto other = SheetCells(path, "3-1");
    {
        CWorkbook book;
        book.Open(path);
        book.Worksheet("1-1")->PutInteger("C6", 1);
        book.Save();
    }
    EXPECT_EQ(ZipEntry(path, "xl/styles.xml"), styles);
    EXPECT_EQ(ZipEntry(path, "xl/sharedStrings.xml"), strings);
    EXPECT_EQ(ZipEntry(path, "docProps/core.xml"), core);
    EXPECT_EQ(SheetCells(path, "3-1"), other);
    const std::string workbook = ZipEntry(path, "xl/workbook.xml");
    EXPECT_NE(workbook.find("_xlnm.Print_Titles"), std::string::npos);
    EXPECT_NE(workbook.find("<sheet name=\"4-1\""), std::string::npos);
    const std::string sheet = ZipEntry(path, test::SheetPart(path, "1-1"));
    EXPECT_NE(sheet.find("<mergeCells"), std::string::npos);
    EXPECT_NE(sheet.find("<cols>"), std::string::npos);
}

TEST_F(WorkbookTest, SavedWorkbookRecalculatesOnOpenWithoutStaleTotals) {
    // A workbook as a spreadsheet program leaves it: cached totals and a
    // calculation chain naming the formula cells.
    std::string sheetXml = ZipEntry(path, test::SheetPart(path, "1-1"));
    const std::string formula = "<f>SUM(C6:N6)</f>";
    sheetXml.replace(sheetXml.find(formula), formula.size(), formula + "<v>99</v>");
    test::PutZipEntry(path, test::SheetPart(path, "1-1"), sheetXml);
    test::PutZipEntry(path, "xl/calcChain.xml",
                      "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                      "main\"><c r=\"O6\" i=\"2\"/></calcChain>");
    std::string rels = ZipEntry(path, "xl/_rels/workbook.xml.rels");
    rels.insert(rels.find("</Relationships>"),
                "<Relationship Id=\"rId99\" Type=\"http://schemas.openxmlformats.org/"
                "officeDocument/2006/relationships/calcChain\" Target=\"calcChain.xml\"/>");
    test::PutZipEntry(path, "xl/_rels/workbook.xml.rels", rels);
    std::string types = ZipEntry(path, "[Content_Types].xml");
    types.insert(types.find("</Types>"),
                 "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/>");
    test::PutZipEntry(path, "[Content_Types].xml", types);
    ASSERT_EQ(SheetCells(path, "1-1").at("O6"), "s6  f:SUM(C6:N6) v:99");

    {
        CWorkbook book;
        book.Open(path);
        book.Worksheet("1-1")->PutInteger("C6", 5);
        book.Save();
    }
    EXPECT_EQ(SheetCells(path, "1-1").at("O6"), "s6  f:SUM(C6:N6)");
    EXPECT_FALSE(test::HasZipEntry(path, "xl/calcChain.xml"));
    EXPECT_EQ(ZipEntry(path, "xl/_rels/workbook.xml.rels").find("calcChain"), std::string::npos);
    EXPECT_EQ(ZipEntry(path, "[Content_Types].xml").find("calcChain"), std::string::npos);
    EXPECT_NE(ZipEntry(path, "xl/workbook.xml").find("fullCalcOnLoad=\"1\""), std::string::npos);
}

TEST_F(WorkbookTest, ActivatingSelectsExactlyOneSheet) {
    {
        CWorkbook book;
        book.Open(path);
        book.Worksheet("2-3")->Activate();
        book.Save();
    }
    EXPECT_NE(ZipEntry(path, "xl/workbook.xml").find("activeTab=\"7\""), std::string::npos);
    for (const std::string name : {"Úvod", "1-1", "2-3", "4-1"}) {
        const bool selected =
            ZipEntry(path, test::SheetPart(path, name)).find("tabSelected") != std::string::npos;
        EXPECT_EQ(selected, name == "2-3") << name;
    }
}

TEST_F(WorkbookTest, ReadsInlineAndRichTextStrings) {
    std::string sheetXml = ZipEntry(path, test::SheetPart(path, "4-1"));
    sheetXml.insert(sheetXml.find("</sheetData>"),
                    "<row r=\"20\"><c r=\"A20\" t=\"inlineStr\"><is><t>vložený</t>"
                    "</is></c><c r=\"B20\" t=\"inlineStr\"><is><r><t>tu</t></r><r><t>čný</t>"
                    "</r></is></c><c r=\"C20\" t=\"b\"><v>1</v></c><c r=\"D20\"><v>"
                    "2.3999999999999999</v></c></row>");
    test::PutZipEntry(path, test::SheetPart(path, "4-1"), sheetXml);
    EXPECT_EQ(CellText(path, "4-1", "A20"), "vložený");
    EXPECT_EQ(CellText(path, "4-1", "B20"), "tučný");
    EXPECT_EQ(CellText(path, "4-1", "C20"), "1");
    EXPECT_EQ(CellText(path, "4-1", "D20"), "2.4");
}

struct ErrorCase {
    const char* what;
    std::function<void(CWorkbook&, const std::string&)> action;
    uint32_t code;
};

TEST_F(WorkbookTest, FailuresCarryACodeAndACzechDescription) {
    const std::string text = folder.File("text.tpl");
    test::WriteFile(text, "toto není sešit");
    const ErrorCase cases[] = {
        {"missing sheet",
         [](CWorkbook& b, const std::string& p) {
             b.Open(p);
             b.Worksheet("9-9");
         },
         WorkbookError::BadIndex},
        {"not a zip", [&](CWorkbook& b, const std::string&) { b.Open(text); },
         WorkbookError::Failed},
        {"missing file", [&](CWorkbook& b, const std::string&) { b.Open(folder.File("nic.xlsx")); },
         WorkbookError::Failed},
        {"range of many cells",
         [](CWorkbook& b, const std::string& p) {
             b.Open(p);
             b.Worksheet("1-1")->PutInteger("C6:D7", 1);
         },
         WorkbookError::Failed},
        {"bad address",
         [](CWorkbook& b, const std::string& p) {
             b.Open(p);
             b.Worksheet("1-1")->PutText("6C", "x");
         },
         WorkbookError::Failed},
    };
    for (const ErrorCase& c : cases) {
        CWorkbook book;
        try {
            c.action(book, path);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ComError& e) {
            EXPECT_EQ(e.Code(), c.code) << c.what;
            EXPECT_FALSE(e.Description().empty()) << c.what;
        }
    }
    try {
        CWorkbook book;
        book.Open(path);
        book.Worksheet("Chybí");
    } catch (const ComError& e) {
        EXPECT_EQ(e.Description(),
                  "Sešit '" + path + "' neobsahuje list 'Chybí'. (Neplatný index.)");
    }
}

TEST_F(WorkbookTest, CloseWithoutSaveLeavesTheFileAsItWas) {
    const std::string bytes = test::ReadFile(path);
    {
        CWorkbook book;
        book.Open(path);
        book.Worksheet("1-1")->PutInteger("C6", 1);
        book.Close();
    }
    EXPECT_EQ(test::ReadFile(path), bytes);
}

TEST(CellAddress, ParsesOneCellAndNamesItBack) {
    EXPECT_EQ(ParseCellAddress("G25:G25").column, 6);
    EXPECT_EQ(ParseCellAddress("G25").row, 25);
    EXPECT_EQ(ParseCellAddress("AA1").column, 26);
    EXPECT_EQ(CellName(26, 1), "AA1");
    EXPECT_EQ(CellName(701, 3), "ZZ3");
    EXPECT_EQ(CellName(702, 3), "AAA3");
    EXPECT_THROW(ParseCellAddress("G0"), ComError);
    EXPECT_THROW(ParseCellAddress("G25:G26"), ComError);
    EXPECT_THROW(ParseCellAddress(""), ComError);
}

} // namespace
} // namespace tarvo
