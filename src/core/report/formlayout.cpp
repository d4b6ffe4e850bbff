#include "core/report/formlayout.h"

#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace tarvo {

namespace {

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// A footnote marker at the end of a label: "(3)", "(2,10)".
bool IsFootnote(std::string_view text) {
    if (text.size() < 3 || text.front() != '(' || text.back() != ')')
        return false;
    const std::string_view inner = text.substr(1, text.size() - 2);
    return std::isdigit(static_cast<unsigned char>(inner.front())) &&
           std::all_of(inner.begin(), inner.end(), [](char c) {
               return c == ',' || std::isdigit(static_cast<unsigned char>(c));
           });
}

std::vector<std::string> Normalized(const FormLabels& labels) {
    std::vector<std::string> result;
    for (std::string_view label : labels) {
        if (label.empty())
            break;
        result.push_back(NormalizeFormLabel(label));
    }
    return result;
}

std::string Joined(const FormLabels& labels) {
    std::string text;
    for (std::string_view label : labels) {
        if (label.empty())
            break;
        text += (text.empty() ? "" : " / ") + std::string(label);
    }
    return text;
}

// Whether wanted appears in labels in its order, other labels between.
bool IsSubsequence(const std::vector<std::string>& wanted, const std::vector<std::string>& labels) {
    size_t next = 0;
    for (const std::string& label : labels) {
        if (next < wanted.size() && label == wanted[next])
            ++next;
    }
    return next == wanted.size();
}

long LeadingNumber(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

// The last run of four digits in a text: the year of ". čtvrtletí roku 2025".
int YearIn(const std::string& text) {
    int year = 0;
    for (size_t i = 0; i + 4 <= text.size(); ++i) {
        const bool run = std::all_of(
            text.begin() + static_cast<long>(i), text.begin() + static_cast<long>(i + 4),
            [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
        if (run)
            year = std::stoi(text.substr(i, 4));
    }
    return year;
}

} // namespace

std::string NormalizeFormLabel(std::string_view text) {
    std::string collapsed;
    bool space = false;
    for (char c : text) {
        if (IsSpace(c)) {
            space = !collapsed.empty();
            continue;
        }
        if (space)
            collapsed += ' ';
        space = false;
        collapsed += c;
    }
    const size_t open = collapsed.rfind('(');
    if (open != std::string::npos && IsFootnote(std::string_view(collapsed).substr(open))) {
        collapsed.erase(open);
        while (!collapsed.empty() && collapsed.back() == ' ')
            collapsed.pop_back();
    }
    return FoldCase(collapsed);
}

std::string FormInputName(std::string_view sheet) {
    std::string name;
    std::copy_if(sheet.begin(), sheet.end(), std::back_inserter(name),
                 [](char c) { return c != '-'; });
    return name + "_HODNOTY";
}

std::optional<std::string> CheckFormWorkbook(Workbook& book, const std::string& path, int year,
                                             int quarter) {
    std::set<std::string> present;
    for (const std::string& name : book.SheetNames())
        present.insert(FoldCase(name));
    std::string missing;
    auto require = [&](std::string_view name) {
        if (!present.count(FoldCase(name)))
            missing += (missing.empty() ? "" : ", ") + std::string(name);
    };
    require(FormIntroSheet);
    for (const FormSheet& sheet : FormSheets())
        require(sheet.name);
    if (!missing.empty())
        return Format("Soubor \"%s\" není formulář výkazu EKO-KOM platný od roku 2021: chybí "
                      "listy %s.",
                      path.c_str(), missing.c_str());
    Worksheet* intro = book.Sheet(FormIntroSheet);
    if (!intro)
        return Format("Soubor \"%s\" není formulář výkazu EKO-KOM platný od roku 2021: list %s "
                      "není list tabulky.",
                      path.c_str(), FormIntroSheet);
    const long formQuarter = LeadingNumber(intro->GetText("D4"));
    const int formYear = YearIn(intro->GetText("E4"));
    if (formQuarter != quarter || formYear != year)
        return Format("Formulář \"%s\" je výkaz za %ld. čtvrtletí roku %d, výkaz se ale "
                      "sestavuje za %d. čtvrtletí roku %d. Vyberte formulář, který EKO-KOM "
                      "poslal pro toto čtvrtletí.",
                      path.c_str(), formQuarter, formYear, quarter, year);
    return std::nullopt;
}

std::optional<std::string> CheckFormFile(const std::string& path, int year, int quarter) {
    Workbook book;
    try {
        book.Open(path);
        return CheckFormWorkbook(book, path, year, quarter);
    } catch (const ComError&) {
        return Format("Soubor \"%s\" nelze přečíst jako sešit xlsx.", path.c_str());
    }
}

std::vector<bool> HiddenFormSheets(const Workbook& book) {
    std::vector<bool> hidden;
    for (const FormSheet& sheet : FormSheets())
        hidden.push_back(book.IsHidden(sheet.name));
    return hidden;
}

struct FormLayout::SheetLayout {
    Worksheet* sheet = nullptr;
    std::vector<CellRange> areas;
    // Normalized texts by row, then column.
    std::map<int, std::map<int, std::string>> texts;
    std::vector<CellRange> merges;
    std::set<int> dataRows;
    std::map<std::vector<std::string>, std::vector<int>> dataRowsByKey;
    std::set<std::vector<std::string>> otherKeys;

    bool InArea(int column, int row) const {
        return std::any_of(areas.begin(), areas.end(), [&](const CellRange& a) {
            return a.Contains({column, row});
        });
    }

    std::string Text(int column, int row) const {
        const auto r = texts.find(row);
        if (r == texts.end())
            return {};
        const auto c = r->second.find(column);
        return c == r->second.end() ? std::string() : c->second;
    }

    // The header text over a column in a row: its own, or that of a merge
    // starting in that row to its left.
    std::string HeaderText(int column, int row) const {
        for (const CellRange& m : merges) {
            if (m.first.row == row && m.Contains({column, row}))
                return Text(m.first.column, row);
        }
        return Text(column, row);
    }

    void KeyRows() {
        std::set<int> rows(dataRows);
        for (const auto& [row, cells] : texts)
            rows.insert(row);
        std::string group, kind;
        for (int row : rows) {
            const std::string a = Text(0, row), b = Text(1, row);
            if (!a.empty()) {
                group = a;
                kind.clear();
            }
            if (!b.empty())
                kind = b;
            std::vector<std::string> key;
            for (const std::string& label : {group, kind, Text(2, row), Text(3, row)}) {
                if (!label.empty())
                    key.push_back(label);
            }
            if (dataRows.count(row))
                dataRowsByKey[key].push_back(row);
            else if (!a.empty() || !b.empty() || !Text(2, row).empty() || !Text(3, row).empty())
                otherKeys.insert(key);
        }
    }

    // The rows of labels above the table a data row belongs to.
    std::vector<int> HeaderRows(int row) const {
        int r = row;
        while (r > 1 && dataRows.count(r - 1))
            --r;
        std::vector<int> headers;
        for (--r; r >= 1 && !dataRows.count(r); --r)
            headers.insert(headers.begin(), r);
        return headers;
    }
};

FormLayout::FormLayout(Workbook& book, std::string path) : m_book(book), m_path(std::move(path)) {}

FormLayout::~FormLayout() = default;

void FormLayout::Refuse(const std::string& what) const {
    throw FormRefusal{Format("Formulář \"%s\" nelze vyplnit: %s", m_path.c_str(), what.c_str())};
}

FormLayout::SheetLayout& FormLayout::Layout(int sheet) {
    auto& slot = m_sheets[sheet];
    if (slot)
        return *slot;
    const std::string name(FormSheets()[static_cast<size_t>(sheet)].name);
    auto layout = std::make_unique<SheetLayout>();
    layout->sheet = m_book.Sheet(name);
    if (!layout->sheet)
        Refuse(Format("list %s není list tabulky.", name.c_str()));
    for (const NamedArea& area : m_book.DefinedName(FormInputName(name))) {
        if (FoldCase(area.sheet) == FoldCase(name))
            layout->areas.push_back(area.range);
    }
    if (layout->areas.empty())
        Refuse(Format("list %s nemá vstupní buňky pojmenované %s.", name.c_str(),
                      FormInputName(name).c_str()));
    layout->sheet->ForEachRow([&](int row, const std::vector<SheetCell>& cells) {
        for (size_t column = 0; column < cells.size(); ++column) {
            if (cells[column].kind == SheetCell::Kind::Text && !cells[column].text.empty())
                layout->texts[row][static_cast<int>(column)] =
                    NormalizeFormLabel(cells[column].text);
        }
    });
    layout->merges = layout->sheet->MergedRanges();
    for (const CellRange& area : layout->areas) {
        for (int row = area.first.row; row <= area.last.row; ++row)
            layout->dataRows.insert(row);
    }
    layout->KeyRows();
    slot = std::move(layout);
    return *slot;
}

CellRef FormLayout::Resolve(const FormTarget& target) {
    const uint32_t id =
        (uint32_t{target.sheet} << 16) | (uint32_t{target.row} << 8) | target.column;
    if (const auto it = m_resolved.find(id); it != m_resolved.end())
        return it->second;
    const FormSheet& form = FormSheets()[target.sheet];
    const std::string name(form.name);
    SheetLayout& layout = Layout(target.sheet);

    const FormLabels& rowLabels = FormRows(form.kind)[target.row];
    const auto rows = layout.dataRowsByKey.find(Normalized(rowLabels));
    if (rows == layout.dataRowsByKey.end()) {
        if (layout.otherKeys.count(Normalized(rowLabels)))
            Refuse(Format("řádek \"%s\" listu %s leží mimo vstupní buňky %s.",
                          Joined(rowLabels).c_str(), name.c_str(), FormInputName(name).c_str()));
        Refuse(Format("na listu %s chybí ve sloupcích A až D řádek \"%s\".", name.c_str(),
                      Joined(rowLabels).c_str()));
    }
    if (rows->second.size() > 1)
        Refuse(Format("na listu %s je řádek \"%s\" víckrát.", name.c_str(),
                      Joined(rowLabels).c_str()));
    const int row = rows->second.front();

    const FormLabels& columnLabels = FormColumns(form.kind)[target.column];
    const std::vector<std::string> wanted = Normalized(columnLabels);
    const std::vector<int> headers = layout.HeaderRows(row);
    std::vector<int> matches;
    int lastColumn = 0;
    for (const CellRange& area : layout.areas)
        lastColumn = std::max(lastColumn, area.last.column);
    for (int column = 0; column <= lastColumn; ++column) {
        if (!layout.InArea(column, row))
            continue;
        std::vector<std::string> labels;
        for (int header : headers) {
            std::string text = layout.HeaderText(column, header);
            if (!text.empty())
                labels.push_back(std::move(text));
        }
        if (IsSubsequence(wanted, labels))
            matches.push_back(column);
    }
    if (matches.size() != 1)
        Refuse(Format(matches.empty() ? "na listu %s nad řádkem %d chybí sloupec \"%s\"."
                                      : "na listu %s nad řádkem %d je sloupec \"%s\" víckrát.",
                      name.c_str(), row, Joined(columnLabels).c_str()));
    const CellRef cell{matches.front(), row};
    const std::string address = CellName(cell.column, cell.row);
    if (layout.sheet->IsLocked(address))
        Refuse(Format("buňka %s!%s (%s, %s) je zamčená.", name.c_str(), address.c_str(),
                      Joined(rowLabels).c_str(), Joined(columnLabels).c_str()));
    m_resolved[id] = cell;
    return cell;
}

} // namespace tarvo
