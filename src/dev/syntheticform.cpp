#include "dev/syntheticform.h"

#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/workbook/workbook.h"
#include "core/workbook/xmlelements.h"
#include "core/workbook/ziparchive.h"
#include "dev/syntheticformsheet.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace tarvo {

namespace {

// Cell styles (the order of cellXfs): locked plain, unlocked input with
// three decimals, locked label that wraps its lines.
enum Style { Locked = 0, Input = 1, Wrapped = 2 };

constexpr const char* StylesXml =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<numFmts count="1"><numFmt numFmtId="164" formatCode="0.000"/></numFmts>)"
    R"(<fonts count="1"><font><sz val="10"/><name val="Arial"/><family val="2"/></font></fonts>)"
    R"(<fills count="3"><fill><patternFill patternType="none"/></fill>)"
    R"(<fill><patternFill patternType="gray125"/></fill>)"
    R"(<fill><patternFill patternType="solid"><fgColor rgb="FFFFFFCC"/><bgColor indexed="64"/>)"
    R"(</patternFill></fill></fills>)"
    R"(<borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border>)"
    R"(<border><left style="thin"><color auto="1"/></left><right style="thin"><color auto="1"/>)"
    R"(</right><top style="thin"><color auto="1"/></top><bottom style="thin"><color auto="1"/>)"
    R"(</bottom><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="164" fontId="0" fillId="2" borderId="1" xfId="0" applyNumberFormat="1" )"
    R"(applyFill="1" applyBorder="1" applyProtection="1"><protection locked="0"/></xf>)"
    R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1">)"
    R"(<alignment vertical="center" wrapText="1"/></xf></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

constexpr const char* Relationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Texts of all sheets, each stored once.
class SharedStrings {
public:
    size_t Index(const std::string& text) {
        const auto [it, added] = m_index.emplace(text, m_texts.size());
        if (added)
            m_texts.push_back(text);
        return it->second;
    }

    std::string Xml() const {
        std::string xml = Format("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                 "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                                 "2006/main\" uniqueCount=\"%zu\">",
                                 m_texts.size());
        for (const std::string& text : m_texts)
            xml += "<si><t xml:space=\"preserve\">" + XmlEscaped(text) + "</t></si>";
        return xml + "</sst>";
    }

private:
    std::map<std::string, size_t> m_index;
    std::vector<std::string> m_texts;
};

