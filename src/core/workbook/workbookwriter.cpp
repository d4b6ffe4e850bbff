#include "core/workbook/workbookwriter.h"

#include "core/data/comerror.h"
#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/workbook/workbook.h"
#include "core/workbook/xmlelements.h"
#include "core/workbook/ziparchive.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace tarvo {

namespace {

constexpr size_t FlushSize = 1 << 20;

// Styles: 0 plain, 1 bold, 2 date, 3 four decimals, 4 bold four decimals,
// 5 bold date.
// What an A4 landscape page holds, in characters of the sheets' Arial 10,
// at about 75 %, the smallest scale that still reads well on paper. A wider
// sheet is printed on as many pages side by side as it needs, not shrunk to
// one.
constexpr double CharactersPerPage = 180;

// The height of a line of Arial 10, in points.
constexpr double LinePoints = 12.75;

// The lines a header's title takes when wrapped within its column: words
// are not split, so a column holds a character less than its width.
int HeaderLines(const WorkbookWriter::Column& column) {
    size_t characters = 0;
    for (const char c : column.title)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80; // UTF-8 lead bytes
    const double perLine = std::max(1.0, column.width - 1);
    return std::max(1, static_cast<int>(std::ceil(static_cast<double>(characters) / perLine)));
}

constexpr const char* Styles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="dd.mm.yyyy"/>)"
    R"(<numFmt numFmtId="165" formatCode="#,##0.0000"/></numFmts>)"
    R"(<fonts count="2"><font><sz val="10"/><name val="Arial"/><family val="2"/></font>)"
    R"(<font><b/><sz val="10"/><name val="Arial"/><family val="2"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill>)"
    R"(<fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="7"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
    R"(<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)"
    R"(<xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)"
    R"(<xf numFmtId="165" fontId="1" fillId="0" borderId="0" xfId="0" applyNumberFormat="1" applyFont="1"/>)"
    R"(<xf numFmtId="164" fontId="1" fillId="0" borderId="0" xfId="0" applyNumberFormat="1" applyFont="1"/>)"
    // The header row: bold, wrapped within its column's width, top aligned.
    R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1" )"
    R"(applyAlignment="1"><alignment vertical="top" wrapText="1"/></xf>)"
    R"(</cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

// A decimal with up to four places and no trailing zeros ("12.5", "-0.0001").
void AppendQuantity(std::string& out, Quantity value) {
    const int64_t scaled = value.Scaled();
    const uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : scaled;
    if (scaled < 0)
        out += '-';
    char digits[32];
    auto end = std::to_chars(digits, digits + sizeof digits, magnitude / 10000).ptr;
    out.append(digits, end);
    uint64_t fraction = magnitude % 10000;
    if (fraction == 0)
        return;
    char decimals[5] = {'0', '0', '0', '0', 0};
    for (int i = 3; i >= 0; --i, fraction /= 10)
        decimals[i] = static_cast<char>('0' + fraction % 10);
    int length = 4;
    while (decimals[length - 1] == '0')
        --length;
    out += '.';
    out.append(decimals, static_cast<size_t>(length));
}

// "A", "B", ... for the column index.
const std::string& ColumnName(size_t column) {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (int i = 0; i < 702; ++i) {
            const std::string cell = CellName(i, 1);
            all.push_back(cell.substr(0, cell.size() - 1));
        }
        return all;
    }();
    return names.at(column);
}

std::string QuotedSheet(const std::string& name) {
    std::string quoted = "'";
    for (const char c : name) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

} // namespace

WorkbookWriter::WorkbookWriter(std::string path) : m_path(std::move(path)) {}

WorkbookWriter::~WorkbookWriter() {
    if (m_file)
        std::fclose(m_file);
    RemoveScratch();
}

void WorkbookWriter::RemoveScratch() {
    std::error_code ec;
    for (const Sheet& sheet : m_sheets)
        std::filesystem::remove(PathOf(sheet.scratch), ec);
}

void WorkbookWriter::Write(std::string_view text) {
    m_buffer += text;
    if (m_buffer.size() >= FlushSize)
        Flush();
}

void WorkbookWriter::Flush() {
    if (!m_file || m_buffer.empty())
        return;
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        throw ComError(WorkbookError::Failed,
                       Format("Soubor '%s' nelze uložit.", m_sheets.back().scratch.c_str()));
    m_buffer.clear();
}

uint32_t WorkbookWriter::SharedString(std::string_view text) {
    ++m_stringUses;
    auto [it, added] =
        m_stringIndex.try_emplace(std::string(text), static_cast<uint32_t>(m_strings.size()));
    if (added)
        m_strings.push_back(&it->first);
    return it->second;
}

