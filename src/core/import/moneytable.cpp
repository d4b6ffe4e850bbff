#include "core/import/moneytable.h"

#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/data/textcodec.h"
#include "core/import/importframework.h"
#include "core/ports/messageport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarvo {

namespace {

namespace fs = std::filesystem;

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

[[noreturn]] void FailFile(const std::string& file, long line, const std::string& what) {
    throw ImportError(
        Format("Chybný soubor Money \"%s\", řádek %li: %s", file.c_str(), line, what.c_str()));
}

// Splits the text into records of fields (';' separated, RFC 4180 quotes),
// each with the line it starts on. Blank lines are left out.
struct CsvRecord {
    long line;
    std::vector<std::string> fields;
};

std::vector<CsvRecord> ParseCsv(const std::string& text, const std::string& file) {
    std::vector<CsvRecord> records;
    long line = 1;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        CsvRecord record{line, {}};
        record.fields.reserve(records.empty() ? 0 : records.front().fields.size());
        std::string field;
        bool endOfRecord = false;
        while (!endOfRecord) {
            field.clear();
            if (i < n && text[i] == '"') {
                const long quoteLine = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        FailFile(file, quoteLine, "uvozovky pole nejsou uzavřeny.");
                    const char c = text[i++];
                    if (c == '"') {
                        if (i < n && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++line;
                    field += c;
                }
                if (i < n && text[i] == '\r')
                    ++i;
                if (i < n && text[i] != ';' && text[i] != '\n')
                    FailFile(file, line, "za uzavírajícími uvozovkami smí být jen středník.");
            } else {
                // Taken whole: nearly every field of a table is unquoted.
                const size_t start = i;
                bool carriageReturn = false;
                for (; i < n && text[i] != ';' && text[i] != '\n'; ++i) {
                    if (text[i] == '"')
                        FailFile(file, line, "uvozovky uprostřed pole bez uvozovek.");
                    carriageReturn = carriageReturn || text[i] == '\r';
                }
                field.assign(text, start, i - start);
                if (carriageReturn)
                    field.erase(std::remove(field.begin(), field.end(), '\r'), field.end());
            }
            record.fields.push_back(field);
            if (i >= n) {
                endOfRecord = true;
            } else if (text[i] == ';') {
                ++i;
            } else { // '\n'
                ++i;
                ++line;
                endOfRecord = true;
            }
        }
        const bool blank = record.fields.size() == 1 && record.fields[0].empty();
        if (!blank)
            records.push_back(std::move(record));
    }
    return records;
}

} // namespace

std::string FindEntryNoCase(const std::string& folder, std::string_view name) {
    std::error_code ec;
    const fs::path exact = PathOf(folder) / PathOf(name);
    if (fs::exists(exact, ec))
        return PathText(exact);
    for (const fs::directory_entry& entry : fs::directory_iterator(PathOf(folder), ec)) {
        if (SameNoCase(PathText(entry.path().filename()), name))
            return PathText(entry.path());
    }
    return {};
}

std::error_code MoneyTable::Open(const std::string& datPath) {
    Close();
    const fs::path dat = PathOf(datPath);
    const std::string csvName = PathText(dat.stem()) + ".csv";
    const std::string folder = dat.has_parent_path() ? PathText(dat.parent_path()) : ".";
    std::string file = FindEntryNoCase(folder, csvName);
    if (file.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::make_error_code(std::errc::permission_denied);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::make_error_code(std::errc::io_error);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        bytes.erase(0, 3);

    std::vector<CsvRecord> records = ParseCsv(DecodeLegacyText(bytes), file);
    if (records.empty())
        FailFile(file, 1, "chybí řádek se jmény polí.");
    m_names.clear();
    for (const std::string& name : records.front().fields)
        m_names.push_back(Trim(name));
    m_rows.reserve(records.size() - 1);
    for (size_t r = 1; r < records.size(); ++r) {
        CsvRecord& record = records[r];
        if (record.fields.size() != m_names.size())
            FailFile(file, record.line,
                     Format("počet polí %zu se liší od řádku se jmény polí (%zu).",
                            record.fields.size(), m_names.size()));
        m_rows.push_back({record.line, std::move(record.fields)});
    }
    m_file = std::move(file);
    m_open = true;
    m_pos = 0;
    return {};
}

void MoneyTable::Close() {
    m_open = false;
    m_file.clear();
    m_names.clear();
    m_rows.clear();
    m_index.clear();
    m_keys.clear();
    m_pos = 0;
}

int MoneyTable::Column(std::string_view name) const {
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (SameNoCase(m_names[i], name))
            return static_cast<int>(i);
    }
    FailFile(m_file, 1,
             Format("chybí sloupec \"%.*s\".", static_cast<int>(name.size()), name.data()));
}

void MoneyTable::RequireFields(const std::vector<std::string_view>& names) const {
    for (std::string_view name : names)
        Column(name);
}

const MoneyTable::Row& MoneyTable::Current() const {
    if (m_pos >= m_rows.size())
        throw ImportError(
            Format("Tabulka Money \"%s\" je na konci, pole nelze číst.", m_file.c_str()));
    return m_rows[m_pos];
}

