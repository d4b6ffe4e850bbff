#include "core/workbook/workbook.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <gtest/gtest.h>
#include <optional>

namespace tarvo {
namespace {

std::string RangeText(const CellRange& range) {
    return CellName(range.first.column, range.first.row) + ":" +
           CellName(range.last.column, range.last.row);
}

std::string AreasText(const std::vector<NamedArea>& areas) {
    std::string text;
    for (const NamedArea& area : areas)
        text += (text.empty() ? "" : ",") + area.sheet + "!" + RangeText(area.range);
    return text;
}

TEST(CellRanges, ParseRelativeAbsoluteAndSingleCells) {
    const struct {
        const char* text;
        const char* range; // nullptr: not a range
    } cases[] = {
        {"E10:P34", "E10:P34"},
        {"$E$10:$P$34", "E10:P34"},
        {"E$10:$P34", "E10:P34"},
        {"P34:E10", "E10:P34"},
        {"P10:E34", "E10:P34"},
        {"e10", "E10:E10"},
        {"$XFD$1048576", "XFD1048576:XFD1048576"},
        {"", nullptr},
        {"E0", nullptr},
        {"E10:", nullptr},
        {"$$E10", nullptr},
        {"E10:P34:Q1", nullptr},
        {"10E", nullptr},
        {"E10 ", nullptr},
        {"XFE1", nullptr},
        {"A:B", nullptr},
    };
    for (const auto& c : cases) {
        if (c.range) {
            EXPECT_EQ(RangeText(ParseCellRange(c.text)), c.range) << c.text;
        } else {
            EXPECT_THROW(ParseCellRange(c.text), ComError) << c.text;
        }
    }
    const CellRange range = ParseCellRange("E10:P34");
    EXPECT_TRUE(range.Contains({4, 10}));
    EXPECT_TRUE(range.Contains({15, 34}));
    EXPECT_FALSE(range.Contains({3, 10}));
    EXPECT_FALSE(range.Contains({15, 35}));
    // An address of a single cell keeps refusing the "$" of absolute references.
    EXPECT_THROW(ParseCellAddress("$E$10"), ComError);
}

constexpr const char* Relationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A workbook of three sheets over one sheet part, with those defined names
// (definedName elements), cell styles (xf elements of cellXfs) and sheet XML.
std::string MakeBook(const test::TempFolder& folder, const std::string& names,
                     const std::string& styles, const std::string& sheetXml) {
    const std::string path = folder.File("book.xlsx");
    test::MakeWorkbook(path, sheetXml);
    test::PutZipEntry(
        path, "xl/workbook.xml",
        std::string("<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                    "xmlns:r=\"") +
            Relationships +
            "\"><sheets><sheet name=\"List\" sheetId=\"1\" r:id=\"rId1\"/>"
            "<sheet name=\"Skrytý\" sheetId=\"2\" state=\"hidden\" r:id=\"rId1\"/>"
            "<sheet name=\"Tajný\" sheetId=\"3\" state=\"veryHidden\" r:id=\"rId1\"/></sheets>"
            "<definedNames>" +
            names + "</definedNames></workbook>");
    test::PutZipEntry(
        path, "xl/_rels/workbook.xml.rels",
        std::string("<Relationships xmlns=\"http://schemas.openxmlformats.org/"
                    "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"") +
            Relationships +
            "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship "
            "Id=\"rId2\" Type=\"" +
            Relationships + "/styles\" Target=\"styles.xml\"/></Relationships>");
    test::PutZipEntry(path, "xl/styles.xml",
                      "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                      "main\"><cellXfs>" +
                          styles + "</cellXfs></styleSheet>");
    return path;
}

std::string Sheet(const std::string& content) {
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
           content + "</worksheet>";
}

TEST(WorkbookStructure, DefinedNamesGiveTheirAreas) {
    test::TempFolder folder;
    const std::string path = MakeBook(
        folder,
        R"(<definedName name="J11A_HODNOTY">'J1-1A'!$E$10:$P$34,'J1-1A'!$I$35:$P$35</definedName>)"
        R"(<definedName name="Mezera">'Můj list'!$A$1</definedName>)"
        R"(<definedName name="Apostrof">'Jana''s, list'!B2:C3,List!$D4</definedName>)"
        R"(<definedName name="Jen_list" localSheetId="0">List!$A$1</definedName>)"
        R"(<definedName name="Chyba">'J1-1A'!#REF!</definedName>)"
        R"(<definedName name="Cislo">1.5</definedName>)"
        R"(<definedName name="Neuzavreny">'List!A1</definedName>)",
        "<xf/>", Sheet("<sheetData/>"));
    Workbook book;
    book.Open(path);
    const struct {
        const char* name;
        std::optional<const char*> areas; // nothing: refused
    } cases[] = {
        {"J11A_HODNOTY", "J1-1A!E10:P34,J1-1A!I35:P35"},
        {"j11a_hodnoty", "J1-1A!E10:P34,J1-1A!I35:P35"},
        {"Mezera", "Můj list!A1:A1"},
        {"Apostrof", "Jana's, list!B2:C3,List!D4:D4"},
        {"Jen_list", ""}, // belongs to a sheet, not to the workbook
        {"Chybí", ""},
        {"Chyba", std::nullopt},
        {"Cislo", std::nullopt},
        {"Neuzavreny", std::nullopt},
    };
    for (const auto& c : cases) {
        if (c.areas) {
            EXPECT_EQ(AreasText(book.DefinedName(c.name)), *c.areas) << c.name;
        } else {
            try {
                book.DefinedName(c.name);
                ADD_FAILURE() << c.name << ": no error";
            } catch (const ComError& e) {
                EXPECT_EQ(e.Code(), WorkbookError::Failed) << c.name;
            }
        }
    }
}

TEST(WorkbookStructure, HiddenSheets) {
    test::TempFolder folder;
    const std::string path = MakeBook(folder, "", "<xf/>", Sheet("<sheetData/>"));
    Workbook book;
    book.Open(path);
    EXPECT_FALSE(book.IsHidden("List"));
    EXPECT_TRUE(book.IsHidden("skrytý"));
    EXPECT_TRUE(book.IsHidden("Tajný"));
    try {
        book.IsHidden("Chybí");
        ADD_FAILURE() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), WorkbookError::BadIndex);
    }
}

TEST(WorkbookStructure, LockedCellsFollowTheirCellRowOrColumnStyle) {
    // Styles: 0 no protection, 1 unlocked, 2 locked, 3 only hidden, 4 unlocked as "false".
    const std::string styles = R"(<xf/><xf><protection locked="0"/></xf>)"
                               R"(<xf><protection locked="1"/></xf><xf><protection hidden="1"/>)"
                               R"(</xf><xf><protection locked="false"/></xf>)";
    const std::string sheet =
        Sheet(R"(<cols><col min="3" max="3" style="1"/><col min="4" max="5" style="2"/></cols>)"
              R"(<sheetData><row r="1"><c r="A1" s="1"/><c r="D1" s="3"><v>1</v></c>)"
              R"(<c r="E1" s="4"/><c r="F1" s="2"/></row>)"
              R"(<row r="2" s="1" customFormat="1"><c r="B2"/></row>)"
              R"(<row r="3" s="2"><c r="A3"/></row>)"
              R"(<row r="4" s="2" customFormat="1"/><row r="5"><c r="A5" s="9"/></row></sheetData>)"
              R"(<mergeCells count="2"><mergeCell ref="E4:F4"/><mergeCell ref="B10:A9"/>)"
              R"(</mergeCells>)");
    test::TempFolder folder;
    const std::string path = MakeBook(folder, "", styles, sheet);
    Workbook book;
    book.Open(path);
    Worksheet* list = book.Sheet("List");
    const struct {
        const char* cell;
        bool locked;
    } cases[] = {
        {"A1", false}, {"D1", true}, {"E1", false}, {"F1", true},
        {"A2", false},               // absent: its row's style
        {"B2", true},                // present: its own style, even when its row has another
        {"C3", false},               // absent, row style not marked as applying: the column's
        {"B3", true},  {"C4", true}, // a row style marked as applying beats the column
        {"C9", false}, {"D9", true}, {"E9", true},  {"Z99", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list->IsLocked(c.cell), c.locked) << c.cell;
    try {
        list->IsLocked("A5");
        ADD_FAILURE() << "no error for a style the workbook lacks";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), WorkbookError::Failed);
        EXPECT_NE(e.Description().find("A5"), std::string::npos) << e.Description();
    }

    std::string merged;
    for (const CellRange& range : list->MergedRanges())
        merged += RangeText(range) + ";";
    EXPECT_EQ(merged, "E4:F4;A9:B10;");
}

} // namespace
} // namespace tarvo