void WorkbookWriter::AddSheet(const std::string& name, const std::vector<Column>& columns,
                              bool hidden) {
    FinishSheet();
    Sheet sheet;
    sheet.name = name;
    sheet.hidden = hidden;
    sheet.scratch = Format("%s.%zu.part", m_path.c_str(), m_sheets.size() + 1);
    sheet.columns = columns.size();
    double width = 0;
    for (const Column& column : columns)
        width += column.width;
    sheet.pagesWide = std::max(1, static_cast<int>(std::ceil(width / CharactersPerPage)));
    m_sheets.push_back(sheet);
    m_file = std::fopen(sheet.scratch.c_str(), "wb");
    if (!m_file)
        throw ComError(WorkbookError::Failed,
                       Format("Soubor '%s' nelze vytvořit.", sheet.scratch.c_str()));
    std::string head =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr>)"
        R"(<sheetViews><sheetView workbookViewId="0"><pane ySplit="1" topLeftCell="A2" )"
        R"(activePane="bottomLeft" state="frozen"/><selection pane="bottomLeft" activeCell="A2" )"
        R"(sqref="A2"/></sheetView></sheetViews><cols>)";
    for (size_t i = 0; i < columns.size(); ++i)
        head += Format(R"(<col min="%zu" max="%zu" width="%.1f" customWidth="1"/>)", i + 1, i + 1,
                       columns[i].width);
    head += "</cols><sheetData>";
    Write(head);
    std::vector<Cell> titles;
    int lines = 1;
    for (const Column& column : columns) {
        titles.emplace_back(std::string_view(column.title));
        lines = std::max(lines, HeaderLines(column));
    }
    // Spreadsheet programs do not grow a row for wrapped text on their own
    // when they open a file: the header row is given the height it needs.
    WriteRow(titles, HeaderStyle, lines * LinePoints + 2);
}

void WorkbookWriter::AddListValidation(size_t column, const std::string& range) {
    m_sheets.back().validations.emplace_back(column, range);
}

void WorkbookWriter::AddRow(std::span<const Cell> cells, bool bold) {
    WriteRow(cells, bold ? BoldStyle : PlainStyle, 0);
}

void WorkbookWriter::WriteRow(std::span<const Cell> cells, RowStyle style, double height) {
    const bool bold = style != PlainStyle;
    Sheet& sheet = m_sheets.back();
    const int row = ++sheet.rows;
    std::string xml;
    xml.reserve(40 * cells.size());
    xml += "<row r=\"";
    // The row number has a buffer of its own: every cell's reference repeats
    // it, after the cell before has used digits for its value.
    char rowDigits[12];
    const auto rowEnd = std::to_chars(rowDigits, rowDigits + sizeof rowDigits, row).ptr;
    const std::string_view rowText(rowDigits, static_cast<size_t>(rowEnd - rowDigits));
    char digits[24];
    xml += rowText;
    xml += '"';
    if (height > 0)
        xml += Format(R"( ht="%.2f" customHeight="1")", height);
    xml += '>';
    for (size_t i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        if (std::holds_alternative<std::monostate>(cell))
            continue;
        xml += "<c r=\"";
        xml += ColumnName(i);
        xml += rowText;
        xml += '"';
        if (const auto* text = std::get_if<std::string_view>(&cell)) {
            xml += style == HeaderStyle ? " s=\"6\" t=\"s\"><v>"
                   : bold               ? " s=\"1\" t=\"s\"><v>"
                                        : " t=\"s\"><v>";
            const auto end = std::to_chars(digits, digits + sizeof digits, SharedString(*text)).ptr;
            xml.append(digits, end);
        } else if (const auto* number = std::get_if<int64_t>(&cell)) {
            xml += bold ? " s=\"1\"><v>" : "><v>";
            const auto end = std::to_chars(digits, digits + sizeof digits, *number).ptr;
            xml.append(digits, end);
        } else if (const auto* quantity = std::get_if<Quantity>(&cell)) {
            xml += bold ? " s=\"1\"><v>" : "><v>";
            AppendQuantity(xml, *quantity);
        } else if (const auto* fixed = std::get_if<Fixed>(&cell)) {
            xml += bold ? " s=\"4\"><v>" : " s=\"3\"><v>";
            AppendQuantity(xml, fixed->value);
        } else if (const auto* date = std::get_if<OleDate>(&cell)) {
            xml += bold ? " s=\"5\"><v>" : " s=\"2\"><v>";
            // The shortest text that reads back as the same value: an export
            // read in again gives back the same moment, to the last digit.
            char serial[40];
            const auto end = std::to_chars(serial, serial + sizeof serial, date->Value()).ptr;
            xml.append(serial, end);
        }
        xml += "</v></c>";
    }
    xml += "</row>";
    Write(xml);
}

