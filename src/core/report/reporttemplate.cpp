#include "core/report/reporttemplate.h"

#include "core/data/codelists.h"
#include "core/data/comerror.h"
#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/report/reportbuild.h"
#include "core/report/reportfills.h"
#include "core/workbook/workbook.h"
#include "core/workbook/xmlelements.h"
#include "core/workbook/ziparchive.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <span>

namespace tarvo {

namespace {

// Cell styles of styles.xml (the order of cellXfs below).
enum Style {
    Plain = 0,
    Title = 1,
    Header = 2,
    Label = 3,
    Input = 4,
    NotApplicable = 5,
    Total = 6,
    TotalLabel = 7,
    VersionNote = 8,
    IntroInput = 9,
    IntroLabel = 10,
    Note = 11,
};

constexpr const char* StylesXml =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<numFmts count="1"><numFmt numFmtId="164" formatCode="0.0000"/></numFmts>)"
    R"(<fonts count="5">)"
    R"(<font><sz val="11"/><name val="Calibri"/><family val="2"/></font>)"
    R"(<font><b/><sz val="11"/><name val="Calibri"/><family val="2"/></font>)"
    R"(<font><b/><sz val="14"/><name val="Calibri"/><family val="2"/></font>)"
    R"(<font><i/><sz val="9"/><color rgb="FF808080"/><name val="Calibri"/><family val="2"/></font>)"
    R"(<font><i/><sz val="10"/><name val="Calibri"/><family val="2"/></font>)"
    R"(</fonts>)"
    R"(<fills count="6">)"
    R"(<fill><patternFill patternType="none"/></fill>)"
    R"(<fill><patternFill patternType="gray125"/></fill>)"
    R"(<fill><patternFill patternType="solid"><fgColor rgb="FFD9E1F2"/><bgColor indexed="64"/></patternFill></fill>)"
    R"(<fill><patternFill patternType="solid"><fgColor rgb="FFBFBFBF"/><bgColor indexed="64"/></patternFill></fill>)"
    R"(<fill><patternFill patternType="solid"><fgColor rgb="FFF2F2F2"/><bgColor indexed="64"/></patternFill></fill>)"
    R"(<fill><patternFill patternType="solid"><fgColor rgb="FFFFF2CC"/><bgColor indexed="64"/></patternFill></fill>)"
    R"(</fills>)"
    R"(<borders count="2">)"
    R"(<border><left/><right/><top/><bottom/><diagonal/></border>)"
    R"(<border><left style="thin"><color auto="1"/></left><right style="thin"><color auto="1"/></right>)"
    R"(<top style="thin"><color auto="1"/></top><bottom style="thin"><color auto="1"/></bottom><diagonal/></border>)"
    R"(</borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="12">)"
    R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="0" fontId="2" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
    R"(<xf numFmtId="0" fontId="1" fillId="2" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1">)"
    R"(<alignment horizontal="center" vertical="center" wrapText="1"/></xf>)"
    R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="1" xfId="0" applyBorder="1" applyAlignment="1"><alignment vertical="center"/></xf>)"
    R"(<xf numFmtId="164" fontId="0" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyBorder="1"/>)"
    R"(<xf numFmtId="0" fontId="0" fillId="3" borderId="1" xfId="0" applyFill="1" applyBorder="1"/>)"
    R"(<xf numFmtId="164" fontId="1" fillId="4" borderId="1" xfId="0" applyNumberFormat="1" applyFont="1" applyFill="1" applyBorder="1"/>)"
    R"(<xf numFmtId="0" fontId="1" fillId="4" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1"/>)"
    R"(<xf numFmtId="0" fontId="3" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
    R"(<xf numFmtId="49" fontId="0" fillId="5" borderId="1" xfId="0" applyNumberFormat="1" applyFill="1" applyBorder="1" applyAlignment="1">)"
    R"(<alignment horizontal="left"/></xf>)"
    R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1"><alignment horizontal="right"/></xf>)"
    R"(<xf numFmtId="0" fontId="4" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
    R"(</cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

// Texts of all sheets, each stored once.
class SharedStrings {
public:
    int Index(const std::string& text) {
        const auto [it, added] = m_index.emplace(text, static_cast<int>(m_texts.size()));
        if (added)
            m_texts.push_back(text);
        ++m_uses;
        return it->second;
    }

