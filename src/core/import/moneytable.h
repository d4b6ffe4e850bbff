#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tarvo {

class IMessagePort;

// One Money S3 table, read from its text form: the table "NAME.DAT" of a
// folder is the file "NAME.csv" there (the name's case does not matter).
// UTF-8 or Windows-1250, ';' between fields, quotes as in RFC 4180, the field
// names on the first line. The table offers what the import needs: open,
// close, count, first, next, end, field by name, an index by name, and a seek
// by one or two key values on that index.
//
// A malformed file throws ImportError with a message naming the file and the
// line: a bad quote, a row with a different number of fields than the
// header, a missing column, a value that is not a number, a date or a flag.
class MoneyTable {
public:
    // Reads the whole table. A file that cannot be read gives its error code;
    // a malformed one throws ImportError.
    std::error_code Open(const std::string& datPath);
    void Close();
    bool IsOpen() const { return m_open; }

    long RecordCount() const { return static_cast<long>(m_rows.size()); }
    bool IsEOF() const { return m_pos >= m_rows.size(); }
    void MoveFirst() { m_pos = 0; }
    void MoveNext() {
        if (m_pos < m_rows.size())
            ++m_pos;
    }

    // ImportError (line 1) unless every name is a column of the table.
    void RequireFields(const std::vector<std::string_view>& names) const;

    // Values of the current row. Text: as it stands. Number: decimal comma or
    // point, empty is 0. Whole: a number without decimals. Date: dd.mm.yyyy
    // with an optional hh:mm:ss, empty is an invalid date. Flag: 0 or 1,
    // empty is 0.
    const std::string& Field(std::string_view name) const;
    // The same by the column's place, for a loop over many rows.
    int ColumnOf(std::string_view name) const { return Column(name); }
    const std::string& Field(int column) const;
    Quantity Number(std::string_view name) const;
    int64_t Whole(std::string_view name) const;
    OleDate Date(std::string_view name) const;
    bool Flag(std::string_view name) const;

    // Orders the rows by the '+'-joined fields of the index name ("A+B+C");
    // numbers compare by value, texts without regard to case, equal keys keep
    // the file's order. Moves to the first row.
    void SetIndex(std::string_view indexName);
    // Moves to the first row whose first one or two index fields equal the
    // keys; true when found (otherwise the table is at its end).
    bool Seek(std::string_view key);
    bool Seek(std::string_view key1, std::string_view key2);

private:
    struct Row {
        long line; // where the row starts in the file
        std::vector<std::string> fields;
    };
    struct SortKey {
        bool numeric;
        int64_t number;
        std::string text;
        auto operator<=>(const SortKey&) const = default;
    };

    int Column(std::string_view name) const;
    const Row& Current() const;
    [[noreturn]] void FailValue(std::string_view name, const char* what) const;
    static SortKey KeyOf(std::string_view value);
    bool SeekKeys(const std::vector<SortKey>& keys);

    bool m_open = false;
    std::string m_file;
    std::vector<std::string> m_names;
    std::vector<Row> m_rows;
    size_t m_pos = 0;
    // The current index: its columns and each row's key parts, one row
    // after another.
    std::vector<int> m_index;
    std::vector<SortKey> m_keys;
};

// Opens a Money table. When it cannot be read and errors are to be
// reported: "Nemohu otevřít tabulku Money \"%s\"" (error icon); false.
bool OpenMoneyTable(MoneyTable& table, const std::string& datPath, IMessagePort& messages,
                    bool reportErrors);

// The entry of folder whose name equals name without regard to case (the
// exact name first); empty when there is none.
std::string FindEntryNoCase(const std::string& folder, std::string_view name);

} // namespace tarvo