void WorkbookWriter::FinishSheet() {
    if (!m_file)
        return;
    const Sheet& sheet = m_sheets.back();
    const std::string last = ColumnName(sheet.columns > 0 ? sheet.columns - 1 : 0);
    std::string validations;
    if (!sheet.validations.empty()) {
        validations = Format(R"(<dataValidations count="%zu">)", sheet.validations.size());
        for (const auto& [column, range] : sheet.validations) {
            const std::string& name = ColumnName(column);
            validations += Format(R"(<dataValidation type="list" allowBlank="1" )"
                                  R"(showErrorMessage="1" sqref="%s2:%s1048576"><formula1>)",
                                  name.c_str(), name.c_str());
            AppendXmlEscaped(validations, range);
            validations += "</formula1></dataValidation>";
        }
        validations += "</dataValidations>";
    }
    // The validations stand between the filter and the page margins, where
    // the format has them.
    Write(Format(R"(</sheetData><autoFilter ref="A1:%s%d"/>%s)"
                 R"(<pageMargins left="0.5" right="0.5" top="0.6" bottom="0.6" header="0.3" )"
                 R"(footer="0.3"/><pageSetup paperSize="9" orientation="landscape" )"
                 R"(fitToWidth="%d" fitToHeight="0"/></worksheet>)",
                 last.c_str(), std::max(sheet.rows, 1), validations.c_str(), sheet.pagesWide));
    Flush();
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!closed)
        throw ComError(WorkbookError::Failed,
                       Format("Soubor '%s' nelze uložit.", sheet.scratch.c_str()));
}

void WorkbookWriter::Save() {
    FinishSheet();
    std::vector<std::string> parts; // kept until the archive is closed
    std::string types =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
        R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
        R"(<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>)";
    // The first sheet shown opens; a hidden sheet must never be the active one.
    size_t active = 0;
    while (active < m_sheets.size() && m_sheets[active].hidden)
        ++active;
    if (active == m_sheets.size()) {
        active = 0;
        if (!m_sheets.empty())
            m_sheets.front().hidden = false;
    }
    std::string book =
        Format(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
               "\n"
               R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
               R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
               R"(<bookViews><workbookView activeTab="%zu"/></bookViews><sheets>)",
               active);
    std::string rels =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    std::string names = "<definedNames>";
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        const Sheet& sheet = m_sheets[i];
        const size_t n = i + 1;
        types += Format(
            R"(<Override PartName="/xl/worksheets/sheet%zu.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)",
            n);
        book +=
            Format(R"(<sheet name="%s" sheetId="%zu"%s r:id="rId%zu"/>)",
                   XmlEscaped(sheet.name).c_str(), n, sheet.hidden ? R"( state="hidden")" : "", n);
        rels += Format(
            R"(<Relationship Id="rId%zu" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet%zu.xml"/>)",
            n, n);
        const std::string quoted = XmlEscaped(QuotedSheet(sheet.name));
        const std::string last = ColumnName(sheet.columns > 0 ? sheet.columns - 1 : 0);
        names += Format(R"(<definedName name="_xlnm._FilterDatabase" localSheetId="%zu" )"
                        R"(hidden="1">%s!$A$1:$%s$%d</definedName>)",
                        i, quoted.c_str(), last.c_str(), std::max(sheet.rows, 1));
        // A sheet printed on several pages side by side repeats its first
        // column on each, so that every page says what its rows are.
        const std::string firstColumn =
            sheet.pagesWide > 1 ? Format("%s!$A:$A,", quoted.c_str()) : std::string();
        names += Format(R"(<definedName name="_xlnm.Print_Titles" localSheetId="%zu">%s%s!$1:$1)"
                        R"(</definedName>)",
                        i, firstColumn.c_str(), quoted.c_str());
    }
    types += "</Types>";
    book += "</sheets>" + names + "</definedNames></workbook>";
    rels += Format(
        R"(<Relationship Id="rId%zu" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)",
        m_sheets.size() + 1);
    rels += Format(
        R"(<Relationship Id="rId%zu" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)",
        m_sheets.size() + 2);
    rels += "</Relationships>";
    std::string strings = Format(
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="%llu" uniqueCount="%zu">)",
        static_cast<unsigned long long>(m_stringUses), m_strings.size());
    for (const std::string* text : m_strings) {
        strings += "<si><t xml:space=\"preserve\">";
        AppendXmlEscaped(strings, *text);
        strings += "</t></si>";
    }
    strings += "</sst>";

    parts = {
        types,
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
        R"(</Relationships>)",
        book,
        rels,
        Styles,
        strings};
    const char* partNames[] = {"[Content_Types].xml", "_rels/.rels",
                               "xl/workbook.xml",     "xl/_rels/workbook.xml.rels",
                               "xl/styles.xml",       "xl/sharedStrings.xml"};

    ZipArchive zip;
    if (!zip.Open(m_path, ZipArchive::Mode::Replace))
        throw ComError(WorkbookError::Failed,
                       Format("Soubor '%s' nelze vytvořit.", m_path.c_str()));
    auto fail = [&]() {
        const std::string text =
            Format("Soubor '%s' nelze uložit: %s", m_path.c_str(), zip.ErrorText().c_str());
        zip.Discard();
        std::error_code ec;
        std::filesystem::remove(PathOf(m_path), ec);
        throw ComError(WorkbookError::Failed, text);
    };
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!zip.AddData(partNames[i], parts[i]))
            fail();
    }
    // Long lists compress well enough at the fastest level.
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (!zip.AddFile(Format("xl/worksheets/sheet%zu.xml", i + 1), m_sheets[i].scratch, 1))
            fail();
    }
    if (!zip.Close())
        fail();
    RemoveScratch();
}

} // namespace tarvo
