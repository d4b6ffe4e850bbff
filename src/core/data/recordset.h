#pragma once

#include "core/data/schema.h"
#include "core/data/value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class CDataStore;

// Cursor settings of the program's recordsets (their numbers are ADO's).
enum class CursorType { ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3 };
enum class LockType { ReadOnly = 1, Optimistic = 3 };
enum class CommandOption { Text = 1, Table = 2 };

// The rows of a query, held in memory in the query's order, with a current
// row that can be read, edited and written back, or a table opened for
// appending rows. Field access by column name; names compare without regard
// to case. Errors throw ComError.
//
// A table opened with CommandOption::Table is an append cursor: it starts
// empty and holds only the row added last, so appending millions of rows
// costs no memory.
class Recordset {
public:
    Recordset() = default;

    bool IsOpen() const { return m_store != nullptr; }
    void Close();

    long RecordCount() const { return static_cast<long>(m_rows.size()); }
    bool IsEOF() const;
    bool IsBOF() const;
    // Zero-based position of the current row; RecordCount() at the end.
    long Position() const { return m_pos; }

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // Moves n rows from the current one (negative: back); stops at either end.
    void Move(long n);
    void MoveTo(long position);

    int FieldCount() const { return static_cast<int>(m_columns.size()); }
    const std::string& FieldName(int index) const;
    bool HasField(std::string_view name) const;

    // The current row's value (or the value being edited).
    const Value& Field(std::string_view name) const;
    const Value& Field(int index) const;
    int64_t GetLong(std::string_view name) const { return Field(name).ToLong(); }
    Quantity GetQuantity(std::string_view name) const { return Field(name).ToQuantity(); }
    OleDate GetDate(std::string_view name) const { return Field(name).ToDate(); }
    bool GetBool(std::string_view name) const { return Field(name).ToBool(); }
    std::string GetText(std::string_view name) const { return Field(name).ToString(); }

    // Starts a new row; fields not set stay NULL (or take the column default).
    void AddNew();
    // Sets a field of the new row, or of the current row (which starts an edit).
    void SetField(std::string_view name, const Value& value);
    // Writes the new or edited row. A new row gets its identifier from the
    // database and stays the current row.
    void Update();
    void CancelUpdate();

private:
    friend class CDataStore;

    struct Column {
        std::string name;
        std::string table;  // originating table, empty for an expression
        std::string origin; // originating column
    };

    int IndexOf(std::string_view name) const;
    std::vector<Value>& CurrentRow();
    const std::vector<Value>& CurrentRowConst() const;

    CDataStore* m_store = nullptr;
    std::string m_appendTable; // set for an append cursor
    std::vector<Column> m_columns;
    std::vector<std::vector<Value>> m_rows;
    long m_pos = 0;

    enum class EditMode { None, Adding, Editing };
    EditMode m_edit = EditMode::None;
    std::vector<Value> m_buffer;
    std::vector<bool> m_dirty;
};

} // namespace tarvo