    std::string Xml() const {
        std::string xml = Format("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                 "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                                 "2006/main\" count=\"%d\" uniqueCount=\"%zu\">",
                                 m_uses, m_texts.size());
        for (const std::string& text : m_texts)
            xml += "<si><t xml:space=\"preserve\">" + XmlEscaped(text) + "</t></si>";
        return xml + "</sst>";
    }

private:
    std::map<std::string, int> m_index;
    std::vector<std::string> m_texts;
    int m_uses = 0;
};

// One sheet being laid out: cells by position, column widths, merged areas.
class SheetBuilder {
public:
    SheetBuilder(std::string name, SharedStrings& strings)
        : m_name(std::move(name)), m_strings(strings) {}

    const std::string& Name() const { return m_name; }

    void Text(int column, int row, const std::string& text, Style style) {
        m_cells[{row, column}] = {"s", std::to_string(m_strings.Index(text)), style};
    }
    void Number(int column, int row, long value, Style style) {
        m_cells[{row, column}] = {"n", std::to_string(value), style};
    }
    void Formula(int column, int row, const std::string& formula, Style style) {
        m_cells[{row, column}] = {"f", formula, style};
    }
    void Styled(int column, int row, Style style) { m_cells[{row, column}] = {"", "", style}; }
    void Merge(int column1, int row1, int column2, int row2) {
        m_merges.push_back(CellName(column1, row1) + ":" + CellName(column2, row2));
    }
    void Width(int column, double width) { m_widths[column] = width; }
    void RowHeight(int row, double height) { m_heights[row] = height; }
    void Freeze(int column, int row) { m_freeze = {column, row}; }
    void Landscape() { m_landscape = true; }
    void Selected() { m_selected = true; }

    std::string Xml() const {
        std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
        xml += "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>";
        xml += "<sheetViews><sheetView ";
        if (m_selected)
            xml += "tabSelected=\"1\" ";
        xml += "workbookViewId=\"0\">";
        if (m_freeze.row > 1)
            xml += Format("<pane xSplit=\"%d\" ySplit=\"%d\" topLeftCell=\"%s\" "
                          "activePane=\"bottomRight\" state=\"frozen\"/>",
                          m_freeze.column, m_freeze.row - 1,
                          CellName(m_freeze.column, m_freeze.row).c_str());
        xml += "</sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
        if (!m_widths.empty()) {
            xml += "<cols>";
            for (const auto& [column, width] : m_widths)
                xml += Format("<col min=\"%d\" max=\"%d\" width=\"%.2f\" customWidth=\"1\"/>",
                              column + 1, column + 1, width);
            xml += "</cols>";
        }
        xml += "<sheetData>";
        int openRow = 0;
        for (const auto& [position, cell] : m_cells) {
            const auto [row, column] = position;
            if (row != openRow) {
                if (openRow)
                    xml += "</row>";
                openRow = row;
                xml += Format("<row r=\"%d\"", row);
                if (const auto h = m_heights.find(row); h != m_heights.end())
                    xml += Format(" ht=\"%.1f\" customHeight=\"1\"", h->second);
                xml += ">";
            }
            xml += Format("<c r=\"%s\"", CellName(column, row).c_str());
            if (cell.style != Plain)
                xml += Format(" s=\"%d\"", cell.style);
            if (cell.kind == "s")
                xml += " t=\"s\"><v>" + cell.value + "</v></c>";
            else if (cell.kind == "n")
                xml += "><v>" + cell.value + "</v></c>";
            else if (cell.kind == "f")
                xml += "><f>" + XmlEscaped(cell.value) + "</f></c>";
            else
                xml += "/>";
        }
        if (openRow)
            xml += "</row>";
        xml += "</sheetData>";
        if (!m_merges.empty()) {
            xml += Format("<mergeCells count=\"%zu\">", m_merges.size());
            for (const std::string& merge : m_merges)
                xml += "<mergeCell ref=\"" + merge + "\"/>";
            xml += "</mergeCells>";
        }
        xml += "<pageMargins left=\"0.5\" right=\"0.5\" top=\"0.75\" bottom=\"0.75\" "
               "header=\"0.3\" footer=\"0.3\"/>";
        xml += Format("<pageSetup paperSize=\"9\" orientation=\"%s\" fitToWidth=\"1\" "
                      "fitToHeight=\"0\"/>",
                      m_landscape ? "landscape" : "portrait");
        return xml + "</worksheet>";
    }

private:
    struct Cell {
        std::string kind; // "s", "n", "f" or "" (style only)
        std::string value;
        Style style = Plain;
    };

