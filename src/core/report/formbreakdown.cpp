#include "core/report/formbreakdown.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/report/formsums.h"
#include "core/workbook/workbookwriter.h"

#include <algorithm>
#include <tuple>

namespace tarvo {

namespace {

using Cell = WorkbookWriter::Cell;
using Fixed = WorkbookWriter::Fixed;

const std::vector<WorkbookWriter::Column> PartColumns = {
    {"Buňka", 8}, {"Řádek formuláře", 40}, {"Sloupec formuláře", 50}, {"Doklad", 16}, {"Datum", 11},
    {"Obal", 30}, {"kg nebo kusy", 14},    {"Do buňky", 14},
};
const std::vector<WorkbookWriter::Column> LeftOutColumns = {
    {"Doklad", 16}, {"Datum", 11}, {"Obal", 30}, {"kg", 14}, {"Důvod", 45}, {"Podrobnosti", 40},
};

std::string Labels(const FormLabels& labels) {
    std::string text;
    for (std::string_view label : labels) {
        if (!label.empty())
            text += (text.empty() ? "" : ", ") + std::string(label);
    }
    return text;
}

std::string Record(const FormBreakdown& b, const FormLine& line) {
    if (line.kind == FormLine::Discard)
        return Format("vyřazení %lld", static_cast<long long>(line.id));
    const auto move = b.moveNumbers.find(line.moveId);
    return move == b.moveNumbers.end() ? std::string() : move->second;
}

std::string CoverName(const FormBreakdown& b, const FormLine& line) {
    const auto cover = b.coverNames.find(line.coverId);
    return cover == b.coverNames.end() ? Format("%lld", static_cast<long long>(line.coverId))
                                       : cover->second;
}

std::string Address(const FormCellMap& cells, uint32_t id) {
    const auto it = cells.find(id);
    return it == cells.end() ? std::string() : CellName(it->second.column, it->second.row);
}

// Runs of parts of one cell.
template <typename Visit> void ForEachCell(const FormBreakdown& b, Visit visit) {
    for (size_t first = 0; first < b.parts.size();) {
        size_t last = first;
        while (last < b.parts.size() && b.parts[last].cell == b.parts[first].cell)
            ++last;
        visit(first, last);
        first = last;
    }
}

} // namespace

std::string FormCellText(uint32_t cell, Quantity sum) {
    const FormTarget t = FormCellOfId(cell);
    return IsPiecesColumn(FormSheets()[t.sheet].kind, t.column) ? QuantityToPlainText(sum)
                                                                : KilogramsToTonnesText(sum);
}

FormBreakdown ComputeFormBreakdown(CDataStore& store, int year, int quarter,
                                   const std::vector<bool>& hidden) {
    FormBreakdown b;
    ForEachFormLine(store, year, quarter, [&](const FormLine& line, FormPlacement& p) {
        LeaveOutHiddenSheets(p, hidden);
        const auto index = static_cast<uint32_t>(b.lines.size());
        b.lines.push_back(line);
        if (p.leftOut)
            b.leftOut.push_back({std::move(*p.leftOut), index});
        for (const FormTarget& t : p.targets)
            b.parts.push_back({FormCellId(t), index, t.amount});
    });
    std::sort(b.parts.begin(), b.parts.end(), [&](const auto& x, const auto& y) {
        const FormLine& a = b.lines[x.line];
        const FormLine& c = b.lines[y.line];
        return std::tuple(x.cell, a.date.Value(), a.kind, a.id) <
               std::tuple(y.cell, c.date.Value(), c.kind, c.id);
    });
    std::sort(b.leftOut.begin(), b.leftOut.end(), [&](const auto& x, const auto& y) {
        const FormLine& a = b.lines[x.line];
        const FormLine& c = b.lines[y.line];
        return std::tuple(a.date.Value(), a.kind, a.id) < std::tuple(c.date.Value(), c.kind, c.id);
    });
    Statement covers(store, "SELECT cover_id, cover_name FROM Cover");
    while (covers.Step())
        b.coverNames[covers.Int(0)] = covers.Text(1);
    Statement moves(store, "SELECT move_id, move_num FROM Move");
    while (moves.Step())
        b.moveNumbers[moves.Int(0)] = moves.Text(1);
    return b;
}

void WriteFormBreakdownWorkbook(const FormBreakdown& b, const FormCellMap& cells,
                                const std::string& path) {
    WorkbookWriter book(path);
    int currentSheet = -1;
    ForEachCell(b, [&](size_t first, size_t last) {
        const uint32_t id = b.parts[first].cell;
        const FormTarget target = FormCellOfId(id);
        const FormSheet& sheet = FormSheets()[target.sheet];
        if (target.sheet != currentSheet) {
            book.AddSheet(std::string(sheet.name), PartColumns);
            currentSheet = target.sheet;
        }
        const std::string address = Address(cells, id);
        const std::string row = Labels(FormRows(sheet.kind)[target.row]);
        const std::string column = Labels(FormColumns(sheet.kind)[target.column]);
        Quantity sum = Quantity::FromUnits(0);
        for (size_t i = first; i < last; ++i) {
            const FormBreakdown::Part& part = b.parts[i];
            const FormLine& line = b.lines[part.line];
            const std::string record = Record(b, line), cover = CoverName(b, line);
            const Cell row_[] = {address, row, column, record, line.date, cover, Fixed{part.amount},
                                 {}};
            book.AddRow(row_);
            sum = sum + part.amount;
        }
        const std::string text = FormCellText(id, sum);
        const Cell total[] = {address, row, column, "celkem", {}, {}, Fixed{sum}, text};
        book.AddRow(total, true);
    });
    book.AddSheet("Nezahrnuto", LeftOutColumns);
    for (const FormBreakdown::LeftOut& out : b.leftOut) {
        const FormLine& line = b.lines[out.line];
        const std::string record = Record(b, line), cover = CoverName(b, line);
        const Cell weight = line.kilograms.IsValid() ? Cell(Fixed{line.kilograms}) : Cell();
        const Cell row[] = {
            record, line.date, cover, weight, FormLeftOutText(out.why.reason), out.why.detail};
        book.AddRow(row);
    }
    book.Save();
}

std::optional<std::vector<std::string>> ExplainFormCell(const FormBreakdown& b,
                                                        const FormCellMap& cells,
                                                        std::string_view sheet,
                                                        std::string_view address) {
    const int sheetIndex = FindFormSheet(sheet);
    if (sheetIndex < 0)
        return std::nullopt;
    CellRef ref;
    try {
        ref = ParseCellAddress(address);
    } catch (const ComError&) {
        return std::nullopt;
    }
    std::optional<uint32_t> id;
    for (const auto& [cell, at] : cells) {
        if (FormCellOfId(cell).sheet == sheetIndex && at.column == ref.column && at.row == ref.row)
            id = cell;
    }
    std::vector<std::string> out;
    Quantity sum = Quantity::FromUnits(0);
    for (const FormBreakdown::Part& part : b.parts) {
        if (!id || part.cell != *id)
            continue;
        const FormLine& line = b.lines[part.line];
        out.push_back(Format("%s\t%s\t%s\t%s", Record(b, line).c_str(),
                             line.date.IsValid() ? line.date.ToText().c_str() : "",
                             CoverName(b, line).c_str(), QuantityToPlainText(part.amount).c_str()));
        sum = sum + part.amount;
    }
    out.push_back(Format("celkem\t%s\t%s", QuantityToPlainText(sum).c_str(),
                         id ? FormCellText(*id, sum).c_str() : ""));
    return out;
}

} // namespace tarvo
