#include "core/workbook/workbook.h"
#include "dev/syntheticform.h"
#include "libreoffice.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

std::string AreasText(const std::vector<NamedArea>& areas) {
    std::string text;
    for (const NamedArea& area : areas)
        text += (text.empty() ? "" : ",") + area.sheet + "!" +
                CellName(area.range.first.column, area.range.first.row) + ":" +
                CellName(area.range.last.column, area.range.last.row);
    return text;
}

class SyntheticFormTest : public ::testing::Test {
protected:
    void Open(const SyntheticForm& form) {
        form.Write(path);
        book.Open(path);
    }
    std::string Text(const std::string& sheet, const std::string& cell) {
        return book.Sheet(sheet)->GetText(cell);
    }

    test::TempFolder folder;
    std::string path = folder.File("vykaz.xlsx");
    Workbook book;
};

TEST_F(SyntheticFormTest, HasTheSheetsLabelsAndNamesOfTheStatement) {
    Open(SyntheticForm(2025, 4));
    const std::vector<std::string> order = {
        "SUM",   "KONTROLY", "TEST", "Úvod",  "J1-1A", "J1-1B", "J1-1K", "J1-2A", "J1-2B", "J1-2K",
        "J1-3",  "J1-3K",    "J2",   "J3",    "J4",    "L",     "O1-1A", "O1-1B", "O1-1K", "O1-2A",
        "O1-2B", "O1-2K",    "O1-3", "O1-3K", "O2",    "O3",    "O4",    "S1",    "S2"};
    EXPECT_EQ(book.SheetNames(), order);
    EXPECT_TRUE(book.IsHidden("SUM"));
    EXPECT_TRUE(book.IsHidden("KONTROLY"));
    EXPECT_FALSE(book.IsHidden("TEST"));

    const struct {
        const char* sheet;
        const char* cell;
        const char* text;
    } cells[] = {
        {"Úvod", "A1", "2.74"},
        {"Úvod", "D4", "4"},
        {"Úvod", "E4", ". čtvrtletí roku 2025"},
        {"Úvod", "D6", ""}, // EKO-KOM's fields wait for PrefillTitle
        {"TEST", "A2", "VÝKAZ JE BEZ CHYB"},
        {"J1-1A", "A1", "zpoplatněné"},
        {"J1-2A", "B1", "obsahují nápoje"},
        {"J1-1A", "E4", "OBCHODNÍ (3) - Prodejní"},
        {"J1-1A", "I5", "Pevné, pevné duté do 3 L "},
        {"J1-1A", "O6", "recyklát (5)"},
        {"J1-1A", "F7", "importované \ndo ČR"},
        {"J1-1A", "C12", "neprůhledné barevné (9)"},
        {"J1-1A", "B29", "Kompozitní \n(10)"},
        {"J1-1A", "A35", "Nápojový karton (2,10)"},
        {"J1-1A", "B50", "Kompozit s nedřevěnými částmi (10)"},
        {"J1-1A", "A11", ""}, // a group stands on its first row only
        {"J1-1A", "B14", ""},
        {"O1-1A", "A35", "Kompozitní materiál (10)"},
        {"O1-1A", "B42", "Kompozitní (10)"},
        {"J1-1B", "M5", "Přepravní"},
        {"J1-1B", "Q6", "Pevné, pevné duté"},
        {"J1-1B", "C12", "barevné (7)"},
        {"J1-1B", "B29", "Kompozitní (9)"},
        {"J1-1B", "B42", "Papír"},
        {"J1-3", "E5", "Neobsahují nápoje (3)"},
        {"J1-3", "B44", "Kompozitní (9)"},
        {"J1-3", "A53", "Jiné"},
        {"J1-1K", "I6", "Přepravní"},
        {"J1-1K", "C15", "Jiné"},
        {"J1-3K", "G6", "Obsahují nápoje"},
        {"J1-3K", "A19", "Sklo"},
        {"J4", "K4", "PRŮMYSLOVÉ (3)"},
        {"J4", "A21", "Jiné "},
        {"L", "A12", "Plastové odnosné \ntašky (8)"},
        {"L", "D12", "Lehké plastové tašky \n15 < 50 mikronů "},
        {"S1", "E5", "recyklováno v jiných členských státech \nEU"},
        {"S1", "B16", "Fe"},
    };
    for (const auto& c : cells)
        EXPECT_EQ(Text(c.sheet, c.cell), c.text) << c.sheet << "!" << c.cell;

    EXPECT_EQ(AreasText(book.DefinedName("J11A_HODNOTY")),
              "J1-1A!E10:P34,J1-1A!I35:P35,J1-1A!E36:P36,J1-1A!E41:E52,J1-1A!G41:G52,"
              "J1-1A!I41:I52,J1-1A!K41:K52");
    EXPECT_EQ(AreasText(book.DefinedName("O12B_HODNOTY")),
              "O1-2B!E11:T35,O1-2B!E42:E50,O1-2B!G42:G50,O1-2B!I42:I50,O1-2B!K42:K50,"
              "O1-2B!M42:M50,O1-2B!O42:O50,O1-2B!Q42:Q50,O1-2B!S42:S50");
    const auto merged = [&](const std::string& sheet, const std::string& range) {
        const CellRange wanted = ParseCellRange(range);
        for (const CellRange& r : book.Sheet(sheet)->MergedRanges()) {
            if (r.first.column == wanted.first.column && r.first.row == wanted.first.row &&
                r.last.column == wanted.last.column && r.last.row == wanted.last.row)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(merged("J1-1A", "E4:P4"));
    EXPECT_TRUE(merged("J1-1A", "E7:E9"));
    EXPECT_TRUE(merged("J1-1A", "K52:L52"));
    EXPECT_TRUE(merged("J1-3", "S53:T53"));
    EXPECT_TRUE(merged("L", "A8:C9"));
}

// The input cells a filler finds through the names are the only unlocked
// cells of a sheet; the checks, labels and the right halves of merged pairs
// stay locked.
TEST_F(SyntheticFormTest, OnlyTheNamedInputCellsAreUnlocked) {
    Open(SyntheticForm(2025, 4));
    for (const std::string& name : book.SheetNames()) {
        std::string defined = name == "Úvod" ? "UVOD" : name;
        std::erase(defined, '-');
        const std::vector<NamedArea> areas = book.DefinedName(defined + "_HODNOTY");
        const bool inputs = name != "SUM" && name != "KONTROLY" && name != "TEST" && name != "S2";
        EXPECT_EQ(!areas.empty(), inputs) << name;
        Worksheet* sheet = book.Sheet(name);
        for (int row = 1; row <= 60; ++row) {
            for (int column = 0; column < 24; ++column) {
                bool named = false;
                for (const NamedArea& area : areas)
                    named = named || (area.sheet == name && area.range.Contains({column, row}));
                ASSERT_EQ(sheet->IsLocked(CellName(column, row)), !named)
                    << name << "!" << CellName(column, row);
            }
        }
    }
}

TEST_F(SyntheticFormTest, ChangesMadeBeforeWritingAreInTheFile) {
    SyntheticForm form(2026, 1);
    form.PrefillTitle();
    form.SetNumber("J1-1A", "E29", 0.125);
    form.SetText("J1-1B", "B42", "Papír (12)");
    form.Clear("J4", "A21");
    form.SetLocked("J4", "E9", true);
    form.SetLocked("J4", "A9", false);
    form.RemoveSheet("J1-2K");
    form.HideSheet("J2");
    EXPECT_THROW(form.SetNumber("Chybí", "A1", 1), ComError);
    EXPECT_THROW(form.SetNumber("J4", "E0", 1), ComError);
    Open(form);

    EXPECT_EQ(Text("Úvod", "E4"), ". čtvrtletí roku 2026");
    EXPECT_EQ(Text("Úvod", "D6"), "Obalovna Vzor s.r.o.");
    EXPECT_EQ(Text("Úvod", "F14"), "F12345678");
    EXPECT_EQ(Text("Úvod", "C20"), "");
    EXPECT_EQ(Text("J1-1A", "E29"), "0.125");
    EXPECT_EQ(Text("J1-1B", "B42"), "Papír (12)");
    EXPECT_EQ(Text("J4", "A21"), "");
    EXPECT_TRUE(book.Sheet("J4")->IsLocked("E9"));
    EXPECT_FALSE(book.Sheet("J4")->IsLocked("A9"));
    EXPECT_EQ(book.SheetNames().size(), 28u);
    EXPECT_TRUE(book.DefinedName("J12K_HODNOTY").empty());
    EXPECT_TRUE(book.IsHidden("J2"));

    // The same form gives the same parts, so that a test sees what a fill changed.
    const std::string first = folder.File("a.xlsx"), second = folder.File("b.xlsx");
    SyntheticForm(2025, 4).Write(first);
    SyntheticForm(2025, 4).Write(second);
    EXPECT_TRUE(test::DifferingZipEntries(first, second).empty());
    SyntheticForm changed(2025, 4);
    changed.SetNumber("J4", "E9", 1);
    changed.Write(second);
    EXPECT_EQ(test::DifferingZipEntries(first, second),
              std::vector<std::string>{"xl/worksheets/sheet15.xml"});

    const std::string unwritable = folder.File("chybí/vykaz.xlsx");
    try {
        form.Write(unwritable);
        ADD_FAILURE() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), WorkbookError::Failed);
    }
}