    std::string m_name;
    SharedStrings& m_strings;
    std::map<std::pair<int, int>, Cell> m_cells; // (row, column)
    std::map<int, double> m_widths;
    std::map<int, double> m_heights;
    std::vector<std::string> m_merges;
    CellRef m_freeze{0, 0};
    bool m_landscape = false;
    bool m_selected = false;
};

constexpr int ColumnA = 0;
constexpr int ColumnB = 1;
constexpr int FirstValueColumn = 2; // C

void IntroSheet(SheetBuilder& sheet, int year, int quarter, const std::string& versionText,
                Quantity version) {
    const bool invoiceMail = version >= Quantity::FromScaled(20200);
    sheet.Selected();
    sheet.Width(0, 6);
    sheet.Width(1, 18);
    sheet.Width(2, 24);
    sheet.Width(3, 24);
    sheet.Width(4, 16);
    sheet.Width(5, 26);
    sheet.Text(ColumnA, 1, versionText, VersionNote);
    sheet.Text(ColumnB, 2, "Čtvrtletní výkaz o produkci obalů", Title);
    sheet.Merge(1, 2, 5, 2);
    sheet.RowHeight(2, 24);
    sheet.Text(ColumnB, 3, "Rok:", IntroLabel);
    sheet.Number(3, 3, year, IntroInput);
    sheet.Text(ColumnB, 4, "Výkaz za čtvrtletí:", IntroLabel);
    sheet.Number(3, 4, quarter, IntroInput);
    sheet.Text(ColumnB, 5, "Druh výkazu:", IntroLabel);
    sheet.Text(3, 5, "řádný", IntroInput);
    sheet.Text(ColumnB, 7, "Společnost:", IntroLabel);
    sheet.Styled(3, 7, IntroInput);
    sheet.Styled(4, 7, IntroInput);
    sheet.Styled(5, 7, IntroInput);
    sheet.Merge(3, 7, 5, 7);
    sheet.Text(ColumnB, 9, "Sídlo:", IntroLabel);
    sheet.Styled(3, 9, IntroInput);
    sheet.Styled(4, 9, IntroInput);
    sheet.Styled(5, 9, IntroInput);
    sheet.Merge(3, 9, 5, 9);

    // Label cell, its text, the input cell.
    struct Field {
        int labelColumn;
        int labelRow;
        const char* label;
        int column;
        int row;
    };
    static constexpr Field OldFields[] = {
        {1, 11, "IČ:", 2, 11},         {4, 11, "DIČ:", 5, 11},
        {4, 13, "EKO-KOM ID:", 5, 13}, {1, 17, "Kontaktní osoba:", 3, 17},
        {1, 18, "Tel.:", 2, 18},       {1, 19, "Fax:", 2, 19},
        {1, 20, "e-mail:", 2, 20},
    };
    static constexpr Field NewFields[] = {
        {3, 11, "E-mail pro příjem faktur:", 4, 11},
        {1, 13, "IČ:", 2, 13},
        {4, 13, "DIČ:", 5, 13},
        {4, 15, "EKO-KOM ID:", 5, 15},
        {1, 19, "Kontaktní osoba:", 3, 19},
        {1, 20, "Tel.:", 2, 20},
        {1, 21, "Fax:", 2, 21},
        {1, 22, "e-mail:", 2, 22},
    };
    const int contactRow = invoiceMail ? 18 : 16;
    sheet.Text(ColumnB, contactRow, "Kontaktní údaje", Header);
    sheet.Styled(2, contactRow, Header);
    sheet.Merge(1, contactRow, 2, contactRow);
    const auto fields =
        invoiceMail ? std::span<const Field>(NewFields) : std::span<const Field>(OldFields);
    for (const Field& f : fields) {
        sheet.Text(f.labelColumn, f.labelRow, f.label, IntroLabel);
        sheet.Styled(f.column, f.row, IntroInput);
    }
    const int contactPersonRow = invoiceMail ? 19 : 17;
    sheet.Styled(4, contactPersonRow, IntroInput);
    sheet.Merge(3, contactPersonRow, 4, contactPersonRow);
    if (invoiceMail) {
        sheet.Styled(5, 11, IntroInput);
        sheet.Merge(4, 11, 5, 11);
    }
    sheet.Text(ColumnB, contactPersonRow + 5,
               "Hmotnosti obalů se uvádějí v tunách na čtyři desetinná místa.", Note);
}

