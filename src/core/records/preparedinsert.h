#pragma once

#include "core/data/recordid.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace tarvo {

class CDataStore;
class Statement;

// The INSERT of a record writer, prepared once for all the rows it adds.
class PreparedInsert {
public:
    PreparedInsert(CDataStore& store, std::string_view sql);
    ~PreparedInsert();
    PreparedInsert(const PreparedInsert&) = delete;
    PreparedInsert& operator=(const PreparedInsert&) = delete;

    // For binding the row's values.
    Statement& Prepared() { return *m_statement; }
    // Runs the bound row; the new row's key.
    RecordId Run();

private:
    CDataStore& m_store;
    std::unique_ptr<Statement> m_statement;
};

// One INSERT into table of rows rows of the columns ("a, b, c").
std::string InsertRowsSql(std::string_view table, std::string_view columns, size_t rows);

// The INSERTs of a writer that adds many rows by one statement, into one
// table's columns ("a, b, c"): each number of rows, 1 to MaxRows, has a
// statement of its own, prepared at its first use. keep: the statements are
// held as long as the object, for a long run; otherwise they come from the
// store's cache, for a writer made for one action.
class RowInserts {
public:
    static constexpr size_t MaxRows = 32;

    RowInserts(CDataStore& store, std::string_view table, std::string_view columns,
               bool keep = true);
    ~RowInserts();
    RowInserts(const RowInserts&) = delete;
    RowInserts& operator=(const RowInserts&) = delete;

    // The INSERT of rows rows, for binding and running.
    Statement& For(size_t rows);

private:
    CDataStore& m_store;
    std::string m_table;
    std::string m_columns;
    bool m_keep;
    std::array<std::unique_ptr<Statement>, MaxRows> m_statements;
};

} // namespace tarvo