const std::string& MoneyTable::Field(std::string_view name) const {
    return Field(Column(name));
}

const std::string& MoneyTable::Field(int column) const {
    return Current().fields[static_cast<size_t>(column)];
}

void MoneyTable::FailValue(std::string_view name, const char* what) const {
    FailFile(m_file, Current().line,
             Format("hodnota \"%s\" pole \"%.*s\" %s", Field(name).c_str(),
                    static_cast<int>(name.size()), name.data(), what));
}

Quantity MoneyTable::Number(std::string_view name) const {
    const std::string text = Trim(Field(name));
    if (text.empty())
        return Quantity::FromUnits(0);
    const std::optional<Quantity> value = ParseQuantity(text);
    if (!value)
        FailValue(name, "není číslo.");
    return *value;
}

int64_t MoneyTable::Whole(std::string_view name) const {
    const Quantity value = Number(name);
    if (value.Scaled() % Quantity::Scale != 0)
        FailValue(name, "není celé číslo.");
    return value.WholeUnits();
}

OleDate MoneyTable::Date(std::string_view name) const {
    const std::string text = Trim(Field(name));
    if (text.empty())
        return OleDate();
    const OleDate date = ParseCzechDate(text);
    if (!date.IsValid())
        FailValue(name, "není platné datum (dd.mm.rrrr).");
    return date;
}

bool MoneyTable::Flag(std::string_view name) const {
    const std::string text = Trim(Field(name));
    if (text.empty() || text == "0")
        return false;
    if (text == "1")
        return true;
    FailValue(name, "není 0 ani 1.");
}

MoneyTable::SortKey MoneyTable::KeyOf(std::string_view value) {
    const std::string text = Trim(value);
    if (const std::optional<Quantity> number = ParseQuantity(text))
        return {true, number->Scaled(), {}};
    return {false, 0, ToUpperText(text)};
}

void MoneyTable::SetIndex(std::string_view indexName) {
    std::vector<int> columns;
    size_t start = 0;
    while (start <= indexName.size()) {
        size_t plus = indexName.find('+', start);
        if (plus == std::string_view::npos)
            plus = indexName.size();
        columns.push_back(Column(indexName.substr(start, plus - start)));
        start = plus + 1;
    }
    const size_t width = columns.size();
    std::vector<SortKey> keys;
    keys.reserve(m_rows.size() * width);
    for (const Row& row : m_rows) {
        for (int c : columns)
            keys.push_back(KeyOf(row.fields[static_cast<size_t>(c)]));
    }
    const auto less = [&keys, width](size_t a, size_t b) {
        const auto keyA = keys.begin() + static_cast<long>(a * width);
        const auto keyB = keys.begin() + static_cast<long>(b * width);
        return std::lexicographical_compare(keyA, keyA + static_cast<long>(width), keyB,
                                            keyB + static_cast<long>(width));
    };
    std::vector<size_t> order(m_rows.size());
    for (size_t r = 0; r < order.size(); ++r)
        order[r] = r;
    // Money writes a table mostly in the order of the index it is read by.
    if (!std::is_sorted(order.begin(), order.end(), less)) {
        std::stable_sort(order.begin(), order.end(), less);
        std::vector<Row> rows;
        rows.reserve(m_rows.size());
        std::vector<SortKey> sorted;
        sorted.reserve(keys.size());
        for (size_t r : order) {
            rows.push_back(std::move(m_rows[r]));
            const auto key = keys.begin() + static_cast<long>(r * width);
            std::move(key, key + static_cast<long>(width), std::back_inserter(sorted));
        }
        m_rows = std::move(rows);
        keys = std::move(sorted);
    }
    m_keys = std::move(keys);
    m_index = std::move(columns);
    m_pos = 0;
}

bool MoneyTable::SeekKeys(const std::vector<SortKey>& keys) {
    const size_t width = m_index.size();
    if (width < keys.size())
        throw ImportError(Format("Tabulka Money \"%s\": hledání bez indexu.", m_file.c_str()));
    const auto rowKey = [this, width](size_t row) {
        return m_keys.begin() + static_cast<long>(row * width);
    };
    size_t low = 0;
    size_t high = m_rows.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (std::lexicographical_compare(rowKey(middle),
                                         rowKey(middle) + static_cast<long>(keys.size()),
                                         keys.begin(), keys.end()))
            low = middle + 1;
        else
            high = middle;
    }
    m_pos = low;
    if (low == m_rows.size() || !std::equal(keys.begin(), keys.end(), rowKey(low))) {
        m_pos = m_rows.size();
        return false;
    }
    return true;
}

bool MoneyTable::Seek(std::string_view key) {
    return SeekKeys({KeyOf(key)});
}

bool MoneyTable::Seek(std::string_view key1, std::string_view key2) {
    return SeekKeys({KeyOf(key1), KeyOf(key2)});
}

bool OpenMoneyTable(MoneyTable& table, const std::string& datPath, IMessagePort& messages,
                    bool reportErrors) {
    if (!table.Open(datPath))
        return true;
    if (reportErrors)
        messages.ShowMessage(Format("Nemohu otevřít tabulku Money \"%s\"", datPath.c_str()),
                             MsgIcon::Error);
    return false;
}

} // namespace tarvo