// The form's own checks, computed by LibreOffice after a fill through the
// workbook layer: a composite weight on a J1 sheet must reappear on its K
// sheet, in the same origin column.
TEST_F(SyntheticFormTest, ChecksReconcileCompositesAsLibreOfficeComputesThem) {
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> cells; // "sheet!cell", tonnes as text
        const char* result;
        const char* firstError;
    } cases[] = {
        {"composite only on J1-1A",
         {{"J1-1A!E29", "0.5"}},
         "VÝKAZ OBSAHUJE NÁSLEDUJÍCÍ CHYBY:",
         "Kompozitní obaly na listu J1-1A (vyrobené, nakoupené v ČR) nesouhlasí s listem J1-1K."},
        {"split on J1-1K",
         {{"J1-1A!E29", "0.5"}, {"J1-1K!E10", "0.3"}, {"J1-1K!E18", "0.2"}},
         "VÝKAZ JE BEZ CHYB",
         ""},
        {"imported on J1-1K",
         {{"J1-1A!E29", "0.5"}, {"J1-1K!F10", "0.5"}},
         "VÝKAZ OBSAHUJE NÁSLEDUJÍCÍ CHYBY:",
         "Kompozitní obaly na listu J1-1A (vyrobené, nakoupené v ČR) nesouhlasí s listem J1-1K."},
        {"lower tables, transport and beverages",
         {{"J1-1B!O46", "0.25"},
          {"J1-1K!J19", "0.25"},
          {"J1-3!Q44", "1.5"},
          {"J1-3K!G19", "1.5"},
          {"O1-1A!K49", "2"},
          {"O1-1K!F20", "2"}},
         "VÝKAZ JE BEZ CHYB",
         ""},
    };
    std::vector<std::string> files;
    for (size_t i = 0; i < std::size(cases); ++i) {
        files.push_back(folder.File("vykaz" + std::to_string(i) + ".xlsx"));
        SyntheticForm(2025, 4).Write(files.back());
        Workbook filled;
        filled.Open(files.back());
        for (const auto& [where, tonnes] : cases[i].cells) {
            const std::string text = where;
            filled.Sheet(text.substr(0, text.find('!')))
                ->PutQuantity(text.substr(text.find('!') + 1), *ParseQuantity(tonnes));
        }
        filled.Save();
    }
    const auto computed = test::ConvertWithLibreOffice(files, folder.File("lo"), "xlsx", true);
    if (!computed)
        GTEST_SKIP() << "LibreOffice is not installed";
    for (size_t i = 0; i < std::size(cases); ++i) {
        Workbook result;
        result.Open((*computed)[i]);
        EXPECT_EQ(result.Sheet("TEST")->GetText("A2"), cases[i].result) << cases[i].what;
        EXPECT_EQ(result.Sheet("TEST")->GetText("A3"), cases[i].firstError) << cases[i].what;
    }
}

} // namespace
} // namespace tarvo