// Column headers of a data sheet: a block of three columns per packaging
// type, and the totals column after them.
int HeaderBlocks(SheetBuilder& sheet, int blockRow, const char* const (&inner)[3],
                 Quantity version) {
    static constexpr struct {
        int type;
        const char* label;
    } Blocks[] = {{2, "prodejní"}, {1, "skupinový"}, {0, "přepravní"}, {3, "průmyslový"}};
    int lastColumn = FirstValueColumn - 1;
    for (const auto& block : Blocks) {
        if (block.type == 3 && version < NewLayoutVersion)
            continue;
        const int first = lastColumn + 1;
        sheet.Text(first, blockRow, Format("Obal %s", block.label), Header);
        sheet.Styled(first + 1, blockRow, Header);
        sheet.Styled(first + 2, blockRow, Header);
        sheet.Merge(first, blockRow, first + 2, blockRow);
        for (int i = 0; i < 3; ++i) {
            sheet.Text(first + i, blockRow + 1, inner[i], Header);
            sheet.Width(first + i, 13);
        }
        lastColumn = first + 2;
    }
    const int totalColumn = lastColumn + 1;
    sheet.Text(totalColumn, blockRow, "Celkem", Header);
    sheet.Styled(totalColumn, blockRow + 1, Header);
    sheet.Merge(totalColumn, blockRow, totalColumn, blockRow + 1);
    sheet.Width(totalColumn, 13);
    sheet.RowHeight(blockRow + 1, 32);
    return lastColumn;
}

// A sheet of the material table: rows by material, a cell per type and
// origin (or discard kind) where the form asks for one.
void MaterialSheet(SheetBuilder& sheet, const std::string& title, bool reusable, bool discard,
                   Quantity version) {
    const int firstRow = MaterialRow(11, reusable, version); // the first material of the form
    const int blockRow = firstRow - 2;
    sheet.Landscape();
    sheet.Width(ColumnA, 6);
    sheet.Width(ColumnB, 32);
    sheet.Text(ColumnA, 1, sheet.Name() + "  " + title, Title);
    sheet.Text(ColumnA, 2, "Hmotnost v tunách", Note);
    sheet.Text(ColumnA, blockRow, "Č. ř.", Header);
    sheet.Styled(ColumnA, blockRow + 1, Header);
    sheet.Merge(ColumnA, blockRow, ColumnA, blockRow + 1);
    sheet.Text(ColumnB, blockRow, "Materiál", Header);
    sheet.Styled(ColumnB, blockRow + 1, Header);
    sheet.Merge(ColumnB, blockRow, ColumnB, blockRow + 1);
    static constexpr const char* Origins[3] = {"vyrobený v ČR", "dovezený do ČR", "nakoupený v ČR"};
    static constexpr const char* Kinds[3] = {"recyklováno", "energeticky využito", "odstraněno"};
    const int lastColumn = HeaderBlocks(sheet, blockRow, discard ? Kinds : Origins, version);
    const int totalColumn = lastColumn + 1;
    sheet.Freeze(FirstValueColumn, firstRow);

    int lastRow = firstRow;
    for (int material = 0; material < Materials.size; ++material) {
        const int row = MaterialRow(material, reusable, version);
        if (row == 0)
            continue;
        lastRow = std::max(lastRow, row);
        sheet.Number(ColumnA, row, row - firstRow + 1, Label);
        sheet.Text(ColumnB, row, Materials.Label(material), Label);
        for (int column = FirstValueColumn; column <= lastColumn; ++column) {
            const int type = (column - FirstValueColumn) / 3;
            static constexpr int TypeOfBlock[] = {2, 1, 0, 3};
            const bool used = MaterialAllowsType(material, TypeOfBlock[type]);
            if (used)
                sheet.Styled(column, row, Input);
            else
                sheet.Styled(column, row, NotApplicable);
        }
        sheet.Formula(totalColumn, row,
                      Format("SUM(%s:%s)", CellName(FirstValueColumn, row).c_str(),
                             CellName(lastColumn, row).c_str()),
                      Total);
    }
    const int sumRow = lastRow + 1;
    sheet.Styled(ColumnA, sumRow, TotalLabel);
    sheet.Text(ColumnB, sumRow, "Celkem", TotalLabel);
    for (int column = FirstValueColumn; column <= totalColumn; ++column)
        sheet.Formula(column, sumRow,
                      Format("SUM(%s:%s)", CellName(column, firstRow).c_str(),
                             CellName(column, lastRow).c_str()),
                      Total);
}

