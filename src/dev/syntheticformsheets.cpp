#include "core/data/shared.h"
#include "core/workbook/workbook.h"
#include "dev/syntheticformsheet.h"

#include <algorithm>

namespace tarvo {

using Sheet = SyntheticForm::Sheet;

void Sheet::Text(int column, int row, const std::string& value) {
    Cell& cell = At(column, row);
    cell.kind = Cell::Kind::Text;
    cell.text = value;
    cell.wrap = value.find('\n') != std::string::npos;
}

void Sheet::Number(int column, int row, double value) {
    Cell& cell = At(column, row);
    cell.kind = Cell::Kind::Number;
    cell.text.clear();
    cell.number = value;
}

void Sheet::Formula(int column, int row, const std::string& formula, const std::string& result,
                    bool resultIsText) {
    Cell& cell = At(column, row);
    cell.kind = Cell::Kind::Formula;
    cell.text = formula;
    cell.cached = result;
    cell.cachedIsText = resultIsText;
}

void Sheet::Inputs(int column1, int row1, int column2, int row2) {
    for (int row = row1; row <= row2; ++row) {
        for (int column = column1; column <= column2; ++column)
            At(column, row).locked = false;
    }
    const std::string first = CellName(column1, row1);
    inputAreas.push_back(
        column1 == column2 && row1 == row2 ? first : first + ":" + CellName(column2, row2));
}

void Sheet::Merge(int column1, int row1, int column2, int row2) {
    merges.push_back(CellName(column1, row1) + ":" + CellName(column2, row2));
}

std::string QuotedSheetName(const std::string& sheet) {
    std::string quoted = "'";
    for (char c : sheet) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

namespace {

constexpr int Col(char letter) {
    return letter - 'A';
}

constexpr const char* Cz = "vyrobené, nakoupené \nv ČR";
constexpr const char* Imported = "importované \ndo ČR";
constexpr const char* Paid = "zpoplatněné";

void Tags(Sheet& sheet, const char* payment, const char* beverage, const char* kind) {
    sheet.Text(Col('A'), 1, payment);
    if (*beverage)
        sheet.Text(Col('B'), 1, beverage);
    if (*kind)
        sheet.Text(Col('C'), 1, kind);
}

// The sheet's own check, which the form keeps two columns right of its table.
void HiddenCheck(Sheet& sheet, int lastColumn, const std::string& table) {
    const int column = lastColumn + 2;
    sheet.Formula(column, 1, "SUMPRODUCT((" + table + "<0)*1)", "0", false);
    sheet.hiddenColumns.push_back(column);
}

// Label pairs "vyrobené, nakoupené v ČR" / "importované do ČR" from column
// first to last, each merged down to row bottom.
void OriginLabels(Sheet& sheet, int row, int first, int last, int bottom) {
    for (int column = first; column <= last; ++column) {
        sheet.Text(column, row, (column - first) % 2 == 0 ? Cz : Imported);
        if (bottom > row)
            sheet.Merge(column, row, column, bottom);
    }
}

// "primární (4)" / "recyklát (5)" over two columns each, from first to last.
void SourceLabels(Sheet& sheet, int row, int first, int last) {
    for (int column = first; column + 1 <= last; column += 2) {
        sheet.Text(column, row, (column - first) % 4 == 0 ? "primární (4)" : "recyklát (5)");
        sheet.Merge(column, row, column + 1, row);
    }
}

void Label(Sheet& sheet, int column, int row, const char* text, int lastColumn, int lastRow) {
    sheet.Text(column, row, text);
    sheet.Merge(column, row, lastColumn, lastRow);
}

// The plastic, metal and composite rows of the upper table. A sheets have
// three PET rows from row 10 and other footnote numbers; B sheets and the
// industrial sheet two PET rows from row 11.
void UpperMaterials(Sheet& sheet, bool aSheet, bool beverageCarton) {
    const char* transparent = "transparentní (6)";
    const char* coloured = "barevné (7)";
    const char* composite = aSheet ? "(10)" : "(9)";
    int row = 10;
    if (aSheet) {
        sheet.Text(Col('A'), row, "Plasty");
        sheet.Text(Col('B'), row, "PET");
        sheet.Text(Col('C'), row++, transparent);
        sheet.Text(Col('C'), row++, "průhledné barevné (8)");
        sheet.Text(Col('C'), row++, "neprůhledné barevné (9)");
    } else {
        row = 11;
        sheet.Text(Col('A'), row, "Plasty");
        sheet.Text(Col('B'), row, "PET");
        sheet.Text(Col('C'), row++, transparent);
        sheet.Text(Col('C'), row++, coloured);
    }
    const std::string kinds[] = {"PE",
                                 "PP",
                                 "PS",
                                 "XPS",
                                 "EPS",
                                 "PVC",
                                 "Jiné",
                                 aSheet ? "Biologicky rozložitelné (11)"
                                        : "Biologicky rozložitelné (8)",
                                 aSheet ? "Kompozitní \n(10)" : "Kompozitní (9)"};
    for (const std::string& kind : kinds) {
        sheet.Text(Col('B'), row, kind);
        sheet.Text(Col('C'), row++, transparent);
        sheet.Text(Col('C'), row++, coloured);
    }
    sheet.Text(Col('A'), 31, "Kovy");
    sheet.Text(Col('B'), 31, "Al");
    sheet.Text(Col('B'), 32, "Fe");
    sheet.Text(Col('B'), 33, std::string("Kompozitní Al ") + composite);
    sheet.Text(Col('B'), 34, std::string("Kompozitní Fe ") + composite);
    if (beverageCarton) {
        sheet.Text(Col('A'), 35, "Nápojový karton (2,10)");
        sheet.Text(Col('A'), 36, "Kompozitní materiál (10)");
    } else {
        sheet.Text(Col('A'), 35, std::string("Kompozitní materiál ") + composite);
    }
}

// The rows of the lower table from first: glass (when the sheet has it),
// paper, wood, textile, other. Returns the composite rows.
std::vector<int> LowerMaterials(Sheet& sheet, int first, bool glass, const char* footnote) {
    const std::string composite = std::string("Kompozitní ") + footnote;
    std::vector<int> composites;
    int row = first;
    if (glass) {
        sheet.Text(Col('A'), row, "Sklo");
        sheet.Text(Col('B'), row++, "Transparentní (6)");
        sheet.Text(Col('B'), row++, "Barevné (7)");
        composites.push_back(row);
        sheet.Text(Col('B'), row++, composite);
    }
    sheet.Text(Col('A'), row, "Papír");
    for (const char* kind : {"Papír", "Hladká lepenka", "Vlnitá lepenka", "Nasávaná kartonáž"})
        sheet.Text(Col('B'), row++, kind);
    composites.push_back(row);
    sheet.Text(Col('B'), row++, composite);
    sheet.Text(Col('A'), row, "Dřevo");
    sheet.Text(Col('B'), row++, "Dřevo a dřevotříska");
    composites.push_back(row);
    sheet.Text(Col('B'), row++, std::string("Kompozit s nedřevěnými částmi ") + footnote);
    sheet.Text(Col('A'), row++, "Textil");
    sheet.Text(Col('A'), row, "Jiné");
    return composites;
}

// Merged input pairs of a lower table: rows first..last, blocks of four
// pairs from column E (and M for the second block).
void LowerInputs(Sheet& sheet, int first, int last, int blocks) {
    for (int block = 0; block < blocks; ++block) {
        for (int pair = 0; pair < 4; ++pair) {
            const int column = Col('E') + block * 8 + pair * 2;
            sheet.Inputs(column, first, column, last);
            for (int row = first; row <= last; ++row)
                sheet.Merge(column, row, column + 1, row);
        }
    }
}

// The header of a lower table whose rows start at first: source and origin
// over each block of eight columns, the block names above when given.
void LowerHeader(Sheet& sheet, int first, const std::vector<const char*>& blockNames, int blocks) {
    for (int block = 0; block < blocks; ++block) {
        const int column = Col('E') + block * 8;
        if (!blockNames.empty())
            Label(sheet, column, first - 3, blockNames[static_cast<size_t>(block)], column + 7,
                  first - 3);
        Label(sheet, column, first - 2, "primární (4)", column + 3, first - 2);
        Label(sheet, column + 4, first - 2, "recyklát (5)", column + 7, first - 2);
        for (int pair = 0; pair < 4; ++pair)
            Label(sheet, column + pair * 2, first - 1, pair % 2 == 0 ? Cz : Imported,
                  column + pair * 2 + 1, first - 1);
    }
}

std::unique_ptr<Sheet> ASheet(const std::string& name, const char* beverage, bool reusable) {
    auto sheet = std::make_unique<Sheet>(name);
    Tags(*sheet, Paid, beverage, "prodejní");
    sheet->Text(Col('A'), 2, name + " Prodejní obaly");
    sheet->Text(Col('E'), 3, "Vyplňujte v tunách");
    Label(*sheet, Col('A'), 4, "Materiál", Col('D'), 9);
    Label(*sheet, Col('E'), 4, "OBCHODNÍ (3) - Prodejní", Col('P'), 4);
    Label(*sheet, Col('E'), 5, "Měkké, flexibilní", Col('H'), 5);
    Label(*sheet, Col('I'), 5, "Pevné, pevné duté do 3 L ", Col('L'), 5);
    Label(*sheet, Col('M'), 5, "Pevné duté nad 3 L ", Col('P'), 5);
    SourceLabels(*sheet, 6, Col('E'), Col('P'));
    OriginLabels(*sheet, 7, Col('E'), Col('P'), 9);
    UpperMaterials(*sheet, true, !reusable);
    const int lowerFirst = reusable ? 40 : 41;
    if (reusable) {
        sheet->Inputs(Col('E'), 10, Col('P'), 35);
    } else {
        sheet->Inputs(Col('E'), 10, Col('P'), 34);
        sheet->Inputs(Col('I'), 35, Col('P'), 35);
        sheet->Inputs(Col('E'), 36, Col('P'), 36);
    }
    LowerHeader(*sheet, lowerFirst, {}, 1);
    LowerMaterials(*sheet, lowerFirst, true, "(10)");
    LowerInputs(*sheet, lowerFirst, lowerFirst + 11, 1);
    HiddenCheck(*sheet, Col('P'), Format("E10:P%d", lowerFirst + 11));
    return sheet;
}

// B sheets and the industrial sheet: two blocks of eight columns.
std::unique_ptr<Sheet> TwoBlockSheet(const std::string& name, const char* beverage,
                                     bool industrial) {
    auto sheet = std::make_unique<Sheet>(name);
    Tags(*sheet, Paid, beverage, industrial ? "průmyslové" : "skupinové, přepravní");
    sheet->Text(Col('A'), 2,
                name + (industrial ? " Průmyslové obaly" : " Skupinové a přepravní obaly"));
    sheet->Text(Col('E'), 3, "Vyplňujte v tunách");
    const char* first = industrial ? "Neobsahují nápoje (3)" : "Skupinové";
    const char* second = industrial ? "Obsahují nápoje" : "Přepravní";
    Label(*sheet, Col('A'), 4, "Materiál", Col('D'), 10);
    Label(*sheet, Col('E'), 4, industrial ? "PRŮMYSLOVÉ (2)" : "OBCHODNÍ (3)", Col('T'), 4);
    Label(*sheet, Col('E'), 5, first, Col('L'), 5);
    Label(*sheet, Col('M'), 5, second, Col('T'), 5);
    for (int column : {Col('E'), Col('M')}) {
        Label(*sheet, column, 6, "Měkké, flexibilní", column + 3, 6);
        Label(*sheet, column + 4, 6, "Pevné, pevné duté", column + 7, 6);
    }
    SourceLabels(*sheet, 7, Col('E'), Col('T'));
    OriginLabels(*sheet, 8, Col('E'), Col('T'), 10);
    UpperMaterials(*sheet, false, false);
    sheet->Inputs(Col('E'), 11, Col('T'), 35);
    const int lowerLast = industrial ? 53 : 50;
    LowerHeader(*sheet, 42, {first, second}, 2);
    LowerMaterials(*sheet, 42, industrial, "(9)");
    LowerInputs(*sheet, 42, lowerLast, 2);
    HiddenCheck(*sheet, Col('T'), Format("E11:T%d", lowerLast));
    return sheet;
}

constexpr const char* KMaterials[] = {"PET", "PE", "PP", "PS", "PVC", "Jiné"};

std::unique_ptr<Sheet> KSheet(const std::string& name, const char* beverage, bool industrial) {
    auto sheet = std::make_unique<Sheet>(name);
    Tags(*sheet, Paid, beverage, "kompozitní");
    sheet->Text(Col('A'), 2, name + " Kompozitní obaly podle materiálů");
    sheet->Text(Col('E'), 3, "Vyplňujte v tunách");
    const int first = industrial ? 11 : 10;
    const int last = industrial ? Col('H') : Col('J');
    Label(*sheet, Col('A'), 5, "Materiál", Col('D'), first - 1);
    if (industrial) {
        Label(*sheet, Col('E'), 5, "PRŮMYSLOVÉ (2)", last, 5);
        Label(*sheet, Col('E'), 6, "Neobsahují nápoje (3)", Col('F'), 6);
        Label(*sheet, Col('G'), 6, "Obsahují nápoje", Col('H'), 6);
        OriginLabels(*sheet, 8, Col('E'), last, 10);
    } else {
        Label(*sheet, Col('E'), 5, "OBCHODNÍ (3)", last, 5);
        Label(*sheet, Col('E'), 6, "Prodejní", Col('F'), 6);
        Label(*sheet, Col('G'), 6, "Skupinové", Col('H'), 6);
        Label(*sheet, Col('I'), 6, "Přepravní", Col('J'), 6);
        OriginLabels(*sheet, 7, Col('E'), last, 9);
    }
    int row = first;
    sheet->Text(Col('A'), row, "Plasty");
    for (const char* material : KMaterials)
        sheet->Text(Col('C'), row++, material);
    sheet->Text(Col('A'), row, "Kovy");
    sheet->Text(Col('C'), row++, "Al");
    sheet->Text(Col('C'), row++, "Fe");
    for (const char* material : {"Sklo", "Papír a vlnitá lepenka", "Dřevo", "Jiné"})
        sheet->Text(Col('A'), row++, material);
    sheet->Inputs(Col('E'), first, last, first + 11);
    HiddenCheck(*sheet, last, CellName(Col('E'), first) + ":" + CellName(last, first + 11));
    return sheet;
}

// The J2–J4 and O2–O4 materials from row 9, the kind in column kindColumn.
void SimpleMaterials(Sheet& sheet, int kindColumn) {
    int row = 9;
    sheet.Text(Col('A'), row, "Plasty");
    for (const char* material : KMaterials)
        sheet.Text(kindColumn, row++, material);
    sheet.Text(Col('A'), row, "Kovy");
    sheet.Text(kindColumn, row++, "Al");
    sheet.Text(kindColumn, row++, "Fe");
    for (const char* material : {"Sklo", "Papír a vlnitá lepenka", "Dřevo", "Textil", "Jiné "})
        sheet.Text(Col('A'), row++, material);
}

std::unique_ptr<Sheet> PaymentSheet(const std::string& name, const char* payment) {
    auto sheet = std::make_unique<Sheet>(name);
    Tags(*sheet, payment, "", "");
    sheet->Text(Col('A'), 2, name + " Obaly " + payment);
    sheet->Text(Col('E'), 3, "Vyplňujte v tunách");
    Label(*sheet, Col('A'), 4, "Materiál", Col('D'), 8);
    Label(*sheet, Col('E'), 4, "OBCHODNÍ (2)", Col('J'), 4);
    Label(*sheet, Col('K'), 4, "PRŮMYSLOVÉ (3)", Col('L'), 4);
    Label(*sheet, Col('E'), 5, "Prodejní", Col('F'), 5);
    Label(*sheet, Col('G'), 5, "Skupinové", Col('H'), 5);
    Label(*sheet, Col('I'), 5, "Přepravní", Col('J'), 5);
    OriginLabels(*sheet, 6, Col('E'), Col('L'), 8);
    SimpleMaterials(*sheet, Col('C'));
    sheet->Inputs(Col('E'), 9, Col('L'), 16);
    sheet->Inputs(Col('E'), 17, Col('F'), 17);
    sheet->Inputs(Col('K'), 17, Col('L'), 17);
    sheet->Inputs(Col('E'), 18, Col('L'), 21);
    HiddenCheck(*sheet, Col('L'), "E9:L21");
    return sheet;
}

std::unique_ptr<Sheet> LitteringSheet() {
    auto sheet = std::make_unique<Sheet>("L");
    Tags(*sheet, "jednorázové plasty", "", "");
    sheet->Text(Col('A'), 2, "L Vybrané plastové výrobky");
    Label(*sheet, Col('E'), 4, "Zpoplatněné", Col('G'), 4);
    sheet->Text(Col('H'), 4, "Předplacené");
    sheet->Text(Col('I'), 4, "Neplacené");
    sheet->Text(Col('J'), 4, "Exportované");
    const char* total = "celková hmotnost \nv tunách";
    sheet->Text(Col('E'), 5, "hmotnost plastu \nv tunách");
    for (int column : {Col('F'), Col('H'), Col('I'), Col('J')})
        sheet->Text(column, 5, total);
    sheet->Text(Col('G'), 5, "množství \nv kusech");
    Label(*sheet, Col('A'), 6, "Nádoby na nápoje (2)", Col('D'), 6);
    Label(*sheet, Col('A'), 7, "Sáčky a balení na potraviny (3)", Col('D'), 7);
    Label(*sheet, Col('A'), 8, "Nápojové kelímky", Col('C'), 9);
    sheet->Text(Col('D'), 8, "vyrobené z plastu (4)");
    sheet->Text(Col('D'), 9, "vyrobené částečně z plastu (5)");
    Label(*sheet, Col('A'), 10, "Nádoby na potraviny ", Col('C'), 11);
    sheet->Text(Col('D'), 10, "vyrobené z plastu (6)");
    sheet->Text(Col('D'), 11, "vyrobené částečně z plastu (7)");
    Label(*sheet, Col('A'), 12, "Plastové odnosné \ntašky (8)", Col('C'), 13);
    sheet->Text(Col('D'), 12, "Lehké plastové tašky \n15 < 50 mikronů ");
    sheet->Text(Col('D'), 13, "Lehké plastové tašky \n< 15 mikronů");
    sheet->Inputs(Col('E'), 9, Col('E'), 9);
    sheet->Inputs(Col('E'), 11, Col('E'), 11);
    sheet->Inputs(Col('F'), 6, Col('F'), 13);
    sheet->Inputs(Col('G'), 12, Col('G'), 13);
    sheet->Inputs(Col('H'), 6, Col('J'), 13);
    HiddenCheck(*sheet, Col('J'), "E6:J13");
    return sheet;
}

std::unique_ptr<Sheet> WithdrawalSheet() {
    auto sheet = std::make_unique<Sheet>("S1");
    Tags(*sheet, "stažené z oběhu", "", "");
    sheet->Text(Col('A'), 2, "S1 Opakovaně použitelné obaly stažené z oběhu");
    Label(*sheet, Col('D'), 3, "OBCHODNÍ (2)", Col('M'), 3);
    Label(*sheet, Col('N'), 3, "PRŮMYSLOVÉ (3)", Col('R'), 3);
    Label(*sheet, Col('D'), 4, "Prodejní", Col('H'), 4);
    Label(*sheet, Col('I'), 4, "Skupinové, Přepravní", Col('M'), 4);
    const char* ways[] = {"recyklováno \nv ČR", "recyklováno v jiných členských státech \nEU",
                          "recyklováno mimo EU", "energeticky využito", "opravy dřevěných obalů"};
    for (int block : {Col('D'), Col('I'), Col('N')}) {
        for (int i = 0; i < 5; ++i)
            Label(*sheet, block + i, 5, ways[i], block + i, 8);
        sheet->Inputs(block, 9, block + 3, 21);
        sheet->Inputs(block + 4, 19, block + 4, 19);
    }
    SimpleMaterials(*sheet, Col('B'));
    HiddenCheck(*sheet, Col('R'), "D9:R21");
    return sheet;
}

std::unique_ptr<Sheet> IntroSheet(int year, int quarter) {
    auto sheet = std::make_unique<Sheet>("Úvod");
    sheet->Text(Col('A'), 1, "2.74");
    sheet->Text(Col('B'), 2, "VÝKAZ O PRODUKCI OBALŮ");
    sheet->Text(Col('B'), 4, "Výkaz za");
    sheet->Number(Col('D'), 4, quarter);
    sheet->Text(Col('E'), 4, Format(". čtvrtletí roku %d", year));
    const struct {
        int labelColumn;
        int labelRow;
        const char* label;
        int column;
        int row;
    } fields[] = {
        {Col('B'), 5, "Druh výkazu", Col('D'), 5},
        {Col('B'), 6, "Název společnosti", Col('D'), 6},
        {Col('B'), 8, "Sídlo společnosti", Col('D'), 8},
        {Col('B'), 10, "E-mail pro příjem faktur", Col('E'), 10},
        {Col('B'), 12, "IČO", Col('C'), 12},
        {Col('E'), 12, "DIČ", Col('F'), 12},
        {Col('A'), 14, "Číslo Vaší objednávky", Col('B'), 14},
        {Col('D'), 14, "EKOKOM-ID", Col('F'), 14},
        {Col('B'), 18, "Kontaktní osoba", Col('D'), 18},
        {Col('B'), 19, "Tel", Col('C'), 19},
        {Col('B'), 20, "Fax", Col('C'), 20},
        {Col('B'), 21, "E-mail", Col('C'), 21},
    };
    for (const auto& field : fields) {
        sheet->Text(field.labelColumn, field.labelRow, field.label);
        sheet->Inputs(field.column, field.row, field.column, field.row);
    }
    sheet->Text(Col('E'), 14, "EK-");
    sheet->Merge(Col('D'), 6, Col('F'), 6);
    sheet->Merge(Col('D'), 8, Col('F'), 8);
    sheet->Text(Col('B'), 23, "Předpokládaná výše odměny (Kč)");
    sheet->Formula(Col('D'), 23, "SUM!B2", "0", false);
    sheet->inputName = "UVOD_HODNOTY";
    return sheet;
}

// One reconciliation: the composite rows of a block of a sheet against a
// column pair of its K sheet.
struct Reconciliation {
    std::string sheet;
    std::string block; // named in the error text, empty for a sheet of one block
    std::vector<int> upper;
    std::vector<int> lower;
    std::string upperColumns[2]; // CZ, imported
    std::string lowerColumns[2];
    std::string kSheet;
    char kColumns[2];
    int kFirst;
};

// The cells of those rows and columns as arguments of SUM, a run of rows as one range.
std::string CellsList(const std::string& sheet, const std::vector<int>& rows,
                      const std::string& columns) {
    std::string list;
    for (char column : columns) {
        for (size_t i = 0; i < rows.size();) {
            size_t j = i;
            while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
                ++j;
            list += (list.empty() ? "" : ",") + QuotedSheetName(sheet) + "!" + column +
                    std::to_string(rows[i]) + ":" + column + std::to_string(rows[j]);
            i = j + 1;
        }
    }
    return list;
}

std::vector<Reconciliation> Reconciliations() {
    const std::vector<int> upper = {29, 30, 33, 34, 35};
    std::vector<Reconciliation> all;
    for (const std::string prefix : {"J", "O"}) {
        const bool single = prefix == "J";
        for (const std::string group : {"1-1", "1-2"}) {
            const std::string base = prefix + group;
            const std::string k = base + "K";
            std::vector<int> aUpper = upper;
            if (single)
                aUpper.push_back(36);
            const std::vector<int> aLower =
                single ? std::vector<int>{43, 48, 50} : std::vector<int>{42, 47, 49};
            all.push_back({base + "A",
                           "",
                           aUpper,
                           aLower,
                           {"EGIKMO", "FHJLNP"},
                           {"EI", "GK"},
                           k,
                           {'E', 'F'},
                           10});
            all.push_back({base + "B",
                           "skupinové",
                           upper,
                           {46, 48},
                           {"EGIK", "FHJL"},
                           {"EI", "GK"},
                           k,
                           {'G', 'H'},
                           10});
            all.push_back({base + "B",
                           "přepravní",
                           upper,
                           {46, 48},
                           {"MOQS", "NPRT"},
                           {"MQ", "OS"},
                           k,
                           {'I', 'J'},
                           10});
        }
        const std::string industrial = prefix + "1-3";
        all.push_back({industrial,
                       "neobsahují nápoje",
                       upper,
                       {44, 49, 51},
                       {"EGIK", "FHJL"},
                       {"EI", "GK"},
                       industrial + "K",
                       {'E', 'F'},
                       11});
        all.push_back({industrial,
                       "obsahují nápoje",
                       upper,
                       {44, 49, 51},
                       {"MOQS", "NPRT"},
                       {"MQ", "OS"},
                       industrial + "K",
                       {'G', 'H'},
                       11});
    }
    return all;
}

// The composite reconciliations on KONTROLY (a text and a flag per row) and
// their result on TEST.
void Checks(Sheet& checks, Sheet& test) {
    int row = 0;
    for (const Reconciliation& r : Reconciliations()) {
        for (int origin = 0; origin < 2; ++origin) {
            ++row;
            const std::string sum = "SUM(" + CellsList(r.sheet, r.upper, r.upperColumns[origin]) +
                                    "," + CellsList(r.sheet, r.lower, r.lowerColumns[origin]) + ")";
            const std::string kSum =
                Format("SUM(%s!%c%d:%c%d)", QuotedSheetName(r.kSheet).c_str(), r.kColumns[origin],
                       r.kFirst, r.kColumns[origin], r.kFirst + 11);
            checks.Text(Col('A'), row,
                        Format("Kompozitní obaly na listu %s (%s%s) nesouhlasí s listem %s.",
                               r.sheet.c_str(), r.block.empty() ? "" : (r.block + ", ").c_str(),
                               origin == 0 ? "vyrobené, nakoupené v ČR" : "importované do ČR",
                               r.kSheet.c_str()));
            checks.Formula(Col('B'), row, "IF(ABS(" + sum + "-" + kSum + ")>0.0005,1,0)", "0",
                           false);
            test.Formula(Col('A'), row + 2,
                         Format("IF(KONTROLY!B%d=1,KONTROLY!A%d,\"\")", row, row), "", true);
        }
    }
    test.Text(Col('A'), 1, "Kontrola výkazu");
    test.Formula(Col('A'), 2,
                 Format("IF(SUM(KONTROLY!B1:B%d)=0,\"VÝKAZ JE BEZ CHYB\",\"VÝKAZ OBSAHUJE "
                        "NÁSLEDUJÍCÍ CHYBY:\")",
                        row),
                 "VÝKAZ JE BEZ CHYB", true);
}

std::string InputName(const std::string& sheet) {
    std::string name;
    std::copy_if(sheet.begin(), sheet.end(), std::back_inserter(name),
                 [](char c) { return c != '-'; });
    return name + "_HODNOTY";
}

} // namespace

std::vector<std::unique_ptr<Sheet>> SyntheticFormSheets(int year, int quarter) {
    std::vector<std::unique_ptr<Sheet>> sheets;
    auto fee = std::make_unique<Sheet>("SUM");
    fee->hidden = true;
    fee->Text(Col('A'), 1, "Odhad odměny");
    std::string paid;
    for (const char* name :
         {"J1-1A", "J1-1B", "J1-2A", "J1-2B", "J1-3", "O1-1A", "O1-1B", "O1-2A", "O1-2B", "O1-3"})
        paid += (paid.empty() ? "" : "+") + std::string("SUM(") + InputName(name) + ")";
    fee->Formula(Col('B'), 2, "ROUND((" + paid + ")*1000,0)", "0", false);
    auto checks = std::make_unique<Sheet>("KONTROLY");
    checks->hidden = true;
    auto test = std::make_unique<Sheet>("TEST");
    Checks(*checks, *test);
    sheets.push_back(std::move(fee));
    sheets.push_back(std::move(checks));
    sheets.push_back(std::move(test));
    sheets.push_back(IntroSheet(year, quarter));

    const auto data = [&](std::unique_ptr<Sheet> sheet) {
        sheet->inputName = InputName(sheet->name);
        sheets.push_back(std::move(sheet));
    };
    for (const std::string prefix : {"J", "O"}) {
        const bool reusable = prefix == "O";
        data(ASheet(prefix + "1-1A", "neobsahují nápoje", reusable));
        data(TwoBlockSheet(prefix + "1-1B", "neobsahují nápoje", false));
        data(KSheet(prefix + "1-1K", "neobsahují nápoje", false));
        data(ASheet(prefix + "1-2A", "obsahují nápoje", reusable));
        data(TwoBlockSheet(prefix + "1-2B", "obsahují nápoje", false));
        data(KSheet(prefix + "1-2K", "obsahují nápoje", false));
        data(TwoBlockSheet(prefix + "1-3", "", true));
        data(KSheet(prefix + "1-3K", "", true));
        data(PaymentSheet(prefix + "2", "předplacené"));
        data(PaymentSheet(prefix + "3", "neplacené"));
        data(PaymentSheet(prefix + "4", "exportované"));
        if (!reusable)
            data(LitteringSheet());
    }
    data(WithdrawalSheet());
    auto statistics = std::make_unique<Sheet>("S2");
    statistics->Text(Col('A'), 2, "S2 Statistika plastových přepravek a palet");
    sheets.push_back(std::move(statistics));
    return sheets;
}

} // namespace tarvo