std::string NumberText(double value) {
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

std::string AbsoluteArea(const std::string& area) {
    const size_t colon = area.find(':');
    const CellRange range = ParseCellRange(area);
    const auto absolute = [](CellRef cell) {
        const std::string name = CellName(cell.column, cell.row);
        const size_t digit = name.find_first_of("0123456789");
        return "$" + name.substr(0, digit) + "$" + name.substr(digit);
    };
    return colon == std::string::npos ? absolute(range.first)
                                      : absolute(range.first) + ":" + absolute(range.last);
}

std::string SheetXml(const SyntheticForm::Sheet& sheet, bool selected, SharedStrings& strings) {
    using Cell = SyntheticForm::Sheet::Cell;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                      "main\" xmlns:r=\"";
    xml += Relationships;
    xml += "\"><sheetViews><sheetView ";
    if (selected)
        xml += "tabSelected=\"1\" ";
    xml += "workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"12.75\"/>"
           "<cols><col min=\"1\" max=\"4\" width=\"16\" customWidth=\"1\"/>";
    for (int column : sheet.hiddenColumns)
        xml += Format("<col min=\"%d\" max=\"%d\" width=\"9\" hidden=\"1\" customWidth=\"1\"/>",
                      column + 1, column + 1);
    xml += "</cols><sheetData>";
    int openRow = 0;
    for (const auto& [position, cell] : sheet.cells) {
        const auto [row, column] = position;
        const int style = !cell.locked ? Input : cell.wrap ? Wrapped : Locked;
        if (cell.kind == Cell::Kind::Blank && style == Locked)
            continue;
        if (row != openRow) {
            if (openRow)
                xml += "</row>";
            openRow = row;
            xml += Format("<row r=\"%d\">", row);
        }
        xml += "<c r=\"" + CellName(column, row) + "\"";
        if (style != Locked)
            xml += Format(" s=\"%d\"", style);
        switch (cell.kind) {
        case Cell::Kind::Blank:
            xml += "/>";
            break;
        case Cell::Kind::Text:
            xml += Format(" t=\"s\"><v>%zu</v></c>", strings.Index(cell.text));
            break;
        case Cell::Kind::Number:
            xml += "><v>" + NumberText(cell.number) + "</v></c>";
            break;
        case Cell::Kind::Formula:
            xml += std::string(cell.cachedIsText ? " t=\"str\"" : "") + "><f>" +
                   XmlEscaped(cell.text) + "</f><v>" + XmlEscaped(cell.cached) + "</v></c>";
            break;
        }
    }
    if (openRow)
        xml += "</row>";
    xml += "</sheetData><sheetProtection sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
    if (!sheet.merges.empty()) {
        xml += Format("<mergeCells count=\"%zu\">", sheet.merges.size());
        for (const std::string& merge : sheet.merges)
            xml += "<mergeCell ref=\"" + merge + "\"/>";
        xml += "</mergeCells>";
    }
    if (!sheet.inputAreas.empty()) {
        std::string sqref;
        for (const std::string& area : sheet.inputAreas)
            sqref += (sqref.empty() ? "" : " ") + area;
        xml += "<dataValidations count=\"1\"><dataValidation type=\"decimal\" "
               "operator=\"greaterThan\" allowBlank=\"1\" showErrorMessage=\"1\" "
               "errorTitle=\"Chybná hodnota\" error=\"Zadejte kladné číslo\" sqref=\"" +
               sqref + "\"><formula1>0</formula1></dataValidation></dataValidations>";
    }
    return xml + "<pageMargins left=\"0.5\" right=\"0.5\" top=\"0.75\" bottom=\"0.75\" "
                 "header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

} // namespace

SyntheticForm::SyntheticForm(int year, int quarter)
    : m_sheets(SyntheticFormSheets(year, quarter)) {}

SyntheticForm::~SyntheticForm() = default;
SyntheticForm::SyntheticForm(SyntheticForm&&) noexcept = default;
SyntheticForm& SyntheticForm::operator=(SyntheticForm&&) noexcept = default;

SyntheticForm::Sheet& SyntheticForm::Find(const std::string& name) {
    for (const auto& sheet : m_sheets) {
        if (sheet->name == name)
            return *sheet;
    }
    throw ComError(WorkbookError::BadIndex,
                   Format("Syntetický výkaz nemá list '%s'.", name.c_str()));
}

void SyntheticForm::SetText(const std::string& sheet, const std::string& cell,
                            const std::string& text) {
    const CellRef ref = ParseCellAddress(cell);
    Find(sheet).Text(ref.column, ref.row, text);
}

void SyntheticForm::SetNumber(const std::string& sheet, const std::string& cell, double value) {
    const CellRef ref = ParseCellAddress(cell);
    Find(sheet).Number(ref.column, ref.row, value);
}

void SyntheticForm::Clear(const std::string& sheet, const std::string& cell) {
    const CellRef ref = ParseCellAddress(cell);
    Sheet::Cell& target = Find(sheet).At(ref.column, ref.row);
    target.kind = Sheet::Cell::Kind::Blank;
    target.text.clear();
    target.cached.clear();
}

void SyntheticForm::SetLocked(const std::string& sheet, const std::string& cell, bool locked) {
    const CellRef ref = ParseCellAddress(cell);
    Find(sheet).At(ref.column, ref.row).locked = locked;
}

void SyntheticForm::SetInputAreas(const std::string& sheet, std::vector<std::string> areas) {
    Find(sheet).inputAreas = std::move(areas);
}

void SyntheticForm::RemoveSheet(const std::string& sheet) {
    Sheet* found = &Find(sheet);
    std::erase_if(m_sheets, [&](const std::unique_ptr<Sheet>& s) { return s.get() == found; });
}

void SyntheticForm::HideSheet(const std::string& sheet) {
    Find(sheet).hidden = true;
}

void SyntheticForm::PrefillTitle() {
    Sheet& intro = Find("Úvod");
    const struct {
        const char* cell;
        const char* text;
    } fields[] = {
        {"D6", "Obalovna Vzor s.r.o."},
        {"D8", "Průmyslová 12, 602 00 Brno"},
        {"E10", "faktury@obalovna.cz"},
        {"C12", "12345678"},
        {"F12", "CZ12345678"},
        {"F14", "F12345678"},
        {"D18", "Jana Nováková"},
        {"C19", "+420 541 000 111"},
        {"C21", "jana.novakova@obalovna.cz"},
    };
    for (const auto& field : fields) {
        const CellRef ref = ParseCellAddress(field.cell);
        intro.Text(ref.column, ref.row, field.text);
    }
}

void SyntheticForm::Write(const std::string& path) const {
    SharedStrings strings;
    // Entries are read when the archive closes: their texts live until then.
    std::vector<std::pair<std::string, std::string>> entries;
    std::string sheetsXml, namesXml, relsXml, typesXml;
    int activeTab = 0;
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        const Sheet& sheet = *m_sheets[i];
        const bool intro = sheet.name == "Úvod";
        if (intro)
            activeTab = static_cast<int>(i);
        const std::string part = Format("worksheets/sheet%zu.xml", i + 1);
        entries.emplace_back("xl/" + part, SheetXml(sheet, intro, strings));
        sheetsXml += Format("<sheet name=\"%s\" sheetId=\"%zu\"%s r:id=\"rId%zu\"/>",
                            XmlEscaped(sheet.name).c_str(), i + 1,
                            sheet.hidden ? " state=\"hidden\"" : "", i + 1);
        relsXml += Format("<Relationship Id=\"rId%zu\" Type=\"%s/worksheet\" Target=\"%s\"/>",
                          i + 1, Relationships, part.c_str());
        typesXml += "<Override PartName=\"/xl/" + part +
                    "\" ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        if (!sheet.inputName.empty() && !sheet.inputAreas.empty()) {
            std::string areas;
            for (const std::string& area : sheet.inputAreas)
                areas += (areas.empty() ? "" : ",") + QuotedSheetName(sheet.name) + "!" +
                         AbsoluteArea(area);
            namesXml += "<definedName name=\"" + sheet.inputName + "\">" + XmlEscaped(areas) +
                        "</definedName>";
        }
    }
    const size_t count = m_sheets.size();
    entries.emplace_back(
        "[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
        "<Override PartName=\"/docProps/core.xml\" "
        "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>" +
            typesXml + "</Types>");
    entries.emplace_back(
        "_rels/.rels",
        Format("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
               "relationships\"><Relationship Id=\"rId1\" Type=\"%s/officeDocument\" "
               "Target=\"xl/workbook.xml\"/><Relationship Id=\"rId2\" "
               "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
               "core-properties\" Target=\"docProps/core.xml\"/></Relationships>",
               Relationships));
    entries.emplace_back(
        "docProps/core.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
        "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>EKO-KOM "
        "výkaz KLIENT 2.74CZ</dc:title></cp:coreProperties>");
    entries.emplace_back(
        "xl/workbook.xml",
        Format("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
               "xmlns:r=\"%s\"><workbookPr/><bookViews><workbookView activeTab=\"%d\"/>"
               "</bookViews><sheets>",
               Relationships, activeTab) +
            sheetsXml + "</sheets>" +
            (namesXml.empty() ? "" : "<definedNames>" + namesXml + "</definedNames>") +
            "<calcPr calcId=\"191029\"/></workbook>");
    entries.emplace_back(
        "xl/_rels/workbook.xml.rels",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
            relsXml +
            Format("<Relationship Id=\"rId%zu\" Type=\"%s/styles\" Target=\"styles.xml\"/>"
                   "<Relationship Id=\"rId%zu\" Type=\"%s/sharedStrings\" "
                   "Target=\"sharedStrings.xml\"/></Relationships>",
                   count + 1, Relationships, count + 2, Relationships));
    entries.emplace_back("xl/styles.xml", StylesXml);
    entries.emplace_back("xl/sharedStrings.xml", strings.Xml());

    ZipArchive zip;
    const auto fail = [&]() {
        return ComError(WorkbookError::Failed, Format("Soubor '%s' nelze uložit: %s", path.c_str(),
                                                      zip.ErrorText().c_str()));
    };
    if (!zip.Open(path, ZipArchive::Mode::Replace))
        throw fail();
    for (const auto& [name, data] : entries) {
        if (!zip.AddData(name, data))
            throw fail();
    }
    if (!zip.Close())
        throw fail();
}

} // namespace tarvo