void StatisticsSheet(SheetBuilder& sheet, Quantity version) {
    const auto row = [&](int category, bool reusable) {
        return StatisticsCell(category, reusable, version);
    };
    const int firstRow = row(1, true)->row;
    const int headerRow = firstRow - 1;
    sheet.Width(ColumnA, 6);
    sheet.Width(ColumnB, 30);
    sheet.Width(2, 4);
    sheet.Width(3, 4);
    sheet.Width(4, 18);
    sheet.Width(5, 4);
    sheet.Width(6, 4);
    sheet.Width(7, 18);
    sheet.Text(ColumnA, 1, sheet.Name() + "  Statistické údaje: palety a nápojové kartony", Title);
    sheet.Text(ColumnA, 2, "Hmotnost v tunách", Note);
    sheet.Text(ColumnB, headerRow, "Druh", Header);
    sheet.Styled(2, headerRow, Header);
    sheet.Styled(3, headerRow, Header);
    sheet.Merge(ColumnB, headerRow, 3, headerRow);
    sheet.Text(4, headerRow, "opakovaně použitelné", Header);
    sheet.Text(7, headerRow, "na jedno použití", Header);
    sheet.RowHeight(headerRow, 32);
    for (int category = 1; category <= 3; ++category) {
        const int r = firstRow + category - 1;
        sheet.Text(ColumnB, r, StatCategories.Label(category), Label);
        sheet.Styled(2, r, Label);
        sheet.Styled(3, r, Label);
        sheet.Merge(ColumnB, r, 3, r);
        for (const bool reusable : {true, false}) {
            const int column = reusable ? 4 : 7;
            sheet.Styled(column, r, row(category, reusable) ? Input : NotApplicable);
        }
    }
}

std::string ContentTypes(size_t sheetCount) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+"
        "xml\"/>";
    for (size_t i = 1; i <= sheetCount; ++i)
        xml += Format("<Override PartName=\"/xl/worksheets/sheet%zu.xml\" "
                      "ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>",
                      i);
    xml += "<Override PartName=\"/xl/styles.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+"
           "xml\"/>"
           "<Override PartName=\"/xl/sharedStrings.xml\" "
           "ContentType=\"application/"
           "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
           "<Override PartName=\"/docProps/core.xml\" "
           "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
           "</Types>";
    return xml;
}

constexpr const char* PackageRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
    "core-properties\" Target=\"docProps/core.xml\"/>"
    "</Relationships>";

std::string CoreProperties(int year, int quarter) {
    return Format(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<cp:coreProperties "
        "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
        "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
        "<dc:title>Čtvrtletní výkaz o produkci obalů, %i. čtvrtletí %i</dc:title>"
        "<dc:creator>Tarvo</dc:creator>"
        "</cp:coreProperties>",
        quarter, year);
}

std::string WorkbookXml(const std::vector<SheetBuilder>& sheets, int headerRows) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<bookViews><workbookView activeTab=\"0\"/></bookViews><sheets>";
    for (size_t i = 0; i < sheets.size(); ++i)
        xml += Format("<sheet name=\"%s\" sheetId=\"%zu\" r:id=\"rId%zu\"/>",
                      XmlEscaped(sheets[i].Name()).c_str(), i + 1, i + 1);
    xml += "</sheets><definedNames>";
    // Every data sheet prints its headers on each page.
    for (size_t i = 1; i < sheets.size(); ++i)
        xml += Format("<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"%zu\">'%s'!$1:$%d"
                      "</definedName>",
                      i, sheets[i].Name().c_str(), headerRows);
    return xml + "</definedNames><calcPr calcId=\"191029\" fullCalcOnLoad=\"1\"/></workbook>";
}

