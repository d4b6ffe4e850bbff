#include "core/registerbook/sheetscan.h"

#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/registerbook/registerbook.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

namespace tarvo {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Quoted(std::string_view text) {
    return "„" + std::string(text) + "“";
}

std::optional<double> NumberOf(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A code list label as compared: blanks around a dash do not count, so a
// workbook written while a label read "kovy nad 5l- hliník AL" still names
// "kovy nad 5l - hliník AL".
std::string CodeKey(std::string_view text) {
    std::string key = LabelKey(text);
    for (size_t dash = key.find('-'); dash != std::string::npos; dash = key.find('-', dash + 1)) {
        while (dash > 0 && key[dash - 1] == ' ')
            key.erase(--dash, 1);
        while (dash + 1 < key.size() && key[dash + 1] == ' ')
            key.erase(dash + 1, 1);
    }
    return key;
}

// The labels of a list by their key, made once per list.
const std::unordered_map<std::string, int>& LabelIndex(const CodeList& list) {
    static std::unordered_map<const CodeList*, std::unordered_map<std::string, int>> indexes;
    auto [it, added] = indexes.try_emplace(&list);
    if (added) {
        for (int code = 0; code < list.size; ++code) {
            if (!list.labels[code].empty())
                it->second.emplace(CodeKey(list.labels[code]), code);
        }
    }
    return it->second;
}

// Days of the dates a spreadsheet can hold: 1 January 1900 to 31 December 9999.
constexpr double FirstDay = 2;
constexpr double LastDay = 2958465;

} // namespace

std::string LabelKey(std::string_view text) {
    return FoldCase(Trimmed(text));
}

SheetScan::SheetScan(std::string_view sheet, std::vector<RegisterFault>& faults)
    : m_sheet(sheet), m_faults(faults) {}

bool SheetScan::ReadHeader(const std::vector<SheetCell>& cells,
                           const std::vector<std::string_view>& required) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (!Trimmed(cells[i].text).empty())
            m_columns.emplace_back(LabelKey(cells[i].text), i);
    }
    bool complete = true;
    for (const std::string_view title : required) {
        if (!Has(title)) {
            m_faults.push_back({m_sheet, 1, {}, "chybí sloupec " + Quoted(title)});
            complete = false;
        }
    }
    return complete;
}

bool SheetScan::BeginRow(int row, const std::vector<SheetCell>& cells) {
    m_row = row;
    m_cells = &cells;
    for (const SheetCell& cell : cells) {
        if (!Trimmed(cell.text).empty())
            return true;
    }
    return false;
}

std::optional<size_t> SheetScan::Column(std::string_view title) const {
    // Every cell of every row asks for its column by title: the title is
    // folded once, not once per cell.
    const auto [it, added] = m_byTitle.try_emplace(std::string(title));
    if (added) {
        const std::string key = LabelKey(title);
        for (const auto& [name, index] : m_columns) {
            if (name == key) {
                it->second = index;
                break;
            }
        }
    }
    return it->second;
}

bool SheetScan::Has(std::string_view title) const {
    return Column(title).has_value();
}

const SheetCell* SheetScan::Cell(std::string_view title) const {
    const std::optional<size_t> index = Column(title);
    return index && *index < m_cells->size() ? &(*m_cells)[*index] : nullptr;
}

std::string SheetScan::Text(std::string_view title) const {
    const SheetCell* cell = Cell(title);
    return cell ? std::string(Trimmed(cell->text)) : std::string();
}

void SheetScan::Fault(std::string_view title, std::string text) {
    m_faults.push_back({m_sheet, m_row, std::string(title), std::move(text)});
}

std::optional<Quantity> SheetScan::Number(std::string_view title, const char* what) {
    const SheetCell* cell = Cell(title);
    const std::string text = Text(title);
    if (text.empty()) {
        if (what)
            Fault(title, std::string("chybí ") + what);
        return std::nullopt;
    }
    if (cell->kind == SheetCell::Kind::Number) {
        // A spreadsheet keeps binary fractions: 0.1 + 0.2 is stored as
        // 0.30000000000000004, which is meant as 0.3.
        const std::optional<double> value = NumberOf(text);
        constexpr double Limit = 9e14; // far below what the scaled integer holds
        if (value && std::fabs(*value) < Limit)
            return Quantity::FromScaled(std::llround(*value * Quantity::Scale));
    } else if (const std::optional<Quantity> value = ParseQuantity(text)) {
        return value;
    }
    Fault(title, Quoted(text) + " není číslo");
    return std::nullopt;
}

int SheetScan::Code(std::string_view title, const CodeList& list, const char* what, bool required) {
    const std::string text = Text(title);
    if (text.empty()) {
        if (required)
            Fault(title, std::string("chybí ") + what);
        return -1;
    }
    const auto& index = LabelIndex(list);
    const auto it = index.find(CodeKey(text));
    if (it == index.end()) {
        Fault(title, Format("%s %s není v seznamu", what, Quoted(text).c_str()));
        return -1;
    }
    return it->second;
}

bool SheetScan::YesNo(std::string_view title, bool fallback) {
    const SheetCell* cell = Cell(title);
    const std::string text = Text(title);
    if (text.empty())
        return fallback;
    if (cell->kind == SheetCell::Kind::Boolean)
        return text == "1";
    const std::string key = LabelKey(text);
    if (key == book::Yes)
        return true;
    if (key == book::No)
        return false;
    Fault(title, "očekává se „ano“ nebo „ne“, ne " + Quoted(text));
    return fallback;
}

OleDate SheetScan::Date(std::string_view title) {
    const SheetCell* cell = Cell(title);
    const std::string text = Text(title);
    if (text.empty()) {
        Fault(title, "chybí datum");
        return {};
    }
    if (cell->kind == SheetCell::Kind::Number) {
        const std::optional<double> value = NumberOf(text);
        if (value && *value >= FirstDay && *value < LastDay + 1)
            return OleDate::FromValue(*value);
    } else {
        const OleDate date = ParseCzechDate(text);
        if (date.IsValid() && date.Value() >= FirstDay && date.Value() < LastDay + 1)
            return date;
    }
    Fault(title, Quoted(text) + " není datum");
    return {};
}

std::string SheetScan::SourceId(std::string_view title) const {
    const SheetCell* cell = Cell(title);
    const std::string text = Text(title);
    if (cell && cell->kind == SheetCell::Kind::Number) {
        // A number cell holding a whole number is that number ("1234", never
        // "1234.0" or "1.234E3").
        if (const std::optional<double> value = NumberOf(text);
            value && std::trunc(*value) == *value && std::fabs(*value) < 9e15)
            return std::to_string(static_cast<int64_t>(*value));
    }
    return text;
}

} // namespace tarvo
