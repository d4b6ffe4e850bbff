#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/report/breakdown.h"
#include "core/workbook/workbook.h"
#include "core/workbook/workbookwriter.h"

#include <array>

namespace tarvo {

namespace {

using Cell = WorkbookWriter::Cell;
using Fixed = WorkbookWriter::Fixed;

// The label of a code, or the code itself (in spare) when the list has none.
std::string_view CodeText(const CodeList& list, const std::optional<int64_t>& code,
                          std::string& spare) {
    if (!code)
        return {};
    if (*code >= 0 && *code < list.size)
        return list.labels[*code];
    spare = std::to_string(*code);
    return spare;
}

std::string_view FlagText(const std::optional<int64_t>& flag, std::string& spare) {
    if (!flag)
        return {};
    if (*flag == 0)
        return "ne";
    if (*flag == 1)
        return "ano";
    spare = std::to_string(*flag);
    return spare;
}

std::string SheetLabel(int sheet) {
    return sheet < 0 ? std::string("1-1 až 2-4") : ReportSheets[static_cast<size_t>(sheet)].name;
}

// The texts of one line, in the columns of LineColumns. They point into the
// breakdown, the code lists and the spare texts, so one set is filled again
// for every line instead of being copied.
struct LineTexts {
    std::string_view record, exported, product, catalogue, cover, material, type, origin, payment,
        reusable, category, kind;
    std::array<std::string, 9> spare;
};

void FillTexts(const Breakdown& b, const BreakdownLine& line, LineTexts& t) {
    t.record = t.exported = t.product = t.catalogue = t.cover = {};
    if (line.kind == BreakdownLine::Discard) {
        t.spare[0] = Format("odstranění %lld", static_cast<long long>(line.id));
        t.record = t.spare[0];
    } else if (const auto move = b.moves.find(line.moveId); move != b.moves.end()) {
        t.record = move->second.number;
        t.exported = FlagText(move->second.exported, t.spare[1]);
    }
    if (const auto product = b.products.find(line.prodId); product != b.products.end()) {
        t.product = product->second.name;
        t.catalogue = product->second.catalogue;
    }
    if (const auto cover = b.coverNames.find(line.coverId); cover != b.coverNames.end())
        t.cover = cover->second;
    t.material = CodeText(Materials, line.material, t.spare[2]);
    t.type = CodeText(CoverTypes, line.type, t.spare[3]);
    t.origin = CodeText(Origins, line.origin, t.spare[4]);
    t.payment = CodeText(Payments, line.payment, t.spare[5]);
    t.reusable = FlagText(line.reusable, t.spare[6]);
    t.category = CodeText(StatCategories, line.category, t.spare[7]);
    t.kind = CodeText(DiscardKinds, line.discardKind, t.spare[8]);
}

const std::vector<WorkbookWriter::Column> LineColumns = {
    {"Výdej / odstranění", 16},
    {"Datum", 11},
    {"Vývoz", 6},
    {"Výrobek", 28},
    {"Katalog", 12},
    {"Množství výrobku", 10},
    {"Balení platné od", 11},
    {"Obal", 28},
    {"Materiál", 18},
    {"Druh", 11},
    {"Původ", 14},
    {"Platba", 11},
    {"Vratný", 7},
    {"Kategorie", 14},
    {"Způsob odstranění", 14},
    {"Množství obalů", 10},
    {"Hmotnost kg", 13},
};

// Appends the cells of LineColumns for a line; the texts live in t.
void AppendLineCells(std::vector<Cell>& row, const BreakdownLine& line, const LineTexts& t) {
    auto text = [](std::string_view v) -> Cell { return v.empty() ? Cell{} : Cell{v}; };
    auto quantity = [](Quantity q) -> Cell { return q.IsValid() ? Cell{q} : Cell{}; };
    auto date = [](OleDate d) -> Cell { return d.IsValid() ? Cell{d} : Cell{}; };
    const bool product = line.kind != BreakdownLine::Discard;
    row.insert(row.end(), {text(t.record), date(line.date), text(t.exported), text(t.product),
                           text(t.catalogue), product ? quantity(line.productQty) : Cell{},
                           date(line.definitionFrom), text(t.cover), text(t.material), text(t.type),
                           text(t.origin), text(t.payment), text(t.reusable), text(t.category),
                           text(t.kind), quantity(line.coverQty),
                           line.kilograms.IsValid() ? Cell{Fixed{line.kilograms}} : Cell{}});
}

void WriteSummary(WorkbookWriter& book, const Breakdown& b, const std::vector<CellTotal>& totals) {
    book.AddSheet("Souhrn", {{"List výkazu", 26}, {"Buněk", 10}, {"Řádků", 10}, {"Celkem t", 14}});
    for (size_t s = 0; s < ReportSheets.size(); ++s) {
        int64_t cells = 0;
        int64_t lines = 0;
        Quantity tonnes = Quantity::FromUnits(0);
        for (const CellTotal& total : totals) {
            if (total.sheet != static_cast<int>(s))
                continue;
            ++cells;
            lines += static_cast<int64_t>(total.lines);
            tonnes = tonnes + total.tonnes;
        }
        const std::array<Cell, 4> row = {std::string_view(ReportSheets[s].name), cells, lines,
                                         Fixed{tonnes}};
        book.AddRow(row);
    }
    book.AddRow(std::array<Cell, 1>{});
    const std::array<Cell, 3> head = {std::string_view("Nezahrnuto – důvod"), std::string_view(""),
                                      std::string_view("Řádků")};
    book.AddRow(head, true);
    for (int r = 0; r < LeftOutReasonCount; ++r) {
        int64_t count = 0;
        for (const LeftOutLine& left : b.leftOut)
            count += static_cast<int>(left.reason) == r;
        const std::array<Cell, 3> row = {
            std::string_view(LeftOutReasonText(static_cast<LeftOutReason>(r))), Cell{}, count};
        book.AddRow(row);
    }
}

} // namespace

void WriteBreakdownWorkbook(const Breakdown& b, const std::string& path) {
    const std::vector<CellTotal> totals = b.CellTotals();
    WorkbookWriter book(path);
    WriteSummary(book, b, totals);

    std::vector<WorkbookWriter::Column> sheetColumns = {{"Buňka", 11}};
    sheetColumns.insert(sheetColumns.end(), LineColumns.begin(), LineColumns.end());
    sheetColumns.push_back({"Hmotnost t", 11});
    size_t next = 0;
    size_t totalIndex = 0;
    LineTexts texts;
    std::vector<Cell> row;
    for (size_t s = 0; s < ReportSheets.size(); ++s) {
        book.AddSheet(ReportSheets[s].name, sheetColumns);
        while (next < b.contributions.size() &&
               b.contributions[next].sheet == static_cast<int>(s)) {
            const CellTotal& total = totals[totalIndex++];
            const std::string cellName = CellName(total.cell.column, total.cell.row);
            for (size_t i = 0; i < total.lines; ++i) {
                const BreakdownLine& line = b.lines[b.contributions[next++].line];
                FillTexts(b, line, texts);
                row.assign(1, std::string_view(cellName));
                AppendLineCells(row, line, texts);
                book.AddRow(row);
            }
            const std::string label = cellName + " celkem";
            std::vector<Cell> subtotal(sheetColumns.size());
            subtotal.front() = std::string_view(label);
            subtotal[sheetColumns.size() - 2] = Fixed{total.kilograms};
            subtotal.back() = Fixed{total.tonnes};
            book.AddRow(subtotal, true);
        }
    }

    std::vector<WorkbookWriter::Column> leftColumns = {
        {"List výkazu", 11}, {"Důvod", 26}, {"Podrobnosti", 30}};
    leftColumns.insert(leftColumns.end(), LineColumns.begin(), LineColumns.end());
    book.AddSheet("Nezahrnuto", leftColumns);
    for (const LeftOutLine& left : b.leftOut) {
        const BreakdownLine& line = b.lines[left.line];
        FillTexts(b, line, texts);
        const std::string sheet = SheetLabel(left.sheet);
        row = {std::string_view(sheet), std::string_view(LeftOutReasonText(left.reason)),
               std::string_view(left.detail)};
        AppendLineCells(row, line, texts);
        book.AddRow(row);
    }
    book.Save();
}

std::optional<std::vector<std::string>> ExplainCell(const Breakdown& b, std::string_view sheet,
                                                    std::string_view address) {
    const ReportSheet* data = FindReportSheet(sheet);
    if (!data)
        return std::nullopt;
    CellRef ref;
    try {
        ref = ParseCellAddress(address);
    } catch (const ComError&) {
        return std::nullopt;
    }
    const int sheetIndex = static_cast<int>(data - ReportSheets.data());
    const ReportCell cell{ref.column, ref.row};
    std::vector<std::string> out;
    Quantity kilograms = Quantity::FromUnits(0);
    for (const Contribution& c : b.contributions) {
        if (c.sheet != sheetIndex || !(c.cell == cell))
            continue;
        const BreakdownLine& line = b.lines[c.line];
        LineTexts t;
        FillTexts(b, line, t);
        auto quantity = [](Quantity q) { return q.IsValid() ? QuantityToPlainText(q) : ""; };
        auto date = [](OleDate d) { return d.IsValid() ? d.ToText() : std::string(); };
        const std::string fields[] = {
            data->name,
            CellName(cell.column, cell.row),
            std::string(t.record),
            date(line.date),
            std::string(t.exported),
            std::string(t.product),
            std::string(t.catalogue),
            quantity(line.kind == BreakdownLine::Discard ? Quantity() : line.productQty),
            date(line.definitionFrom),
            std::string(t.cover),
            std::string(t.material),
            std::string(t.type),
            std::string(t.origin),
            std::string(t.payment),
            std::string(t.reusable),
            std::string(t.category),
            std::string(t.kind),
            quantity(line.coverQty),
            QuantityToPlainText(line.kilograms),
        };
        std::string text;
        for (const std::string& field : fields)
            text += (text.empty() ? "" : "\t") + field;
        out.push_back(text);
        kilograms = kilograms + line.kilograms;
    }
    out.push_back(Format("celkem\t%s\t%s", QuantityToPlainText(kilograms).c_str(),
                         QuantityToPlainText(KilogramsToTonnes(kilograms)).c_str()));
    return out;
}

} // namespace tarvo
