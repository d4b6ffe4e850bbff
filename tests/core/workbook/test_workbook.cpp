#include "core/report/reporttemplate.h"
#include "core/workbook/workbook.h"
#include "core/workbook/workbookwriter.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

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
    Workbook book;
    book.Open(path);
    Worksheet* intro = book.Sheet("Úvod");
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(intro->GetText("A1:A1"), "2.19"); // shared string
    EXPECT_EQ(intro->GetText("D4"), "3");       // number
    EXPECT_EQ(intro->GetText("D5"), "řádný");
    EXPECT_EQ(intro->GetText("Z99"), ""); // beyond every row
    EXPECT_EQ(intro->GetText("D7"), "");  // styled, no value
    // Sheet names compare without regard to case, as the spreadsheet program does.
    EXPECT_EQ(book.Sheet("úvod"), intro);
}

TEST_F(WorkbookTest, WrittenValuesReadBackAfterSaveAndKeepTheCellStyle) {
    const auto before = SheetCells(path, "1-1");
    {
        Workbook book;
        book.Open(path);
        Worksheet* sheet = book.Sheet("1-1");
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
        Workbook book;
        book.Open(path);
        book.Sheet("1-1")->PutInteger("C6", 1);
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
        Workbook book;
        book.Open(path);
        book.Sheet("1-1")->PutInteger("C6", 5);
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
        Workbook book;
        book.Open(path);
        book.Sheet("2-3")->Activate();
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

std::string Sheet(const std::string& rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
           rows + "</sheetData></worksheet>";
}

const char* SharedStrings =
    R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3">)"
    R"(<si><t>první</t></si><si><r><t>tu</t></r><r><rPr><b/></rPr><t>čný</t></r>)"
    R"(<rPh sb="0" eb="1"><t>x</t></rPh></si><si><t xml:space="preserve"> a&amp;b </t></si></sst>)";

struct RowsCase {
    const char* what;
    std::string sheet;
    const char* rows; // as test::RowsText gives them
};

const RowsCase RowsCases[] = {
    {"positions left out follow the one before",
     Sheet(R"(<row><c t="inlineStr"><is><t>a</t></is></c><c><v>1</v></c></row>)"
           R"(<row r="5"><c r="C5"><v>2</v></c><c><v>3</v></c></row><row><c><v>4</v></c></row>)"),
     "1:Ta|N1;5:||N2|N3;6:N4"},
    {"namespace prefix",
     R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
     R"(<x:sheetData><x:row r="1"><x:c r="B1" t="s"><x:v>0</x:v></x:c></x:row>)"
     R"(<x:row><x:c t="inlineStr"><x:is><x:t>b</x:t></x:is></x:c></x:row></x:sheetData>)"
     R"(</x:worksheet>)",
     "1:|Tprvní;2:Tb"},
    {"shared strings with runs",
     Sheet(R"(<row r="1"><c r="A1" t="s"><v>1</v></c><c r="B1" t="s"><v>2</v></c></row>)"),
     "1:Ttučný|T a&b "},
    {"inline runs and entities",
     Sheet(R"(<row r="1"><c r="A1" t="inlineStr"><is><r><rPr><b/></rPr><t>tu</t></r><r><t>čný)"
           R"(</t></r></is></c><c r="B1" t="inlineStr"><is><t>a &amp; b &lt;c&gt; &#x10D;&#269;)"
           R"(</t></is></c></row>)"),
     "1:Ttučný|Ta & b <c> čč"},
    {"formulas give their last result",
     Sheet(R"(<row r="1"><c r="A1"><f>SUM(B1:C1)</f><v>3</v></c><c r="B1" t="str"><f>"a"&amp;"x")"
           R"(</f><v>ax</v></c><c r="C1"><f>NOW()</f></c><c r="D1" t="e"><f>1/0</f>)"
           R"(<v>#DIV/0!</v></c></row>)"),
     "1:N3|Tax||E#DIV/0!"},
    {"kinds of values",
     Sheet(R"(<row r="2"><c r="A2" t="b"><v>1</v></c><c r="B2" t="b"><v>0</v></c><c r="C2" )"
           R"(t="e"><v>#N/A</v></c><c r="D2" t="str"><v>text</v></c><c r="E2"><v>)"
           R"(2.3999999999999999</v></c><c r="F2" t="n"><v>45000.5</v></c><c r="G2"><v>-1E-3)"
           R"(</v></c></row>)"),
     "2:B1|B0|E#N/A|Ttext|N2.4|N45000.5|N-0.001"},
    {"empty rows and styled cells without values",
     Sheet(R"(<row r="1" spans="1:3"/><row r="2"><c r="A2" s="1"/><c r="B2" s="1"><v>7</v>)"
           R"(</c><c r="C2" s="1"/></row><row r="3"><c r="A3" s="2"/></row>)"),
     "1:;2:|N7;3:"},
    {"comments, CDATA, processing instructions, > in attribute values",
     Sheet(R"(<!-- <row r="9"><c><v>9</v></c></row> --><row r="1" note="a>b" x14ac:dy="0.2">)"
           R"(<c r="A1" t="inlineStr"><is><t><![CDATA[a<b</row>]]></t></is></c></row>)"
           R"(<?pi <row r="8"/>?><row r="2"/>)"),
     "1:Ta<b</row>;2:"},
    {"as LibreOffice writes it",
     R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
     "\n"
     R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
     R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
     R"(xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing" )"
     R"(xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main" )"
     R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006"><sheetPr )"
     R"(filterMode="false"><pageSetUpPr fitToPage="false"/></sheetPr><dimension ref="A1:D3"/>)"
     R"(<sheetViews><sheetView showFormulas="false" showGridLines="true" workbookViewId="0">)"
     R"(<selection pane="topLeft" activeCell="A1" activeCellId="0" sqref="A1"/></sheetView>)"
     R"(</sheetViews><sheetFormatPr defaultColWidth="11.53515625" defaultRowHeight="12.8" )"
     R"(zeroHeight="false" outlineLevelRow="0" outlineLevelCol="0"></sheetFormatPr><cols><col )"
     R"(collapsed="false" customWidth="false" hidden="false" outlineLevel="0" max="4" min="1" )"
     R"(style="0" width="11.52"/></cols><sheetData><row r="1" customFormat="false" ht="12.8" )"
     R"(hidden="false" customHeight="false" outlineLevel="0" collapsed="false"><c r="A1" s="0" )"
     R"(t="s"><v>0</v></c><c r="B1" s="0" t="n"><v>2.4</v></c></row><row r="3" )"
     R"(customFormat="false" ht="12.8" hidden="false" customHeight="false" outlineLevel="0" )"
     R"(collapsed="false"><c r="A3" s="1" t="n"><v>46112.5</v></c><c r="B3" s="0" t="b"><v>1)"
     R"(</v></c><c r="D3" s="0" t="s"><v>2</v></c></row></sheetData><printOptions )"
     R"(headings="false" gridLines="false" gridLinesSet="true" horizontalCentered="false" )"
     R"(verticalCentered="false"/><pageMargins left="0.7875" right="0.7875" top="1.05277777777778" )"
     R"(bottom="1.05277777777778" header="0.7875" footer="0.7875"/><pageSetup paperSize="9" )"
     R"(scale="100"/><headerFooter differentFirst="false" differentOddEven="false"><oddHeader>)"
     R"(&amp;C&amp;&quot;Times New Roman,Obyčejné&quot;&amp;12&amp;A</oddHeader></headerFooter>)"
     R"(</worksheet>)",
     "1:Tprvní|N2.4;3:N46112.5|B1||T a&b "},
    // Damaged: the rows before the damage are visited.
    {"row not closed",
     R"(<worksheet><sheetData><row r="1"><c><v>1</v></c></row><row r="2"><c><v>2</v></c>)",
     "1:N1;!"},
    {"sheet data not closed", R"(<worksheet><sheetData><row r="1"/>)", "1:;!"},
    {"no sheet data", R"(<worksheet><cols/></worksheet>)", "!"},
    {"no XML inside a row", Sheet(R"(<row r="1"/><row r="2"><c><v>1</c></row>)"), "1:;!"},
    {"bad row number", Sheet(R"(<row r="x1"/>)"), "!"},
    {"bad cell reference", Sheet(R"(<row r="1"><c r="1A"><v>1</v></c></row>)"), "!"},
    {"column beyond the last", Sheet(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)"), "!"},
    {"unknown shared string", Sheet(R"(<row r="1"><c t="s"><v>3</v></c></row>)"), "!"},
};

TEST(WorksheetRows, ReadsEveryFormOfRowsAndCells) {
    test::TempFolder folder;
    const std::string path = folder.File("rows.xlsx");
    for (const RowsCase& c : RowsCases) {
        test::MakeWorkbook(path, c.sheet, SharedStrings);
        Workbook book;
        book.Open(path);
        Worksheet* sheet = book.Sheet("List");
        EXPECT_EQ(test::RowsText(*sheet), c.rows) << c.what;
        // Once the sheet is held whole, the rows come from there, alike.
        if (std::string_view(c.rows).find('!') == std::string_view::npos) {
            sheet->GetText("A1");
            EXPECT_EQ(test::RowsText(*sheet), c.rows) << c.what << " (held)";
        }
    }
}

TEST(WorksheetRows, SeesChangesNotYetSaved) {
    test::TempFolder folder;
    const std::string path = folder.File("rows.xlsx");
    test::MakeWorkbook(path, Sheet(R"(<row r="1"><c r="A1"><v>1</v></c></row>)"));
    Workbook book;
    book.Open(path);
    Worksheet* sheet = book.Sheet("List");
    sheet->PutText("C1", "nový");
    sheet->PutQuantity("B3", Quantity::FromScaled(25));
    EXPECT_EQ(test::RowsText(*sheet), "1:N1||Tnový;3:|N0.0025");
}

// Far more rows than one piece of the file holds, and one row larger than a
// piece: every row arrives once, in order, whole.
TEST(WorksheetRows, ReadsALargeSheetRowByRow) {
    constexpr int Rows = 100000;
    const std::string longText(700000, 'x');
    std::string rows;
    rows.reserve(Rows * 90 + longText.size());
    for (int r = 1; r <= Rows; ++r) {
        const std::string n = std::to_string(r);
        rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"inlineStr\"><is><t>název " + n +
                "</t></is></c><c r=\"C" + n + "\"><v>" + n + ".5</v></c><c r=\"D" + n +
                "\" t=\"s\"><v>0</v></c>";
        if (r == 50000)
            rows += "<c r=\"E" + n + "\" t=\"inlineStr\"><is><t>" + longText + "</t></is></c>";
        rows += "</row>";
    }
    test::TempFolder folder;
    const std::string path = folder.File("big.xlsx");
    test::MakeWorkbook(path, Sheet(rows), SharedStrings);

    Workbook book;
    book.Open(path);
    int count = 0;
    int previous = 0;
    std::map<int, std::vector<SheetCell>> samples;
    book.Sheet("List")->ForEachRow([&](int row, const std::vector<SheetCell>& cells) {
        ++count;
        EXPECT_EQ(row, previous + 1);
        previous = row;
        if (row == 1 || row == 50000 || row == Rows)
            samples[row] = cells;
    });
    EXPECT_EQ(count, Rows);
    ASSERT_EQ(samples.size(), 3u);
    for (const auto& [row, cells] : samples) {
        ASSERT_EQ(cells.size(), row == 50000 ? 5u : 4u) << row;
        EXPECT_EQ(cells[0].text, "název " + std::to_string(row));
        EXPECT_EQ(cells[1].kind, SheetCell::Kind::Empty);
        EXPECT_EQ(cells[2].text, std::to_string(row) + ".5");
        EXPECT_EQ(cells[3].text, "první");
    }
    EXPECT_EQ(samples[50000][4].text, longText);
}

struct ErrorCase {
    const char* what;
    std::function<void(Workbook&, const std::string&)> action;
    uint32_t code;
};

TEST_F(WorkbookTest, FailuresCarryACodeAndACzechDescription) {
    const std::string text = folder.File("text.tpl");
    test::WriteFile(text, "toto není sešit");
    const ErrorCase cases[] = {
        {"missing sheet",
         [](Workbook& b, const std::string& p) {
             b.Open(p);
             b.Sheet("9-9");
         },
         WorkbookError::BadIndex},
        {"not a zip", [&](Workbook& b, const std::string&) { b.Open(text); },
         WorkbookError::Failed},
        {"missing file", [&](Workbook& b, const std::string&) { b.Open(folder.File("nic.xlsx")); },
         WorkbookError::Failed},
        {"range of many cells",
         [](Workbook& b, const std::string& p) {
             b.Open(p);
             b.Sheet("1-1")->PutInteger("C6:D7", 1);
         },
         WorkbookError::Failed},
        {"bad address",
         [](Workbook& b, const std::string& p) {
             b.Open(p);
             b.Sheet("1-1")->PutText("6C", "x");
         },
         WorkbookError::Failed},
    };
    for (const ErrorCase& c : cases) {
        Workbook book;
        try {
            c.action(book, path);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ComError& e) {
            EXPECT_EQ(e.Code(), c.code) << c.what;
            EXPECT_FALSE(e.Description().empty()) << c.what;
        }
    }
    try {
        Workbook book;
        book.Open(path);
        book.Sheet("Chybí");
    } catch (const ComError& e) {
        EXPECT_EQ(e.Description(),
                  "Sešit '" + path + "' neobsahuje list 'Chybí'. (Neplatný index.)");
    }
}

TEST_F(WorkbookTest, CloseWithoutSaveLeavesTheFileAsItWas) {
    const std::string bytes = test::ReadFile(path);
    {
        Workbook book;
        book.Open(path);
        book.Sheet("1-1")->PutInteger("C6", 1);
        book.Close();
    }
    EXPECT_EQ(test::ReadFile(path), bytes);
}

// Each writer of an archive words a failure of the archive in its own
// message, with the reason libzip gives after it. The folder of the file
// disappears before the archive is written.
TEST(ArchiveFailures, AreToldInTheWritersOwnWords) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path, const std::function<void()>& vanish)> write;
        // The message up to the path and from it to the reason.
        const char* before;
        const char* after;
    };
    const Case cases[] = {
    // Windows removes no folder while a file in it is open, as the first two
    // writers keep theirs.
#ifndef _WIN32
        {"changed workbook",
         [](const std::string& path, const std::function<void()>& vanish) {
             MakeReportTemplate(path, 2026, 1);
             Workbook book;
             book.Open(path);
             book.Sheet("1-1")->PutInteger("C6", 1);
             vanish();
             book.Save();
         },
         "Sešit '", "' nelze uložit: "},
        {"new list",
         [](const std::string& path, const std::function<void()>& vanish) {
             WorkbookWriter book(path);
             book.AddSheet("A", {{"A", 5}});
             vanish();
             book.Save();
         },
         "Soubor '", "' nelze uložit: "},
#endif
        {"report template",
         [](const std::string& path, const std::function<void()>& vanish) {
             vanish();
             MakeReportTemplate(path, 2026, 1);
         },
         "Předlohu výkazu '", "' nelze zapsat: "},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::filesystem::path folder = dir.Path() / "gone";
        std::filesystem::create_directory(folder);
        const std::string path = (folder / "book.xlsx").string();
        const std::string prefix = c.before + path + c.after;
        try {
            c.write(path, [&] { std::filesystem::remove_all(folder); });
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ComError& e) {
            EXPECT_EQ(e.Code(), WorkbookError::Failed) << c.what;
            EXPECT_EQ(e.Description().rfind(prefix, 0), 0u) << c.what << ": " << e.Description();
            EXPECT_GT(e.Description().size(), prefix.size()) << c.what;
        }
        EXPECT_FALSE(std::filesystem::exists(folder)) << c.what;
    }
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