std::string WorkbookRels(size_t sheetCount) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    const char* base = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    for (size_t i = 1; i <= sheetCount; ++i)
        xml += Format("<Relationship Id=\"rId%zu\" Type=\"%sworksheet\" "
                      "Target=\"worksheets/sheet%zu.xml\"/>",
                      i, base, i);
    xml += Format("<Relationship Id=\"rId%zu\" Type=\"%sstyles\" Target=\"styles.xml\"/>",
                  sheetCount + 1, base);
    xml += Format("<Relationship Id=\"rId%zu\" Type=\"%ssharedStrings\" "
                  "Target=\"sharedStrings.xml\"/>",
                  sheetCount + 2, base);
    return xml + "</Relationships>";
}

// Writes the entries into a new archive at path; nothing is left behind on failure.
void WriteArchive(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
    ZipArchive zip;
    const auto fail = [&]() {
        throw ComError(WorkbookError::Failed, Format("Předlohu výkazu '%s' nelze zapsat: %s",
                                                     path.c_str(), zip.ErrorText().c_str()));
    };
    if (!zip.Open(path, ZipArchive::Mode::New))
        fail();
    for (const auto& [name, data] : entries) {
        if (!zip.AddData(name, data))
            fail();
    }
    if (!zip.Close())
        fail();
}

} // namespace

void MakeReportTemplate(const std::string& path, int year, int quarter,
                        const std::string& versionText) {
    std::error_code ec;
    if (std::filesystem::exists(PathOf(path), ec))
        throw ComError(WorkbookError::Failed,
                       Format("Soubor '%s' již existuje, předloha jej nepřepíše.", path.c_str()));
    const Quantity version = ParseTemplateVersion(versionText);
    SharedStrings strings;
    std::vector<SheetBuilder> sheets;
    sheets.emplace_back("Úvod", strings);
    IntroSheet(sheets.back(), year, quarter, versionText, version);

    static constexpr struct {
        const char* name;
        const char* title;
        bool reusable;
    } Dispatch[] = {
        {"1-1", "Obaly na jedno použití uvedené na trh – zpoplatněné", false},
        {"1-2", "Obaly na jedno použití uvedené na trh – předplacené", false},
        {"1-3", "Obaly na jedno použití uvedené na trh – neplacené", false},
        {"1-4", "Obaly na jedno použití vyvezené", false},
        {"2-1", "Opakovaně použitelné obaly uvedené na trh – zpoplatněné", true},
        {"2-2", "Opakovaně použitelné obaly uvedené na trh – předplacené", true},
        {"2-3", "Opakovaně použitelné obaly uvedené na trh – neplacené", true},
        {"2-4", "Opakovaně použitelné obaly vyvezené", true},
    };
    for (const auto& d : Dispatch) {
        sheets.emplace_back(d.name, strings);
        MaterialSheet(sheets.back(), d.title, d.reusable, false, version);
    }
    sheets.emplace_back("3-1", strings);
    MaterialSheet(sheets.back(), "Opakovaně použitelné obaly vyřazené z oběhu", true, true,
                  version);
    sheets.emplace_back("4-1", strings);
    StatisticsSheet(sheets.back(), version);

    std::vector<std::pair<std::string, std::string>> entries;
    entries.emplace_back("[Content_Types].xml", ContentTypes(sheets.size()));
    entries.emplace_back("_rels/.rels", PackageRels);
    entries.emplace_back("docProps/core.xml", CoreProperties(year, quarter));
    entries.emplace_back("xl/workbook.xml",
                         WorkbookXml(sheets, MaterialRow(11, false, version) - 1));
    entries.emplace_back("xl/_rels/workbook.xml.rels", WorkbookRels(sheets.size()));
    entries.emplace_back("xl/styles.xml", StylesXml);
    for (size_t i = 0; i < sheets.size(); ++i)
        entries.emplace_back(Format("xl/worksheets/sheet%zu.xml", i + 1), sheets[i].Xml());
    entries.emplace_back("xl/sharedStrings.xml", strings.Xml());
    WriteArchive(path, entries);
}

std::vector<std::string> WriteQuarterTemplates(const std::string& folder, int year) {
    std::vector<std::string> written;
    for (int quarter = 1; quarter <= 4; ++quarter) {
        const std::string path = QuarterTemplatePath(folder, year, quarter);
        std::error_code ec;
        if (std::filesystem::exists(PathOf(path), ec))
            continue;
        MakeReportTemplate(path, year, quarter);
        written.push_back(path);
    }
    return written;
}

} // namespace tarvo
